#include "DictionaryLocator.h"

#include <QDir>
#include <QFileInfo>

namespace {

DictionaryLocator::Found exact(const QString &language, const QStringList &directories)
{
    for (const QString &dir : directories) {
        const QString base = QDir(dir).filePath(language);
        const QString aff = base + QStringLiteral(".aff");
        const QString dic = base + QStringLiteral(".dic");
        if (QFileInfo(aff).isFile() && QFileInfo(dic).isFile())
            return {language, aff, dic};
    }
    return {};
}

// Another country's dictionary of the same language, the first in name order.
DictionaryLocator::Found sameLanguage(const QString &language, const QStringList &directories)
{
    for (const QString &dir : directories) {
        const QStringList affs =
            QDir(dir).entryList({language + QStringLiteral("_*.aff")}, QDir::Files, QDir::Name);
        for (const QString &aff : affs) {
            const DictionaryLocator::Found found = exact(QFileInfo(aff).completeBaseName(), {dir});
            if (found.isValid())
                return found;
        }
    }
    return {};
}

} // namespace

QStringList DictionaryLocator::standardDirectories()
{
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell"),
            QStringLiteral("/usr/share/myspell/dicts")};
}

DictionaryLocator::Found DictionaryLocator::find(const QStringList &languages, const QStringList &directories)
{
    for (QString wanted : languages) {
        wanted.replace(QLatin1Char('-'), QLatin1Char('_'));
        wanted = wanted.section(QLatin1Char('.'), 0, 0); // "de_DE.UTF-8"
        if (wanted.isEmpty() || wanted == QLatin1String("C"))
            continue;
        if (Found found = exact(wanted, directories); found.isValid())
            return found;
        if (Found found = sameLanguage(wanted.section(QLatin1Char('_'), 0, 0), directories); found.isValid())
            return found;
    }
    return exact(QStringLiteral("en_US"), directories);
}
