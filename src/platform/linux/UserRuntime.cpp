#include "../UserRuntime.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserRuntime {

bool isPrivateDirectory(const QString &path)
{
    struct stat info = {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString fallbackDirectory()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/quillbox-plus/runtime");
}

QString privateDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        return QDir::cleanPath(runtime);

    const QString own = fallbackDirectory();
    if (own.isEmpty())
        return {};
    const QByteArray encoded = QFile::encodeName(own);
    if (!QDir().mkpath(own))
        return {};
    // Made by us in the user's own tree; closed to others even if it was made more open before.
    struct stat info = {};
    if (::lstat(encoded.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid())
        ::chmod(encoded.constData(), S_IRWXU);
    return isPrivateDirectory(own) ? own : QString();
}

unsigned userId()
{
    return ::getuid();
}

std::optional<unsigned> peerUserId(qintptr socketDescriptor)
{
    struct ucred credentials = {};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0 ||
        ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

} // namespace UserRuntime
