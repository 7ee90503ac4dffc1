// Second versions of a note beside it (conflict copies of a sync program, of another computer on
// a shared drive, or our own): the user is told without being interrupted, and may compare and
// merge them into the tab.
#include "NoteSafety.h"

#include "CompareMergeDialog.h"
#include "Quillbox.h"
#include "RichTextBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSysInfo>

Q_DECLARE_LOGGING_CATEGORY(lcSafety)

namespace {
const QString kCompare = QStringLiteral("Compare and merge...");

QString eventOf(const ConflictCopy &copy)
{
    return QStringLiteral("conflict ") + copy.path;
}

// Where a second version came from, as the user knows it.
QString originOf(const ConflictCopy &copy)
{
    return copy.bySyncthing ? QStringLiteral("device %1").arg(copy.device) : copy.device;
}
} // namespace

void NoteSafety::secondVersionFound(const ConflictCopy &copy)
{
    // Our own copy made in this session was told when it was made.
    if (m_finished || m_toldCopies.contains(copy.path))
        return;
    m_toldCopies.insert(copy.path);
    const QString name = QFileInfo(copy.path).fileName();
    qCInfo(lcSafety) << "note" << copy.note << "has a second version from" << originOf(copy) << "kept as"
                     << name;
    m_window.showNotice(eventOf(copy),
                        QStringLiteral("The note \"%1\" was changed here and on %2 at the same time. The "
                                       "other version is kept beside it as %3.")
                            .arg(m_caption(copy.note), originOf(copy), name),
                        kCompare, [this, copy] { compareAndMerge(copy); });
}

void NoteSafety::tellConflict(int n, const QString &copyPath)
{
    std::optional<ConflictCopy> copy = ConflictCopy::fromPath(copyPath);
    const QString text =
        QStringLiteral("The note \"%1\" was changed here and elsewhere (another computer or program) at the "
                       "same time. Both versions are kept:\nYours: %2\nThe other: %3")
            .arg(m_caption(n), QDir::toNativeSeparators(m_window.notePath(n)),
                 QDir::toNativeSeparators(copyPath));
    m_toldCopies.insert(copyPath);
    if (!copy) {
        m_window.showNotice(QStringLiteral("conflict ") + copyPath, text);
        return;
    }
    m_window.showNotice(eventOf(*copy), text, kCompare, [this, c = *copy] { compareAndMerge(c); });
}

void NoteSafety::compareAndMerge(const ConflictCopy &copy)
{
    QFile file(copy.path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Merged or taken away meanwhile (perhaps on the other computer): nothing left to do.
        m_window.dismissNotice(eventOf(copy));
        m_window.showStatus(
            QStringLiteral("The other version %1 is no longer there.").arg(QFileInfo(copy.path).fileName()));
        return;
    }
    const QByteArray theirs = file.readAll();
    const int n = copy.note;
    const QString from = originOf(copy);
    auto *dialog = new CompareMergeDialog(m_caption(n), m_window.editor(n)->TextRTF(), theirs,
                                          copy.savedBy(QSysInfo::machineHostName()), copy.when, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CompareMergeDialog::chosen, this, [this, copy, theirs, from](MergeChoice choice) {
        const int n = copy.note;
        // The tab shows the merge as an edit of the user's: saved at the next save point.
        if (mergeIntoNote(m_window.editor(n), theirs, choice, from))
            m_window.setNoteChanged(n, true);
        if (!QFileInfo::exists(copy.path)) {
            // Already merged from another Compare and Merge window.
            m_window.dismissNotice(eventOf(copy));
            return;
        }
        if (!moveIntoHistory(m_history, m_window.notePath(n), copy)) {
            qCWarning(lcSafety) << "the second version" << QFileInfo(copy.path).fileName()
                                << "could not be moved into the history";
            m_window.showStatus(QStringLiteral("The other version could not be moved into the note's "
                                               "history; it stays beside the note as %1.")
                                    .arg(QFileInfo(copy.path).fileName()));
            return;
        }
        m_window.dismissNotice(eventOf(copy));
        m_window.showStatus(QStringLiteral("The other version of \"%1\" is merged; it is kept in the note's "
                                           "history (File > Note History...).")
                                .arg(m_caption(n)));
    });
    dialog->open();
}
