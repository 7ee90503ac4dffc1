#include "NoteSafety.h"

#include "FinalLineBreak.h"
#include "NoteDocuments.h"
#include "NoteFiles.h"
#include "NoteStorage.h"
#include "NoteTab.h"
#include "NotesLog.h"
#include "ProgramPlaces.h"
#include "RtfReader.h"
#include "WriteFailureText.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTextDocument>
#include <QTimer>

#include <cerrno>

namespace {

bool readFile(const NoteStorage &storage, const QString &path, QByteArray *bytes)
{
    std::optional<QByteArray> read = storage.read(path);
    if (!read)
        return false;
    *bytes = std::move(*read);
    return true;
}

} // namespace

NoteSafety::NoteSafety(NoteDocuments &notes, NoteFiles &files, NoteStorageFor storage, QString settingsPath)
    : m_notes(notes), m_files(files), m_storage(std::move(storage)), m_settingsPath(std::move(settingsPath)),
      m_watcher(nullptr, 3000, m_storage),
      m_recovery(ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery"), m_storage),
      m_history(ProgramPlaces::userDataDirectory() + QStringLiteral("/history"), 20, 30,
                NoteHistory::DefaultMaxBytes,
                [this](const QString &notePath) -> const NoteStorage & { return storageOfPath(notePath); })
{
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        QTimer &timer = m_recoveryTimers[static_cast<size_t>(n - 1)];
        timer.setSingleShot(true);
        timer.setInterval(RecoveryDelayMs);
        connect(&timer, &QTimer::timeout, this, [this, n] { saveRecoveryCopy(n); });
    }
    connect(&m_notes, &NoteDocuments::edited, this, &NoteSafety::noteEdited);
    connect(&m_snapshots, &SnapshotWriter::written, this, &NoteSafety::recoveryCopyWritten);
    connect(&m_watcher, &NoteWatcher::noteChangedOnDisk, this, &NoteSafety::changedElsewhere);
    connect(&m_watcher, &NoteWatcher::directoryLost, this, &NoteSafety::directoryLost);
    connect(&m_watcher, &NoteWatcher::directoryBack, this, &NoteSafety::directoryBack);
    connect(&m_watcher, &NoteWatcher::conflictCopyFound, this, &NoteSafety::secondVersionFound);
    connect(&m_watcher, &NoteWatcher::conflictCopyGone, this,
            [this](const QString &path) { emit noticeOver(QStringLiteral("conflict ") + path); });
}

NoteSafety::~NoteSafety() = default;

// The versions of a note file that is no longer one of ours (an earlier note directory) are
// read as they are: encrypted ones only while their note's passphrase is known.
const NoteStorage &NoteSafety::storageOfPath(const QString &notePath) const
{
    const QFileInfo target(notePath);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (QFileInfo(m_notes.path(n)) == target || m_notes.plainPath(n) == notePath ||
            NoteDocuments::lockedPath(m_notes.plainPath(n)) == notePath)
            return m_storage(n);
    }
    return NoteStorage::plain();
}

void NoteSafety::notesLoaded()
{
    std::array<QString, 7> paths;
    for (int n = 1; n <= NoteTabs::Count; ++n)
        paths[static_cast<size_t>(n - 1)] = m_notes.path(n);
    m_watcher.setPaths(paths);
    // No copy still being written may land in the folder of the notes loaded before.
    m_snapshots.waitForDone();
    for (std::atomic_int &generation : *m_copyGeneration)
        ++generation;
    m_recovery.setNoteSet(m_notes.directory(), m_settingsPath);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        m_watcher.setKnownState(n, NoteDiskState::of(m_notes.path(n), m_storage(n)));
        // Loading is no edit of the user's.
        stopRecoveryTimers(n);
    }
    m_edited.fill(false);
    m_copyCurrent.fill(false);
    m_keepApart.fill(false);
    // A directory missing from the start was never "lost": writing to it fails with the usual
    // message, and the notes are written once it appears.
    m_away = false;
    m_awayTold = false;
}

