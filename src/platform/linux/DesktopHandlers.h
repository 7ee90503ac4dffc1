#pragma once

#include <QString>
#include <QStringList>

// The desktop's default handlers for URL schemes, as the freedesktop.org tools record them: the
// default application's desktop entry (asked of xdg-mime), found in the XDG data directories,
// the program of its Exec line, and launching the entry as the desktop does.
class DesktopHandlers final
{
public:
    // The desktop entry id ("firefox-esr.desktop") of the default handler of a MIME type such as
    // "x-scheme-handler/http" as xdg-mime tells it; else the one the user's mimeapps.list names
    // (even when its program is missing), or empty when none is set.
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

    // Launches a desktop entry as the desktop does, with GLib's "gio launch": the whole Exec
    // line with its quoting, field codes filled from the address or dropped, Terminal= and
    // D-Bus activation honoured. False when gio is missing or refuses the entry (a program
    // that is not installed, an entry that is not valid).
    static bool launchEntry(const QString &entryPath, const QString &address = {});
};
