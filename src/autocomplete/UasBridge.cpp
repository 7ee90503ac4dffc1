#include "UasBridge.h"

#include "Launcher.h"
#include "ProgramPlaces.h"
#include "UserRuntime.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcUas, "quillbox.autocomplete")

namespace {

const QString kConfigFile = QStringLiteral("FlashPeak/UAS.conf");
const QString kPathKey = QStringLiteral("UAS/Path");
const QString kProgramName = QStringLiteral("uas");
const QString kEndpointName = QStringLiteral("uas-main-window");

// How long one look for the running service may take. A listening service accepts at once; this
// only bounds a service that is wedged with a full backlog.
constexpr int kConnectTimeoutMs = 250;
// Between two looks while the service starts up.
constexpr int kPollIntervalMs = 25;

int remainingMs(const QDeadlineTimer &deadline)
{
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

QByteArray messageWithPid(const char *verb)
{
    return QByteArray(verb) + ' ' + QByteArray::number(QCoreApplication::applicationPid()) + '\n';
}

// The "Path" entry of one configuration file: an absolute directory, or empty.
QString serviceDirectoryFrom(const QString &configFile)
{
    QSettings ini(configFile, QSettings::IniFormat);
    const QVariant value = ini.value(kPathKey);
    // QSettings reads a comma as a list separator; a directory name may hold one.
    const QString dir = value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',')
                                                                 : value.toString().trimmed();
    // A relative directory would depend on where we happen to be started from.
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir))
        return {};
    return QDir::cleanPath(dir);
}

} // namespace

UasBridge::UasBridge() : m_endpoint(defaultEndpointName()) {}

UasBridge::UasBridge(QString endpoint) : m_endpoint(std::move(endpoint)) {}

QString UasBridge::defaultEndpointName()
{
    // A private directory, so another user on the machine can neither pose as our service nor
    // see our registrations. Without one there is no endpoint, and the service counts as absent.
    const QString dir = UserRuntime::privateDirectory();
    return dir.isEmpty() ? QString() : dir + u'/' + kEndpointName;
}

QStringList UasBridge::configDirectories()
{
    QStringList dirs;
    const QStringList listed = qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts);
    for (const QString &dir : listed) {
        if (QDir::isAbsolutePath(dir))
            dirs << QDir::cleanPath(dir);
    }
    if (dirs.isEmpty())
        dirs << QStringLiteral("/etc/xdg");
    return dirs;
}

bool UasBridge::FindUASWindow() const
{
    QLocalSocket socket;
    socket.connectToServer(m_endpoint);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.abort();
    return true;
}

QString UasBridge::GetUASPath() const
{
    for (const QString &dir : configDirectories()) {
        const QString file = dir + u'/' + kConfigFile;
        if (!QFileInfo(file).isFile())
            continue;
        const QString serviceDir = serviceDirectoryFrom(file);
        if (!serviceDir.isEmpty())
            return QDir(serviceDir).filePath(kProgramName);
        qCDebug(lcUas) << "no usable service directory in" << file;
    }
    return {};
}

bool UasBridge::LaunchUAS() const
{
    const QString program = GetUASPath();
    if (program.isEmpty())
        return false;
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable()) {
        qCDebug(lcUas) << "service program missing or not executable:" << program;
        return false;
    }

    // Started directly, never through a shell; the service outlives us and must not hold our
    // terminal or output pipes.
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setWorkingDirectory(info.absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        qCWarning(lcUas) << "could not start the auto-completion service" << program;
        return false;
    }

    const QDeadlineTimer deadline(kLaunchTimeoutMs);
    for (;;) {
        if (FindUASWindow())
            return true;
        if (deadline.hasExpired())
            break;
        QThread::msleep(static_cast<unsigned long>(std::min(kPollIntervalMs, remainingMs(deadline))));
    }
    qCWarning(lcUas) << "the auto-completion service did not come up within" << kLaunchTimeoutMs << "ms";
    return false;
}

bool UasBridge::RegisterWithUAS() const
{
    if (!FindUASWindow() && !LaunchUAS())
        return false;
    return send(messageWithPid("REGISTER"), true);
}

bool UasBridge::UnregisterFromUAS() const
{
    if (!FindUASWindow())
        return true; // nothing running holds us
    return send(messageWithPid("UNREGISTER"), true);
}

void UasBridge::ShowUASSetup(QPoint position) const
{
    if (!FindUASWindow())
        return;
    send("SHOWSETUP " + QByteArray::number(position.x()) + ' ' + QByteArray::number(position.y()) + '\n',
         false);
}

// The address the build was given (cmake -DQB_UAS_DOWNLOAD_URL=...), else the manual's words
// about the service on this computer: no made-up address is ever opened.
QString UasBridge::downloadPage()
{
    const QString configured = QStringLiteral(QB_UAS_DOWNLOAD_URL).trimmed();
    if (!configured.isEmpty())
        return configured;
    QUrl page = QUrl::fromLocalFile(ProgramPlaces::dataDirectory() + QStringLiteral("/manual/about.html"));
    page.setFragment(QStringLiteral("autocompletion"));
    return page.toString();
}

void UasBridge::OpenUASDownloadPage(Launcher &launcher)
{
    if (!launcher.shellOpen(downloadPage(), Launcher::Show::Normal))
        qCWarning(lcUas) << "could not open the download page";
}

bool UasBridge::send(const QByteArray &line, bool waitForReply) const
{
    const QDeadlineTimer deadline(kReplyTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_endpoint);
    if (!socket.waitForConnected(remainingMs(deadline)))
        return false;
    socket.write(line);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs(deadline)))
            break;
    }
    if (socket.bytesToWrite() > 0) {
        qCWarning(lcUas) << "the auto-completion service did not take our message";
        return false;
    }
    if (!waitForReply) {
        socket.disconnectFromServer();
        return true;
    }
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remainingMs(deadline))) {
            qCWarning(lcUas) << "the auto-completion service did not answer within" << kReplyTimeoutMs
                             << "ms";
            return false;
        }
    }
    const QByteArray reply = socket.readLine().trimmed();
    socket.disconnectFromServer();
    if (reply != "OK") {
        qCWarning(lcUas) << "the auto-completion service refused:" << reply.left(80);
        return false;
    }
    return true;
}