void NoteSafety::noteLoaded(int n, const NoteDiskState *disk)
{
    if (disk)
        m_watcher.setKnownState(n, *disk);
    // Loading is no edit of the user's.
    stopRecoveryTimers(n);
    m_edited[static_cast<size_t>(n - 1)] = false;
}

NoteSafety::Written NoteSafety::write(int n, Mode mode, QString *why)
{
    QByteArray bytes;
    DurableFile::Failure failure;
    QString problem;
    const Written written = tryWrite(n, mode, &bytes, &failure, &problem);
    if (written != Written::Failed)
        return written;
    // The text the file could not take is copied for recovery right away, in case the program
    // does not live to the next try: the user is told where it is safe.
    DurableFile::Failure copyFailure;
    // Tried again every few seconds while the failure lasts: an unchanged note is copied once.
    if (edited(n) && !m_copyCurrent[static_cast<size_t>(n - 1)]) {
        if (bytes.isNull())
            bytes = m_notes.bytes(n);
        m_snapshots.waitForDone();
        ++(*m_copyGeneration)[static_cast<size_t>(n - 1)]; // any copy still due is older
        stopRecoveryTimers(n);
        copyFailure = m_recovery.save(n, bytes);
        m_copyCurrent[static_cast<size_t>(n - 1)] = !copyFailure;
        if (copyFailure)
            qCWarning(lcSafety) << "recovery copy of note" << n
                                << "could not be written:" << copyFailure.detail;
        // The notice of the failed save tells of the copy too.
        emit noticeOver(QStringLiteral("recovery %1").arg(n));
    }
    if (why) {
        *why = failure
                   ? WriteFailureText::noteNotSaved(failure, m_notes.caption(n), m_notes.directory(), copyFailure)
                   : QStringLiteral("\"%1\" was not saved: %2. %3")
                         .arg(m_notes.caption(n), problem, WriteFailureText::whereSafe(copyFailure));
    }
    return Written::Failed;
}

