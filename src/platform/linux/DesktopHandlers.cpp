#include "DesktopHandlers.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <memory>

Q_LOGGING_CATEGORY(lcDesktopHandlers, "quillbox.platform.handlers")

namespace {

// Desktop entry values escape blanks, tabs and line breaks with a backslash.
QString unescapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            // "\\" and the quoting escapes of Exec stay for the command-line split to read.
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

// A key's value in a group of a desktop entry or of mimeapps.list (the same file format), or empty.
QString groupValue(const QString &path, const QString &group, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

// The user's own choice in mimeapps.list. xdg-mime passes over a default whose Exec program it
// cannot find (not installed, or a quoted path with blanks); the choice still names the entry,
// so that a launch can say which one failed, or start one xdg-mime misread.
QString chosenEntryId(const QString &mimeType)
{
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        const QString ids = groupValue(dir + QStringLiteral("/mimeapps.list"),
                                       QStringLiteral("Default Applications"), mimeType);
        for (const QString &id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (id.trimmed().endsWith(QLatin1String(".desktop")))
                return id.trimmed();
        }
    }
    return {};
}

} // namespace

QString DesktopHandlers::defaultEntryId(const QString &mimeType)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted(3000)) {
        qCDebug(lcDesktopHandlers) << "xdg-mime is not available";
        return chosenEntryId(mimeType);
    }
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    const QString answer = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    const QString first = answer.section(QLatin1Char('\n'), 0, 0).trimmed();
    // A program name, not a path: anything else is not an entry id.
    if (first.isEmpty())
        return chosenEntryId(mimeType);
    if (!first.endsWith(QLatin1String(".desktop")) || first.contains(QLatin1Char('/')))
        return {};
    return first;
}

QString DesktopHandlers::findEntry(const QString &entryId, const QStringList &dataDirs)
{
    if (entryId.isEmpty() || entryId.contains(QLatin1Char('/')))
        return {};
    const QStringList dirs =
        dataDirs.isEmpty() ? QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation) : dataDirs;
    // An id "vendor-app.desktop" may also live as "vendor/app.desktop" in a subfolder.
    QStringList names{entryId};
    for (int dash = entryId.indexOf(QLatin1Char('-')); dash > 0; dash = entryId.indexOf(QLatin1Char('-'), dash + 1)) {
        QString nested = entryId;
        nested[dash] = QLatin1Char('/');
        names << nested;
    }
    for (const QString &dir : dirs) {
        for (const QString &name : names) {
            const QString path = dir + QStringLiteral("/applications/") + name;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

QString DesktopHandlers::execLine(const QString &entryPath)
{
    return unescapeValue(groupValue(entryPath, QStringLiteral("Desktop Entry"), QStringLiteral("Exec")));
}

QString DesktopHandlers::programOfExec(const QString &exec)
{
    QStringList words = QProcess::splitCommand(exec);
    // "env NAME=value program %u" starts program; the variables are the desktop's business.
    if (!words.isEmpty() && words.first() == QLatin1String("env")) {
        words.removeFirst();
        while (!words.isEmpty() && words.first().contains(QLatin1Char('=')))
            words.removeFirst();
    }
    if (words.isEmpty() || words.first().startsWith(QLatin1Char('%')))
        return {};
    const QString program = words.first();
    if (program.contains(QLatin1Char(' ')))
        return QLatin1Char('"') + program + QLatin1Char('"');
    return program;
}

QString DesktopHandlers::registeredProgram(const QString &mimeType)
{
    const QString entry = findEntry(defaultEntryId(mimeType));
    if (entry.isEmpty())
        return {};
    return programOfExec(execLine(entry));
}

bool DesktopHandlers::launchEntry(const QString &entryPath, const QString &address)
{
    // The started program inherits gio's output channels: a pipe would break under it once gio
    // has ended, so both go where ours go.
    auto gio = std::make_unique<QProcess>();
    gio->setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments{QStringLiteral("launch"), entryPath};
    if (!address.isEmpty())
        arguments << address;
    gio->start(QStringLiteral("gio"), arguments);
    if (!gio->waitForStarted(3000)) {
        qCInfo(lcDesktopHandlers) << "gio is not available (package libglib2.0-bin): cannot launch"
                                  << entryPath;
        return false;
    }
    // gio ends as soon as the program is on its way. One that takes longer is not stopped: it
    // is left to finish on its own, and the launch counts as done.
    if (!gio->waitForFinished(3000)) {
        QObject::connect(gio.get(), &QProcess::finished, gio.get(), &QObject::deleteLater);
        gio.release();
        return true;
    }
    const bool ok = gio->exitStatus() == QProcess::NormalExit && gio->exitCode() == 0;
    if (!ok)
        qCInfo(lcDesktopHandlers) << "gio could not launch" << entryPath;
    return ok;
}
