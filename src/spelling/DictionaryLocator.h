#pragma once

#include <QString>
#include <QStringList>

// Finds the Hunspell dictionary (a .aff and a .dic file) for the user's language.
namespace DictionaryLocator {

struct Found
{
    QString language; // "en_US"
    QString affPath;
    QString dicPath;
    bool isValid() const { return !affPath.isEmpty(); }
};

// Where the hunspell-* packages put their dictionaries.
QStringList standardDirectories();

// The first of the wanted languages ("de_AT", "de-AT" or "de") that has a dictionary in one of the
// directories; a bare language or one without its country's dictionary takes another country's
// ("de_AT" finds "de_DE"); when none is found, "en_US".
Found find(const QStringList &languages, const QStringList &directories = standardDirectories());

} // namespace DictionaryLocator