NoteSafety::Written NoteSafety::tryWrite(int n, Mode mode, QByteArray *bytesOut,
                                         DurableFile::Failure *failure, QString *problem)
{
    const QString path = m_notes.path(n);
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        // Noticed here before the next poll: the watcher tells the user, once.
        m_watcher.checkNow();
        if (mode == Mode::Interactive && m_away)
            return Written::Deferred;
        *failure = DurableFile::folderProblem(QFileInfo(path).absolutePath());
        if (!*failure)
            *failure = DurableFile::Failure::fromErrno(ENOENT);
        return Written::Failed;
    }

    // What the file holds right now, checked against what we loaded or wrote last. Another
    // machine writing in the moment between this check and our write goes unnoticed; file
    // systems offer no lock that works across network drives, and the window is milliseconds.
    const bool ours = edited(n);
    const bool unreadable = m_files.isUnreadable(n);
    QByteArray previous;
    const bool hadFile = QFileInfo(path).isFile();
    // At shutdown a note nobody changed here is left as its file is, whatever happened to that
    // file elsewhere: there is no need to read it first, and exit does not wait on a big note.
    if (mode == Mode::Shutdown && !ours && (hadFile || unreadable))
        return Written::Unchanged;
    if (hadFile && !unreadable && !readFile(m_storage(n), path, &previous)) {
        // Perhaps being written elsewhere right now: never replace what we could not compare.
        *problem = QStringLiteral("its file could not be read to compare it with your text");
        return Written::Failed;
    }
    const bool theirs = hadFile && !unreadable &&
                        !m_watcher.knownState(n).sameContentAs(NoteDiskState::ofContent(previous, {}));

    // A note nobody changed here stays as its file is, byte for byte: re-encoding it would drop
    // whatever our reader does not keep. A file we could not read is never replaced by an empty
    // note. A file removed elsewhere gets our text back; it is all that is left of the note.
    if (!ours && ((hadFile && !theirs) || unreadable))
        return Written::Unchanged;
    if (theirs && !ours) {
        // Nothing new here: their version stands, and the tab shows it from now on.
        if (mode == Mode::Interactive)
            reload(n);
        return Written::TheirsKept;
    }

    const QByteArray bytes = m_notes.bytes(n);
    *bytesOut = bytes;
    if (theirs && previous == bytes) {
        // Changed on both sides to the same text: that is simply the same note.
        nowMatchesFile(n, previous, QFileInfo(path).lastModified());
        return Written::Yes;
    }

    QString copy;
    if (theirs) {
        copy = conflictCopyPath(path, QSysInfo::machineHostName(), QDateTime::currentDateTime());
        if (const DurableFile::Failure kept = m_storage(n).write(copy, previous)) {
            // Never replace their version without keeping it.
            *problem = QStringLiteral("the version changed elsewhere could not be kept as %1 (%2)")
                           .arg(QDir::toNativeSeparators(copy), WriteFailureText::reason(kept));
            return Written::Failed;
        }
    }

    if (!m_files.save(n, bytes, path, failure))
        return Written::Failed;
    // What our own typing replaced is kept once per stretch of editing; anything else (their
    // version, text replaced by a command or a restore) is kept as it is.
    const bool editing = !theirs && !m_keepApart[static_cast<size_t>(n - 1)];
    if (hadFile && !unreadable && previous != bytes &&
        !(editing ? m_history.keepEdit(path, previous) : m_history.keep(path, previous)))
        qCWarning(lcSafety) << "earlier version of note" << n << "could not be kept in the history";
    nowMatchesFile(n, bytes, QFileInfo(path).lastModified());
    if (!copy.isEmpty()) {
        qCInfo(lcSafety) << "note" << n << "was changed elsewhere too; the other version is kept as" << copy;
        // At shutdown nothing is shown: the next start of this note set finds the copy beside
        // the note and tells it then, once.
        if (mode == Mode::Interactive)
            tellConflict(n, copy);
    }
    return Written::Yes;
}

void NoteSafety::lockChanged(int n, const QString &oldPath, const QByteArray &bytes)
{
    m_snapshots.waitForDone();
    // What is known of the other notes' files stays: a change made elsewhere is still told.
    std::array<QString, 7> paths;
    std::array<NoteDiskState, 7> known;
    for (int k = 1; k <= NoteTabs::Count; ++k) {
        paths[static_cast<size_t>(k - 1)] = m_notes.path(k);
        known[static_cast<size_t>(k - 1)] = m_watcher.knownState(k);
    }
    m_watcher.setPaths(paths);
    for (int k = 1; k <= NoteTabs::Count; ++k)
        m_watcher.setKnownState(k, known[static_cast<size_t>(k - 1)]);
    nowMatchesFile(n, bytes, QFileInfo(m_notes.path(n)).lastModified());
    if (!m_history.carryOver(oldPath, m_notes.path(n)))
        qCWarning(lcSafety) << "some earlier versions of note" << n << "stay where they were";
}

void NoteSafety::sealed(int n)
{
    m_snapshots.waitForDone();
    setSealed(n, true);
    stopRecoveryTimers(n);
    ++(*m_copyGeneration)[static_cast<size_t>(n - 1)];
    m_edited[static_cast<size_t>(n - 1)] = false;
    m_copyCurrent[static_cast<size_t>(n - 1)] = false;
    m_keepApart[static_cast<size_t>(n - 1)] = false;
}

void NoteSafety::keepFileInHistory(int n)
{
    const QString path = m_notes.path(n);
    QByteArray bytes;
    if (QFileInfo(path).isFile() && readFile(m_storage(n), path, &bytes) && !bytes.isEmpty() &&
        !m_history.keep(path, bytes))
        qCWarning(lcSafety) << "the version of note" << n << "about to be replaced could not be kept";
}

