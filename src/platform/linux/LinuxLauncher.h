#pragma once

#include "../Launcher.h"

#include <QStringList>

// Starts programs directly (never through a shell) and opens everything else with the desktop's
// xdg-open. A program started minimised has its first window minimised once it shows: there is
// no portable way to ask a newly started X11 program for a minimised first window.
class LinuxLauncher final : public Launcher
{
public:
    bool runCommandLine(const QString &commandLine, Show show = Show::Normal, qint64 *processId = nullptr) override;
    bool shellOpen(const QString &target, Show show) override;
    HandlerLaunch launchDefaultHandler(const QString &scheme, const QString &address = {},
                                       QString *entryId = nullptr) override;
    QString webHandlerCommand() override;
    QString mailHandlerCommand() override;

    // The program and arguments a command line starts. Unquoted program paths with blanks
    // ("/opt/My Browser/browser http://x"), which settings written by hand often hold, are found
    // by taking words while they name an executable file, as the classic command line did.
    static QStringList programAndArguments(const QString &commandLine);
};
