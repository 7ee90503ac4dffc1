#include "LinuxLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

bool LinuxLauncher::runCommandLine(const QString &commandLine, Show)
{
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return false;
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
}

bool LinuxLauncher::shellOpen(const QString &target, Show)
{
    if (target.trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

QString LinuxLauncher::webHandlerCommand()
{
    return {};
}

QString LinuxLauncher::mailHandlerCommand()
{
    return {};
}
