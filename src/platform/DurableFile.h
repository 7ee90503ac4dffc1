#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole file so that it either holds every byte we meant or is left as it was. A write
// counts only when every write, the flush to the disk and the closing succeeded and the bytes read
// back are the ones given; on any failure the temporary file is removed and the old file stays.
namespace DurableFile {

// Why a file could not be written, sorted by what a user can do about it.
struct Failure
{
    enum class Kind {
        None,
        DiskFull,      // no space left (or the user's quota is used up)
        ReadOnly,      // a read-only disk or mount
        NotAllowed,    // the folder's or file's permissions
        FolderMissing, // the folder is not there (a network drive not mounted, a folder removed)
        NotAFolder,    // a file stands where the folder should be
        DiskError,     // the disk reported an error, or the bytes read back differ
        Other,
    };
    Kind kind = Kind::None;
    QString detail; // the system's own words, for the log and for the rare Other

    explicit operator bool() const { return kind != Kind::None; }
    static Failure fromErrno(int code);
};

enum class Access {
    Kept,      // a replaced file keeps its permissions; a new one gets the folder's usual ones
    OwnerOnly, // readable and writable by the owner alone, new or replaced
};

// Replaces the file at path (the target of a link, when path is one) by bytes, atomically.
Failure write(const QString &path, const QByteArray &bytes, Access access = Access::Kept);

// Whether new files can be made in dir, without writing anything there.
Failure folderProblem(const QString &dir);

} // namespace DurableFile
