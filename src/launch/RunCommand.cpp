#include "RunCommand.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

bool isProgram(const QString &word)
{
    if (word.contains(QLatin1Char('/')))
        return isExecutableFile(word);
    return !QStandardPaths::findExecutable(word).isEmpty();
}

} // namespace

RunCommand::Outcome RunCommand::run(Launcher &launcher, const QString &text, Launcher::Show show)
{
    const QString line = text.trimmed();
    if (line.isEmpty())
        return Outcome::Nothing;

    bool started = false;
    if (isExecutableFile(line)) {
        // A complete path, blanks and all: quoted so that it stays one program name.
        QString quoted = line;
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\"\""));
        started = launcher.runCommandLine(QLatin1Char('"') + quoted + QLatin1Char('"'), show);
    } else if (const QStringList words = QProcess::splitCommand(line); words.size() > 1 && isProgram(words.first())) {
        started = launcher.runCommandLine(line, show);
    } else {
        return launcher.shellOpen(line, show) ? Outcome::Opened : Outcome::Failed;
    }
    return started ? Outcome::Started : Outcome::Failed;
}
