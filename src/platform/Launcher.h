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
    // detached. Returns false when nothing could be started.
    virtual bool runCommandLine(const QString &commandLine, Show show = Show::Normal) = 0;

    // Asks the desktop to open a web or mail address, a document or a program name with its
    // registered handler. The bare names "cmd", "calc.exe" and "dialer.exe" map to this desktop's
    // terminal, calculator and tel: handler.
    virtual bool shellOpen(const QString &target, Show show = Show::Normal) = 0;

    // The desktop's registered open command for web and mail addresses (the Exec line of the
    // default handler's desktop entry), or empty when there is none.
    virtual QString webHandlerCommand() = 0;
    virtual QString mailHandlerCommand() = 0;
};
