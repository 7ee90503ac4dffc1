#include "AutostartEntry.h"

#include "DurableFile.h"
#include "WriteFailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// A desktop entry's Exec argument: quoted, with ", `, $ and \ escaped by a backslash, then the
// string-value escaping doubles every backslash; % is doubled as the field codes require.
QString execArgument(const QString &path)
{
    QString quoted;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString AutostartEntry::path()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/quillbox.desktop"));
}

bool AutostartEntry::exists()
{
    return QFileInfo(path()).isFile();
}

QByteArray AutostartEntry::contents(const QString &programPath)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Quillbox Plus\n"
                                        "Comment=Seven tabbed notes at hand from the notification area\n"
                                        "Exec=%1\n"
                                        "Icon=quillbox\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execArgument(programPath));
    return text.toUtf8();
}

bool AutostartEntry::set(bool on, const QString &programPath, QString *error)
{
    const QString file = path();
    if (!on) {
        if (!QFileInfo::exists(file) || QFile::remove(file))
            return true;
        if (error)
            *error = QStringLiteral("\"%1\" could not be removed.").arg(file);
        return false;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    const DurableFile::Failure failure = DurableFile::write(file, contents(programPath));
    if (!failure)
        return true;
    if (error)
        *error =
            QStringLiteral("\"%1\" could not be written: %2.").arg(file, WriteFailureText::reason(failure));
    return false;
}
