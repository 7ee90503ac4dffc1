#pragma once

#include "NoteHistory.h"
#include "NoteStorage.h"
#include "NoteWatcher.h"
#include "RecoveryStore.h"
#include "SnapshotWriter.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class NoteDocuments;
class NoteFiles;

// Everything that keeps a note from being lost around the plain load and save of the note files:
// changes made from outside (another machine on a shared drive), a note directory that goes away,
// recovery copies written shortly after typing stops, and the history of earlier versions.
//
// When a note was changed both here and on disk, we keep both without asking: ours is written to
// the note file and theirs is kept beside it as a conflict copy, and the user is told the names of
// both files. Asking "keep mine / keep theirs" would stop every save point (losing the focus,
// switching tabs) on a dialog, and shutdown may never wait on one. The notice offers to compare
// and merge the two when the user has time; a sync program's conflict copies are offered alike.
// What the user is to be told goes out as signals; the window shows it.
class NoteSafety final : public QObject
{
    Q_OBJECT
public:
    enum class Mode { Interactive, Shutdown };
    enum class Written {
        Yes,        // our text is in the note file
        Unchanged,  // nothing new here and the file is as we know it: left byte for byte
        TheirsKept, // nothing new here and the file changed elsewhere: the file stands
        Deferred,   // the note directory is away; the note stays changed until it is back
        Failed,     // could not be written; why says why and where the text is safe meanwhile
    };

    // settingsPath names the note set (with the note directory) whose recovery copies are ours.
    NoteSafety(NoteDocuments &notes, NoteFiles &files, NoteStorageFor storage, QString settingsPath);
    ~NoteSafety() override;

    // The notes were (re)loaded from the note directory: remember what each file held.
    void notesLoaded();
    // Note n came in from its file (disk: what the file held, when it could be read).
    void noteLoaded(int n, const NoteDiskState *disk);
    // Note n's content changed (typed, or replaced by New, Clear or Open); its recovery copy is
    // written once typing stops for a moment.
    void noteEdited(int n);
    // Whether the tab's content may differ from what was last loaded from or written to its file.
    // Unlike NoteChanged, which the note-set commands clear, only a load or write clears this.
    bool edited(int n) const { return m_edited[static_cast<size_t>(n - 1)]; }

    // Writes note n to its file, after checking it again against the file on disk. When that
    // fails, the note's recovery copy is brought up to date at once, and why (when given) receives
    // the notice for the user: what went wrong, and where the text is safe.
    Written write(int n, Mode mode, QString *why = nullptr);
    bool directoryAway() const { return m_away; }

    // Start-up, after the notes are loaded: the recovery copies left behind by a crash, newer
    // than their notes, to be offered back (copies overtaken by a later write are removed).
    struct Offer
    {
        int note = 0;
        QDateTime saved;
        QByteArray bytes;
    };
    QList<Offer> recoveryOffers();
    // The user took the copy back into its tab (it stays until the note is written), or declined
    // it (it goes to the note's history).
    void restoreRecovery(const Offer &offer);
    void declineRecovery(const Offer &offer);
    // Start-up: the copies in "Recovered notes" of notes the last close could not write go back
    // into their tabs (unless the note file was written after them), and a notice says so.
    void restoreKeptCopies(const QStringList &copies);
    // A changed note that cannot be written goes to "Recovered notes"; the copy's path, or empty.
    QString keepInRecoveredNotes(int n);
    // A second version of a note: what it holds, or nothing when it is gone.
    std::optional<QByteArray> secondVersion(const ConflictCopy &copy) const;
    // The user merged it: it goes into the note's history. False when it could not.
    bool takeIntoHistory(const ConflictCopy &copy);
    // Shutdown: the notes whose text is safe lose their recovery copies.
    void finish(const std::array<bool, 7> &safe);

    const NoteHistory &history() const { return m_history; }
    // Note n's file as it is now goes to its history (it is about to be replaced).
    void keepFileInHistory(int n);
    // Note n's text was replaced by a command or a restore, not typed: the version its next write
    // replaces is kept in the history on its own, not merged into a stretch of editing.
    void keepNextVersionApart(int n) { m_keepApart[static_cast<size_t>(n - 1)] = true; }
    // Note n's text was replaced by a restore or a merge: changed, and kept apart in the history.
    void markReplaced(int n);
    // Note n was locked or its lock removed: its file is now another, holding bytes, and its
    // history follows it there (encrypted or not, as the note now is).
    void lockChanged(int n, const QString &oldPath, const QByteArray &bytes);
    // Note n was locked again: nothing of it is copied or followed until it is unlocked.
    void sealed(int n);
    void setSealed(int n, bool sealed) { m_sealed[static_cast<size_t>(n - 1)] = sealed; }
    // The note directory changes: the recovery copies of the notes of the old one go.
    void dropRecoveryCopies();
    NoteWatcher &watcher() { return m_watcher; }

    // A recovery copy is written this long after the first change not yet copied, whether typing
    // pauses or not: a crash loses at most this much typing.
    static constexpr int RecoveryDelayMs = 2000;

signals:
    // The note directory can be reached again: the owner writes the changed notes.
    void directoryReturned();
    // The note directory cannot be reached (told once until it is back).
    void directoryGone();
    // Note n's text is about to be replaced by its file's, changed elsewhere; and now is.
    void reloading(int n);
    void reloaded(int n);
    // What the user is told: a notice above the note for an event (one per event), until it is
    // over; a message in the status bar; a second version of a note, which the user may compare
    // and merge.
    void notice(const QString &event, const QString &text);
    void noticeOver(const QString &event);
    void status(const QString &text, int timeoutMs = 8000);
    void conflict(const ConflictCopy &copy, const QString &text);

private:
    void changedElsewhere(int n);
    bool reload(int n);
    void nowMatchesFile(int n, const QByteArray &bytes, const QDateTime &modified);
    void directoryLost();
    void directoryBack();
    Written tryWrite(int n, Mode mode, QByteArray *bytes, DurableFile::Failure *failure, QString *why);
    void saveRecoveryCopy(int n);
    void stopRecoveryTimers(int n);
    void recoveryCopyWritten(int n, const DurableFile::Failure &failure);
    void tellConflict(int n, const QString &copyPath);
    void secondVersionFound(const ConflictCopy &copy);

    NoteDocuments &m_notes;
    NoteFiles &m_files;
    NoteStorageFor m_storage;
    const NoteStorage &storageOfPath(const QString &notePath) const;
    QString m_settingsPath;
    NoteWatcher m_watcher;
    RecoveryStore m_recovery;
    NoteHistory m_history;
    std::array<QTimer, 7> m_recoveryTimers;
    std::array<bool, 7> m_edited{};
    std::array<bool, 7> m_keepApart{};
    std::array<bool, 7> m_sealed{}; // locked, its passphrase not known: its file is not ours to read
    std::array<bool, 7> m_copyCurrent{}; // the recovery copy made at a failed save holds the tab's text
    // Recovery copies are written on a worker. Each save or load of a note counts up its
    // generation, and a copy made for an earlier generation is stale: the worker drops it.
    SnapshotWriter m_snapshots;
    std::shared_ptr<std::array<std::atomic_int, 7>> m_copyGeneration =
        std::make_shared<std::array<std::atomic_int, 7>>();
    QSet<QString> m_toldCopies; // second versions the user was told of in this session
    bool m_away = false;
    bool m_awayTold = false;
    bool m_finished = false;
};
