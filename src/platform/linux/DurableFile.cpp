#include "DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace DurableFile {

Failure Failure::fromErrno(int code)
{
    Failure f;
    f.detail = QString::fromLocal8Bit(std::strerror(code));
    switch (code) {
    case 0:
        f.kind = Kind::Other;
        break;
    case ENOSPC:
    case EDQUOT:
        f.kind = Kind::DiskFull;
        break;
    case EROFS:
        f.kind = Kind::ReadOnly;
        break;
    case EACCES:
    case EPERM:
        f.kind = Kind::NotAllowed;
        break;
    case ENOENT:
        f.kind = Kind::FolderMissing;
        break;
    case ENOTDIR:
        f.kind = Kind::NotAFolder;
        break;
    case EIO:
        f.kind = Kind::DiskError;
        break;
    default:
        f.kind = Kind::Other;
        break;
    }
    return f;
}

namespace {

Failure lastError()
{
    return Failure::fromErrno(errno);
}

// Writes all of bytes, however the kernel splits it; a short write is tried again, so the error
// that stopped it (ENOSPC after the first blocks) is the one reported.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, p, static_cast<size_t>(left));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (done == 0) {
            errno = EIO;
            return false;
        }
        p += done;
        left -= done;
    }
    return true;
}

// The file as it is on the disk now, compared with what we meant to write.
bool readsBackAs(const QByteArray &tempPath, const QByteArray &bytes)
{
    const int fd = ::open(tempPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool same = ::fstat(fd, &st) == 0 && st.st_size == bytes.size();
    char buffer[64 * 1024];
    qint64 at = 0;
    while (same) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            same = got == 0 && at == bytes.size();
            break;
        }
        same = at + got <= bytes.size() && std::memcmp(buffer, bytes.constData() + at, size_t(got)) == 0;
        at += got;
    }
    const int readErrno = errno;
    ::close(fd);
    errno = same ? 0 : (readErrno ? readErrno : EIO);
    return same;
}

QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

QByteArray tempPathBeside(const QString &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    const QFileInfo info(target);
    return QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
                             suffix + QStringLiteral(".tmp"));
}

void syncFolder(const QString &dir)
{
    // Makes the rename itself last; a file system that cannot sync a folder loses nothing by it.
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

Failure write(const QString &path, const QByteArray &bytes, Access access)
{
    const QString target = targetOf(path);
    const QByteArray finalName = QFile::encodeName(target);
    if (Failure f = folderProblem(QFileInfo(target).absolutePath());
        f.kind == Failure::Kind::FolderMissing || f.kind == Failure::Kind::NotAFolder)
        return f;

    struct stat old
    {
    };
    const bool replacing = ::stat(finalName.constData(), &old) == 0;
    const mode_t createMode = access == Access::OwnerOnly || replacing ? 0600 : 0666;

    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = tempPathBeside(target);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd < 0 && errno != EEXIST)
            return lastError();
    }
    if (fd < 0)
        return lastError();

    const auto fail = [&](int code) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return Failure::fromErrno(code);
    };
    if (replacing && access == Access::Kept) {
        // The replacement keeps the old file's owner (where we may set it) and permissions.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not ours to give away: the new file is the writer's, as any file it makes.
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return fail(errno);
    }
    if (!writeAll(fd, bytes))
        return fail(errno);
    // Network file systems report failed writes only here; a file system that has no use for a
    // sync says EINVAL.
    if (::fsync(fd) != 0 && errno != EINVAL)
        return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 && errno != EINTR)
        return fail(errno);
    if (!readsBackAs(temp, bytes))
        return fail(errno ? errno : EIO);
    if (::rename(temp.constData(), finalName.constData()) != 0)
        return fail(errno);
    syncFolder(QFileInfo(target).absolutePath());
    return {};
}

Failure folderProblem(const QString &dir)
{
    const QByteArray name = QFile::encodeName(dir);
    struct stat st
    {
    };
    if (::stat(name.constData(), &st) != 0) {
        // A file somewhere above it: the folder is not there.
        return Failure::fromErrno(errno == ENOTDIR ? ENOENT : errno);
    }
    if (!S_ISDIR(st.st_mode))
        return Failure::fromErrno(ENOTDIR);
    if (::access(name.constData(), W_OK | X_OK) != 0)
        return lastError();
    struct statvfs fs
    {
    };
    if (::statvfs(name.constData(), &fs) == 0 && fs.f_bavail == 0 && fs.f_blocks > 0)
        return Failure::fromErrno(ENOSPC);
    return {};
}

} // namespace DurableFile
