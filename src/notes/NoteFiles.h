#pragma once

#include "DurableFile.h"
#include "NoteDiskState.h"
#include "NoteStorage.h"
#include "RtfParagraphCache.h"

#include <QTextDocument>

#include <QDateTime>
#include <QString>

#include <array>
#include <memory>

class NoteDocuments;

// Reading and writing the seven note files. A note file that exists but cannot be read is never
// overwritten behind the user's back: its note starts empty, and only once the user has put
// something into that note is the unreadable file moved aside (kept beside it under another name)
// and the note written.
class NoteFiles final
{
public:
    enum class Loaded { Missing, Read, Unreadable };

    // One note file as read, ready to be shown.
    struct Read
    {
        Loaded loaded = Loaded::Missing;
        std::unique_ptr<QTextDocument> document; // Read: the note, final line break removed
        NoteDiskState disk;                      // Read: what the file held
        rtf::ParagraphCache paragraphs;          // Read in the background: its RTF, kept by paragraph
        QString error;                           // Unreadable: why
    };

    explicit NoteFiles(NoteStorageFor storage);

    // Reads the file as RTF into a new document; safe on any thread.
    static Read read(const NoteStorage &storage, const QString &path);
    // Makes what was read note n's document. A missing file leaves the note as it is; an
    // unreadable one empties it, with error saying why. Returns the document replaced, which an
    // editor may still show.
    std::unique_ptr<QTextDocument> apply(int n, NoteDocuments &notes, Read read, QString *error = nullptr);

    // Writes the whole note as RTF, atomically. For a note whose file could not be read, the file
    // is first moved aside; if that fails nothing is written. A failed write leaves the file as it
    // was and returns false with failure saying why.
    bool save(int n, const QByteArray &bytes, const QString &path, DurableFile::Failure *failure = nullptr);

    bool isUnreadable(int n) const;
    void forgetUnreadable(int n); // the note now comes from somewhere else (another directory)
    // Where the unreadable file of note n was moved to (empty until it was).
    QString keptAside(int n) const;

    // "notes.rtf" becomes "notes (unreadable 2026-12-07 08-30-00).rtf" beside it.
    static QString asidePath(const QString &path, const QDateTime &when = QDateTime::currentDateTime());

private:
    NoteStorageFor m_storage;
    std::array<bool, 7> m_unreadable{};
    std::array<QString, 7> m_keptAside{};
};
