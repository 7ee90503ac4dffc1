#pragma once

#include <QString>

class QWidget;

// Starting outside programs. Nothing here goes through a shell: a command line is split into a
// program and its arguments and started directly, so no text from a note can run a command.
class Launcher
{
public:
    enum class Show { Normal = 1, Minimized = 2 };

    virtual ~Launcher() = default;

    // Starts the program named by the first word of the command line with the rest as arguments,
    // detached. Returns false when nothing could be started. When processId is given it receives
    // the started process's id (the dialer's keystrokes wait for that process's window). Started
    // minimised, the program's first window is minimised as soon as it shows.
    virtual bool runCommandLine(const QString &commandLine, Show show = Show::Normal,
                                qint64 *processId = nullptr) = 0;

    // Asks the desktop to open a web or mail address, a document or a program name with its
    // registered handler. The bare names "cmd", "calc.exe" and "dialer.exe" map to this desktop's
    // terminal, calculator and tel: handler. Opened minimised, the window of the program started
    // for it is minimised as soon as it shows.
    virtual bool shellOpen(const QString &target, Show show = Show::Normal) = 0;

    // Starts the desktop's default handler of a URL scheme ("http", "tel") the way the desktop
    // itself does, whole command line and all, with the address when one is given. entryId
    // receives the handler's desktop entry id ("firefox-esr.desktop") when one is set.
    enum class HandlerLaunch { Started, NoHandler, Failed };
    virtual HandlerLaunch launchDefaultHandler(const QString &scheme, const QString &address = {},
                                               QString *entryId = nullptr) = 0;

    // The desktop's registered open command for web and mail addresses: the program of the
    // Exec line of the default handler's desktop entry (cut before the first blank), or empty
    // when there is none. Only a suggestion for the Setup dialog: launches go through
    // launchDefaultHandler.
    virtual QString webHandlerCommand() = 0;
    virtual QString mailHandlerCommand() = 0;
};