// The tab now holds exactly what the note file holds.
void NoteSafety::nowMatchesFile(int n, const QByteArray &bytes, const QDateTime &modified)
{
    m_watcher.setKnownState(n, NoteDiskState::ofContent(bytes, modified));
    m_edited[static_cast<size_t>(n - 1)] = false;
    stopRecoveryTimers(n);
    ++(*m_copyGeneration)[static_cast<size_t>(n - 1)];
    m_recovery.remove(n);
    m_copyCurrent[static_cast<size_t>(n - 1)] = false;
    m_keepApart[static_cast<size_t>(n - 1)] = false;
    emit noticeOver(QStringLiteral("recovery %1").arg(n));
}

void NoteSafety::changedElsewhere(int n)
{
    // A locked note is read afresh when it is unlocked.
    if (m_finished || m_sealed[static_cast<size_t>(n - 1)])
        return;
    // Whether the tab holds anything new is a matter of its content: New, Clear and Open clear
    // the changed flag, yet their result must not be replaced silently.
    if (edited(n)) {
        // Both sides changed: resolved at the next write, which keeps both versions.
        emit status(QStringLiteral("The note \"%1\" was also changed elsewhere; both versions "
                                   "are kept when it is saved.")
                        .arg(m_notes.caption(n)));
        return;
    }
    if (reload(n))
        emit status(QStringLiteral("The note \"%1\" was changed elsewhere and is shown as it is now.")
                        .arg(m_notes.caption(n)));
}

bool NoteSafety::reload(int n)
{
    const QString path = m_notes.path(n);
    QByteArray bytes;
    if (!QFileInfo(path).isFile()) {
        // Gone, perhaps only for the moment in which a sync program puts its new version in place:
        // that is no change here, so a save point writes nothing back. Should it stay away, the
        // text here is all that is left of it, and the shutdown writes it back. What we knew of the
        // file stays: should it come back as it was, it is the same note.
        emit status(QStringLiteral("The file of the note \"%1\" was removed elsewhere; your text "
                                   "is kept, and saved again at the end unless the file returns.")
                        .arg(m_notes.caption(n)));
        return false;
    }
    if (!readFile(m_storage(n), path, &bytes))
        return false; // perhaps still being written; the next check tries again
    const QDateTime modified = QFileInfo(path).lastModified();
    // The text the tab shows is the version just replaced (by another computer, a program, Save
    // Copy As onto this note's file): it goes to the history, as every replaced version does.
    if (!m_notes.isEmpty(n) && !m_history.keep(path, m_notes.bytes(n)))
        qCWarning(lcSafety) << "the replaced version of note" << n << "could not be kept in the history";

    emit reloading(n);
    m_notes.setText(n, bytes);
    if (!rtf::looksLikeRtf(bytes))
        dropFinalLineBreak(m_notes.document(n));
    emit reloaded(n);

    m_notes.setChanged(n, false);
    nowMatchesFile(n, bytes, modified);
    return true;
}

void NoteSafety::directoryLost()
{
    m_away = true;
    if (m_finished || m_awayTold)
        return;
    m_awayTold = true;
    emit directoryGone();
    emit notice(QStringLiteral("directory"),
                QStringLiteral("The note directory %1 cannot be reached (a network drive may be down). "
                               "You can go on working: your changes are kept and saved there as soon "
                               "as it is back.")
                    .arg(QDir::toNativeSeparators(m_notes.directory())));
}

void NoteSafety::directoryBack()
{
    m_away = false;
    m_awayTold = false;
    if (m_finished)
        return;
    emit noticeOver(QStringLiteral("directory"));
    emit directoryReturned();
    emit status(QStringLiteral("The note directory is back; your changes are saved."));
}

void NoteSafety::markReplaced(int n)
{
    m_notes.setChanged(n, true);
    if (edited(n))
        keepNextVersionApart(n);
}
