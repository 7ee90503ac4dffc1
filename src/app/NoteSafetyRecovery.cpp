// Crash recovery: recovery copies while typing, offering them at the next start, and what a clean
// shutdown leaves behind.
#include "NoteSafety.h"

#include "Dialogs.h"
#include "NoteTab.h"
#include "ProgramPlaces.h"
#include "Quillbox.h"
#include "RecoveryCopies.h"
#include "RichTextBox.h"
#include "WriteFailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSafety)

namespace {
const QString kTitle = QStringLiteral("Quillbox Plus");
} // namespace

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
    m_snapshots.write(n, m_window.editor(n)->TextRTF(),
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
        m_window.dismissNotice(event);
        return;
    }
    qCWarning(lcSafety) << "recovery copy of note" << n << "could not be written:" << failure.detail;
    // Told at once, while the user can still save the note or make room: at exit would be late.
    if (!m_finished && edited(n))
        m_window.showNotice(event,
                            WriteFailureText::recoveryCopyFailed(failure, m_caption(n), m_recovery.folder()));
}

void NoteSafety::dropRecoveryCopies()
{
    m_snapshots.waitForDone();
    m_recovery.removeAll();
    m_copyCurrent.fill(false);
}

void NoteSafety::offerRecovery()
{
    // Earlier versions kept one list of conflict copies for all the user's note sets; each copy
    // is told by the note set it lies in, when the watcher finds it beside its note.
    QFile::remove(ProgramPlaces::userDataDirectory() + QStringLiteral("/conflict-copies.txt"));
    // Second versions left beside the notes (one kept as the program last closed, too) are told
    // now rather than at the first poll.
    m_watcher.checkNow();

    const QList<RecoveryStore::Entry> entries =
        m_recovery.newerThanNotes([this](int n) { return m_window.notePath(n); });
    std::array<bool, 7> offered{};
    for (const RecoveryStore::Entry &entry : entries) {
        const int n = entry.note;
        offered[static_cast<size_t>(n - 1)] = true;
        const QByteArray bytes = m_recovery.read(n);
        if (bytes.isEmpty())
            continue;
        const auto answer = Dialogs::message(
            &m_window, kTitle,
            QStringLiteral("Quillbox Plus did not close properly last time. The tab \"%1\" holds text "
                           "from %2 that was not saved.\n\nRestore it?")
                .arg(m_caption(n), QLocale().toString(entry.saved, QLocale::ShortFormat)),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            m_window.editor(n)->setTextRTF(bytes);
            m_window.setNoteChanged(n, true);
            continue; // the copy stays until the note is written
        }
        if (answer != QMessageBox::No)
            continue; // unanswered (the program is ending): offered again at the next start
        // Declined, yet not thrown away: it stays reachable in the note's history.
        m_history.keep(m_window.notePath(n), bytes, entry.saved);
        m_recovery.remove(n);
    }
    // Copies older than their notes were overtaken by a later write.
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!offered[static_cast<size_t>(n - 1)] && !edited(n))
            m_recovery.remove(n);
    }
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
        const QFileInfo noteFile(m_window.notePath(n));
        QFile in(copy);
        // A note file written after the copy (on another computer, say) is the newer text.
        if ((noteFile.isFile() && noteFile.lastModified() > copyFile.lastModified()) ||
            !in.open(QIODevice::ReadOnly)) {
            left << QDir::toNativeSeparators(copy);
            continue;
        }
        m_window.editor(n)->setTextRTF(in.readAll());
        m_window.setNoteChanged(n, true);
        noteEdited(n);
        restored << QStringLiteral("\"%1\" from %2").arg(m_caption(n), QDir::toNativeSeparators(copy));
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
        m_window.showNotice(QStringLiteral("recovered notes"), told.join(QLatin1Char(' ')));
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
