#include "LinuxLauncher.h"

#include "DesktopHandlers.h"
#include "DesktopPrograms.h"
#include "FirstWindowMinimizer.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcLauncher, "quillbox.platform.launcher")

namespace {

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

bool isInstalledProgram(const QString &word)
{
    if (word.contains(QLatin1Char('/')))
        return isExecutableFile(word);
    return !QStandardPaths::findExecutable(word).isEmpty();
}

bool start(const QString &program, const QStringList &arguments, Launcher::Show show,
           qint64 *processId = nullptr)
{
    qint64 started = 0;
    if (!QProcess::startDetached(program, arguments, QString(), &started)) {
        qCInfo(lcLauncher) << "could not start" << program;
        return false;
    }
    if (show == Launcher::Show::Minimized)
        FirstWindowMinimizer::watch(started);
    if (processId)
        *processId = started;
    return true;
}

} // namespace

QStringList LinuxLauncher::programAndArguments(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty() || isInstalledProgram(words.first()) || commandLine.contains(QLatin1Char('"')))
        return words;
    const QStringList plain = commandLine.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int n = 2; n <= plain.size(); ++n) {
        const QString candidate = plain.mid(0, n).join(QLatin1Char(' '));
        if (isExecutableFile(candidate))
            return QStringList{candidate} + QProcess::splitCommand(plain.mid(n).join(QLatin1Char(' ')));
    }
    return words;
}

bool LinuxLauncher::runCommandLine(const QString &commandLine, Show show, qint64 *processId)
{
    QStringList args = programAndArguments(commandLine);
    if (processId)
        *processId = 0;
    if (args.isEmpty())
        return false;
    const QString program = args.takeFirst();
    return start(program, args, show, processId);
}

bool LinuxLauncher::shellOpen(const QString &target, Show show)
{
    const QString name = target.trimmed();
    if (name.isEmpty())
        return false;

    // The classic bare program names stand for this desktop's own programs.
    QString program;
    if (name.compare(QLatin1String("cmd"), Qt::CaseInsensitive) == 0)
        program = DesktopPrograms::terminal();
    else if (name.compare(QLatin1String("calc.exe"), Qt::CaseInsensitive) == 0)
        program = DesktopPrograms::calculator();
    else if (name.compare(QLatin1String("dialer.exe"), Qt::CaseInsensitive) == 0)
        return launchDefaultHandler(QStringLiteral("tel")) == HandlerLaunch::Started;
    else if (isExecutableFile(name) || (!name.contains(QLatin1Char(':')) && !QFileInfo::exists(name)
                                        && isInstalledProgram(name)))
        // Opening a program runs it, as the shell's "Open" did; a document goes to xdg-open.
        return start(name, {}, show);
    else
        // The document's program is xdg-open's child while it runs, so its window is found too.
        return start(QStringLiteral("xdg-open"), {target}, show);

    if (program.isEmpty()) {
        qCInfo(lcLauncher) << "no program installed for" << name;
        return false;
    }
    return runCommandLine(program, show);
}

Launcher::HandlerLaunch LinuxLauncher::launchDefaultHandler(const QString &scheme, const QString &address,
                                                            QString *entryId)
{
    const QString id = DesktopHandlers::defaultEntryId(QStringLiteral("x-scheme-handler/") + scheme);
    if (entryId)
        *entryId = id;
    if (id.isEmpty())
        return HandlerLaunch::NoHandler;
    const QString entry = DesktopHandlers::findEntry(id);
    if (entry.isEmpty()) {
        qCInfo(lcLauncher) << "the default handler's entry" << id << "is not installed";
        return HandlerLaunch::Failed;
    }
    return DesktopHandlers::launchEntry(entry, address) ? HandlerLaunch::Started : HandlerLaunch::Failed;
}

QString LinuxLauncher::webHandlerCommand()
{
    return DesktopHandlers::registeredProgram(QStringLiteral("x-scheme-handler/http"));
}

QString LinuxLauncher::mailHandlerCommand()
{
    return DesktopHandlers::registeredProgram(QStringLiteral("x-scheme-handler/mailto"));
}
