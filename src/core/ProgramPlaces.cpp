#include "ProgramPlaces.h"

#include "NoteTab.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &programOverride()
{
    static QString dir;
    return dir;
}
QString &dataOverride()
{
    static QString dir;
    return dir;
}

bool isSystemPrefix(const QString &dir)
{
    return dir.startsWith(QLatin1String("/usr/")) || dir == QLatin1String("/usr") ||
           dir.startsWith(QLatin1String("/opt/")) || dir.startsWith(QLatin1String("/bin")) ||
           dir.startsWith(QLatin1String("/sbin"));
}
} // namespace

namespace ProgramPlaces {

QString programDirectory()
{
    if (!programOverride().isEmpty())
        return programOverride();
    return programDirectoryFor(QCoreApplication::applicationDirPath());
}

QString programDirectoryFor(const QString &exeDir)
{
    const QFileInfo info(exeDir);
    // An install under /usr or /opt is never a portable one, even for root who could write there.
    if (exeDir.isEmpty() || !info.isDir() || !info.isWritable() || isSystemPrefix(exeDir))
        return userDataDirectory();
    // A portable copy says so; one that already keeps notes beside itself (made by an earlier
    // version) goes on doing so, or its notes would seem gone.
    const QDir dir(exeDir);
    bool portable = dir.exists(QStringLiteral("portable"));
    for (const NoteTab &tab : NoteTabs::all())
        portable = portable || QFileInfo(dir.filePath(tab.fileName)).isFile();
    return portable ? exeDir : userDataDirectory();
}

QString userDataDirectory()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = base + QStringLiteral("/Quillbox Plus");
    // Owner-only: it may hold the notes themselves, their history and recovery copies, which the
    // start-up password guards.
    if (!QFileInfo(dir).isDir() && QDir().mkpath(dir))
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

QString dataDirectory()
{
    if (!dataOverride().isEmpty())
        return dataOverride();
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/quillbox"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    if (QFileInfo(QStringLiteral(QB_SOURCE_DATA_DIR)).isDir())
        return QStringLiteral(QB_SOURCE_DATA_DIR);
    return QStringLiteral(QB_INSTALL_DATA_DIR);
}

void overrideProgramDirectory(const QString &dir)
{
    programOverride() = dir;
}

void overrideDataDirectory(const QString &dir)
{
    dataOverride() = dir;
}

} // namespace ProgramPlaces
