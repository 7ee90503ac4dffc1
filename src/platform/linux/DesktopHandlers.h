#pragma once

#include <QString>
#include <QStringList>

// The desktop's default handlers for URL schemes, as the freedesktop.org tools record them: the
// default application's desktop entry (asked of xdg-mime), found in the XDG data directories,
// and the program of its Exec line.
class DesktopHandlers final
{
public:
    // The desktop entry id ("firefox-esr.desktop") of the default handler of a MIME type such as
    // "x-scheme-handler/http", or empty when none is set or xdg-mime is missing.
    static QString defaultEntryId(const QString &mimeType);

    // The path of a desktop entry id in the "applications" folders of the data directories
    // (the XDG ones when none are given), or empty.
    static QString findEntry(const QString &entryId, const QStringList &dataDirs = {});

    // The Exec value of the [Desktop Entry] group, escapes resolved, or empty.
    static QString execLine(const QString &entryPath);

    // The program of an Exec value, cut before the first blank: field codes such as %u and a
    // leading "env NAME=value" are not part of it. A program path holding blanks comes back
    // quoted, so that splitting the command line keeps it whole.
    static QString programOfExec(const QString &exec);

    // All of the above: the default handler's program for a MIME type, or empty.
    static QString registeredProgram(const QString &mimeType);
};
