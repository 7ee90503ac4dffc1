#pragma once

#include "ConflictCopy.h"
#include "NoteFiles.h"
#include "NoteSafety.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class LockableStorage;
class NoteDocuments;
class Secret;
class NoteHistory;
class NoteLoader;
class NoteStorage;
class QTextDocument;
class QTimer;
namespace rtf {
class ParagraphCache;
}

// The seven notes: each one's document (which an editor shows), its changed flag, its file, its
// recovery copies, history and conflict copies, the watcher of the note directory and the reading
// of the files in the background. The window asks for a note's document and tells of save
// points; what happened comes back as signals. Every byte of a note goes through one storage.
class NoteSet final : public QObject
{
    Q_OBJECT
public:
    // settingsPath names the note set (with its directory) whose recovery copies are ours.
    explicit NoteSet(const QString &settingsPath, const NoteStorage &storage, QObject *parent = nullptr);
    ~NoteSet() override;

    // Note n's document as it stands, reading nothing: still empty while the note is being read.
    QTextDocument *document(int n) const;
    // What an editor showing the document tells of every change, so that writing the note again
    // encodes only what changed.
    rtf::ParagraphCache *paragraphs(int n) const;
    // Hands note n over now, reading it at once when it has not come in yet.
    void finishLoading(int n);
    bool isLoaded(int n) const;
    bool isLoading() const; // some note is still being read
    QByteArray bytes(int n); // note n as RTF, as its file would hold it

    QString directory() const;
    QString path(int n) const;
    // The caption of note n's tab, for what the user is told.
    void setCaptions(std::function<QString(int n)> caption);

    // Reads the seven notes of dir, note first before the others; each comes in as loaded(n),
    // or as sealed(n) when it is locked.
    // Held, the reading waits for releaseLoading() (start-up paints the window first).
    void load(const QString &dir, int first, bool held = false);
    void releaseLoading();
    // The files read since the last call that could not be read ("path (why)").
    QStringList takeUnreadable();

    // Changed since it was last written or loaded; New, Clear and Open clear it, typing sets it.
    bool isChanged(int n) const;
    void setChanged(int n, bool changed);
    // Whether the note may differ from its file (only a load or write clears this).
    bool isEdited(int n) const;

    // A save point: note n is written when it changed. True when it is in its file (or followed
    // the file, changed elsewhere).
    bool save(int n);
    void saveChanged();
    // Tells (notice "note directory") whether the note directory can take the notes.
    void checkDirectory();
    // Writes changed notes to the old directory, then loads what the new one holds. Returns
    // the copies kept in "Recovered notes" of notes the old one would not take.
    QStringList changeDirectory(const QString &dir, int first);
    // The file at path is about to be replaced by a command: a note file's version goes to its
    // history first.
    void keepBeforeReplacing(const QString &path);

    // Start-up: notes the last close could not write come back from "Recovered notes", then the
    // recovery copies left by a crash are offered (the window asks).
    void restoreKeptCopies();
    // (Only note only's when given: a locked note's copies are offered once it is unlocked.)
    QList<NoteSafety::Offer> recoveryOffers(int only = 0);
    void restoreRecovery(const NoteSafety::Offer &offer);
    void declineRecovery(const NoteSafety::Offer &offer);

    // A second version of a note, and taking it into the note's history once merged.
    std::optional<QByteArray> secondVersion(const ConflictCopy &copy) const;
    bool takeIntoHistory(const ConflictCopy &copy);
    // Note n's text was replaced by a restore or a merge: it is changed, and what its next write
    // replaces is kept in the history on its own.
    void markReplaced(int n);

    const NoteHistory &history() const;

    // Locked notes: a locked note's file is its own with ".gpg" added, an OpenPGP message
    // encrypted with its passphrase, and so is everything else written for it (recovery copies,
    // history, conflict copies, "Recovered notes"). Until its passphrase is given, the note is
    // sealed: its document stays empty, and nothing of it is read or written.
    bool isLocked(int n) const;
    bool isSealed(int n) const;
    // Reads the sealed note n with passphrase on a worker: unlocked(n) when it opens, else
    // unlockFailed(n, why) and nothing changed.
    void unlock(int n, const Secret &passphrase);
    // Locks note n, with its text as the tab holds it: the encrypted file is written and read
    // back before the plain one, its history and recovery copy go. Empty when done, else why not
    // (nothing changed then).
    QString lock(int n, const Secret &passphrase);
    // Turns the unlocked note n back into a plain note; passphrase must be its own.
    QString removeLock(int n, const Secret &passphrase);
    // Every unlocked locked note is saved and sealed, its passphrase forgotten. Returns the
    // captions of those that could not be saved, which stay open rather than lose their text.
    QStringList lockNow();

    // Shutdown: every note with something new here is written; one that cannot be is kept in
    // "Recovered notes" (or its recovery copy). Nothing is written after this.
    void close();
    bool isClosed() const { return m_closed; }

    // Save points are retried this often while a save fails.
    static constexpr int RetryWritesMs = 3000;

signals:
    // Note n's document is in place: read from its file, or left as it was (no file), or emptied
    // (unreadable). An editor showing the note shows document(n) from now on.
    void loaded(int n);
    // Note n follows its file, changed elsewhere: its text is about to be replaced, and now is.
    void reloading(int n);
    void reloaded(int n);
    void saved(int n);
    // Note n could not be written: why tells what went wrong and where the text is safe.
    void notSaved(int n, const QString &why);
    void conflict(const ConflictCopy &copy, const QString &text);
    void directoryGone();
    void directoryBack();
    // What the user is told otherwise: a notice for an event, until it is over; a status message.
    void notice(const QString &event, const QString &text);
    void noticeOver(const QString &event);
    void status(const QString &text, int timeoutMs);
    // Note n is locked and its passphrase not known (at load, or locked again): a tab shows it
    // locked. Unlocking it ends in unlocked(n) (after loaded(n)) or unlockFailed(n, why).
    void sealed(int n);
    void unlocked(int n);
    void unlockFailed(int n, const QString &why);

private:
    void noteRead(int n, NoteFiles::Read &&read);
    bool write(int n);
    void reportWriteFailure(int n, const QString &why);
    void retryFailedWrites();
    void seal(int n);
    void lockStateChanged(int n, const QString &oldPath, const QByteArray &bytes);
    LockableStorage &store(int n) const;

    const NoteStorage &m_storage;
    std::array<std::unique_ptr<LockableStorage>, 7> m_stores;
    std::array<bool, 7> m_unlocking{};
    std::array<QStringList, 7> m_keptWhileSealed{}; // "Recovered notes" copies waiting for the passphrase
    std::unique_ptr<NoteDocuments> m_notes;
    std::unique_ptr<NoteFiles> m_files;
    std::unique_ptr<NoteSafety> m_safety;
    std::unique_ptr<NoteLoader> m_loader;
    QStringList m_unreadable;
    std::array<QString, 7> m_failureTold{}; // the notice of a failed save, until one succeeds
    QTimer *m_retryWrites = nullptr;
    bool m_held = false;
    bool m_closed = false;
};
