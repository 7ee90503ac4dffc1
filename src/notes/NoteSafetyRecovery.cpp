// Crash recovery: recovery copies while typing, offering them at the next start, and what a clean
// shutdown leaves behind.
#include "NoteSafety.h"

#include "NoteDocuments.h"
#include "NoteStorage.h"
#include "NoteTab.h"
#include "NotesLog.h"
#include "ProgramPlaces.h"
#include "RecoveryCopies.h"
#include "WriteFailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void NoteSafety::noteEdited(int n)
{
    m_edited[static_cast<size_t>(n - 1)] = true;
    m_copyCurrent[static_cast<size_t>(n - 1)] = false;
    if (m_finished)
        return;
    // Not restarted by later keys: steady typing is copied every two seconds, not only once it
    // pauses.
    QTimer &timer = m_recoveryTimers[static_cast<size_t>(n - 1)];
    if (!timer.isActive())
        timer.start();
}

void NoteSafety::stopRecoveryTimers(int n)
{
    m_recoveryTimers[static_cast<size_t>(n - 1)].stop();
}

void NoteSafety::saveRecoveryCopy(int n)
{
    stopRecoveryTimers(n);
    if (m_finished || !edited(n))
        return;
    // Written beside the typing, so a slow disk or share never holds up keys; only the encoding
    // of what changed since the last copy or save waits for it.
    const auto generations = m_copyGeneration;
    const int generation = (*generations)[static_cast<size_t>(n - 1)];
    m_snapshots.write(n, m_notes.bytes(n),
                      [store = m_recovery, generations, generation, n](const QByteArray &rtf) mutable {
                          const auto current = [&] {
                              return (*generations)[static_cast<size_t>(n - 1)].load();
                          };
                          if (current() != generation)
                              return DurableFile::Failure{}; // saved meanwhile: no copy needed
                          const DurableFile::Failure failure = store.save(n, rtf);
                          // Saved while this was written: whichever side comes last removes it.
                          if (current() != generation)
                              store.remove(n);
                          return failure;
                      });
}

void NoteSafety::recoveryCopyWritten(int n, const DurableFile::Failure &failure)
{
    const QString event = QStringLiteral("recovery %1").arg(n);
    if (!failure) {
        emit noticeOver(event);
        return;
    }
    qCWarning(lcSafety) << "recovery copy of note" << n << "could not be written:" << failure.detail;
    // Told at once, while the user can still save the note or make room: at exit would be late.
    if (!m_finished && edited(n))
        emit notice(event, WriteFailureText::recoveryCopyFailed(failure, m_notes.caption(n), m_recovery.folder()));
}

void NoteSafety::dropRecoveryCopies()
{
    m_snapshots.waitForDone();
    m_recovery.removeAll();
    m_copyCurrent.fill(false);
}

QList<NoteSafety::Offer> NoteSafety::recoveryOffers()
{
    // Earlier versions kept one list of conflict copies for all the user's note sets; each copy
    // is told by the note set it lies in, when the watcher finds it beside its note.
    QFile::remove(ProgramPlaces::userDataDirectory() + QStringLiteral("/conflict-copies.txt"));
    // Second versions left beside the notes (one kept as the program last closed, too) are told
    // now rather than at the first poll.
    m_watcher.checkNow();

    const QList<RecoveryStore::Entry> entries =
        m_recovery.newerThanNotes([this](int n) { return m_notes.path(n); });
    std::array<bool, 7> newer{};
    QList<Offer> offers;
    for (const RecoveryStore::Entry &entry : entries) {
        newer[static_cast<size_t>(entry.note - 1)] = true;
        const QByteArray bytes = m_recovery.read(entry.note);
        if (!bytes.isEmpty())
            offers.append({entry.note, entry.saved, bytes});
    }
    // Copies older than their notes were overtaken by a later write.
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!newer[static_cast<size_t>(n - 1)] && !edited(n))
            m_recovery.remove(n);
    }
    return offers;
}

void NoteSafety::restoreRecovery(const Offer &offer)
{
    m_notes.setText(offer.note, offer.bytes);
    markReplaced(offer.note); // the copy stays until the note is written
}

void NoteSafety::declineRecovery(const Offer &offer)
{
    // Declined, yet not thrown away: it stays reachable in the note's history.
    m_history.keep(m_notes.path(offer.note), offer.bytes, offer.saved);
    m_recovery.remove(offer.note);
}

void NoteSafety::restoreKeptCopies(const QStringList &copies)
{
    QStringList restored;
    QStringList left;
    for (const QString &copy : copies) {
        const int n = RecoveryCopies::noteOf(copy);
        const QFileInfo copyFile(copy);
        if (n == 0 || !copyFile.isFile())
            continue;
        const QFileInfo noteFile(m_notes.path(n));
        // A note file written after the copy (on another computer, say) is the newer text.
        const std::optional<QByteArray> bytes =
            noteFile.isFile() && noteFile.lastModified() > copyFile.lastModified() ? std::nullopt
                                                                                  : m_storage(n).read(copy);
        if (!bytes) {
            left << QDir::toNativeSeparators(copy);
            continue;
        }
        m_notes.setText(n, *bytes);
        markReplaced(n);
        noteEdited(n);
        restored << QStringLiteral("\"%1\" from %2").arg(m_notes.caption(n), QDir::toNativeSeparators(copy));
    }
    QStringList told;
    if (!restored.isEmpty()) {
        told << QStringLiteral("When Quillbox Plus last closed, these notes could not be saved to the note "
                               "directory; their text was kept in \"Recovered notes\" and is back in its "
                               "tab, to be saved at the next chance: %1.")
                    .arg(restored.join(QStringLiteral(", ")));
    }
    if (!left.isEmpty()) {
        told << QStringLiteral("Copies kept in \"Recovered notes\" when Quillbox Plus last closed are older "
                               "than their notes and were left as they are: %1.")
                    .arg(left.join(QStringLiteral(", ")));
    }
    if (!told.isEmpty())
        emit notice(QStringLiteral("recovered notes"), told.join(QLatin1Char(' ')));
}

void NoteSafety::finish(const std::array<bool, 7> &safe)
{
    m_finished = true;
    m_snapshots.waitForDone();
    bool allSafe = true;
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        stopRecoveryTimers(n);
        if (safe[static_cast<size_t>(n - 1)])
            m_recovery.remove(n);
        else
            allSafe = false;
    }
    // Only this note set's copies: another program of the user may have left its own.
    if (allSafe)
        m_recovery.removeAll();
}

QString NoteSafety::keepInRecoveredNotes(int n)
{
    const QString copy = RecoveryCopies::pathFor(QFileInfo(m_notes.path(n)).fileName());
    // In full or not at all: a copy cut off by a full disk must not pass for the note.
    if (const DurableFile::Failure failure = m_storage(n).write(copy, m_notes.bytes(n))) {
        qCWarning(lcSafety) << "could not write" << copy << failure.detail;
        return {};
    }
    return copy;
}
