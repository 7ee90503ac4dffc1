#pragma once

#include "DurableFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The one way a note's bytes reach the disk and come back: the note file, its recovery copies,
// the versions in its history, conflict copies and the copies in "Recovered notes". Whatever is
// done to a note's bytes on their way (a locked note's encryption) is one more implementation of
// this. Implementations are called from worker threads too (loading, recovery copies).
class NoteStorage
{
public:
    virtual ~NoteStorage() = default;

    // The whole file, or nothing with error saying why. A file that may be opened but not read
    // (an I/O error, a damaged disk) is told apart from one that is merely empty.
    virtual std::optional<QByteArray> read(const QString &path, QString *error = nullptr) const = 0;
    // What read() would give, as its size and SHA-1, for telling whether a file changed; by
    // default from read(). (The plain storage hashes the file as it streams by: a big note is
    // not held in memory for it.)
    struct Digest
    {
        qint64 size = 0;
        QByteArray sha1;
    };
    virtual std::optional<Digest> digest(const QString &path) const;
    // Replaces the file by bytes in full or not at all; the failure says why not.
    virtual DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                                       DurableFile::Access access = DurableFile::Access::Kept) const = 0;

    // The bytes as they are, through DurableFile.
    static const NoteStorage &plain();
};

// The storage of note n's bytes (1..7): a locked note's go through its passphrase.
using NoteStorageFor = std::function<const NoteStorage &(int n)>;
// Every note's through storage.
NoteStorageFor allThrough(const NoteStorage &storage);
