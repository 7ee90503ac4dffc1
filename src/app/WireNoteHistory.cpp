#include "CompareMergeDialog.h"
#include "NoteHistoryDialog.h"
#include "NoteSet.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "Wiring.h"

#include <QAction>
#include <QFileInfo>
#include <QSysInfo>

namespace {

QString eventOf(const ConflictCopy &copy)
{
    return QStringLiteral("conflict ") + copy.path;
}

// The tab's text and the second version side by side; what the user chooses goes into the tab,
// and the second version into the note's history.
void compareAndMerge(Quillbox &window, const ConflictCopy &copy)
{
    NoteSet &notes = window.notes();
    const std::optional<QByteArray> theirs = notes.secondVersion(copy);
    if (!theirs) {
        // Merged or taken away meanwhile (perhaps on the other computer): nothing left to do.
        window.dismissNotice(eventOf(copy));
        window.showStatus(
            QStringLiteral("The other version %1 is no longer there.").arg(QFileInfo(copy.path).fileName()));
        return;
    }
    const int n = copy.note;
    auto *dialog = new CompareMergeDialog(window.noteCaption(n), notes.bytes(n), *theirs,
                                          copy.savedBy(QSysInfo::machineHostName()), copy.when, &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &CompareMergeDialog::chosen, &window,
                     [&window, copy, theirs = *theirs](MergeChoice choice) {
                         NoteSet &notes = window.notes();
                         const int n = copy.note;
                         // The tab shows the merge as an edit of the user's: saved at the next save point.
                         if (mergeIntoNote(window.editor(n), theirs, choice, copy.origin()))
                             notes.markReplaced(n);
                         if (!QFileInfo::exists(copy.path)) {
                             // Already merged from another Compare and Merge window.
                             window.dismissNotice(eventOf(copy));
                             return;
                         }
                         if (!notes.takeIntoHistory(copy)) {
                             window.showStatus(QStringLiteral("The other version could not be moved into the "
                                                              "note's history; it stays beside the note as %1.")
                                                   .arg(QFileInfo(copy.path).fileName()));
                             return;
                         }
                         window.dismissNotice(eventOf(copy));
                         window.showStatus(QStringLiteral("The other version of \"%1\" is merged; it is kept in "
                                                          "the note's history (File > Note History...).")
                                               .arg(window.noteCaption(n)));
                     });
    dialog->open();
}

} // namespace

void wireNoteHistory(Quillbox &window)
{
    // A second version of a note is told above the note, with the offer to compare and merge it.
    QObject::connect(&window.notes(), &NoteSet::conflict, &window,
                     [&window](const ConflictCopy &copy, const QString &text) {
                         window.showNotice(eventOf(copy), text, QStringLiteral("Compare and merge..."),
                                           [&window, copy] { compareAndMerge(window, copy); });
                     });
    QAction *item = window.menuItem(QStringLiteral("notehistory"));
    if (!item)
        return;
    QObject::connect(item, &QAction::triggered, &window, [&window] {
        const int n = window.activeNote();
        // Opened, not run: nothing waits on it, and it goes away with the window.
        auto *dialog =
            new NoteHistoryDialog(window.noteHistory(), window.notePath(n), window.noteCaption(n), &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &NoteHistoryDialog::restoreRequested, &window,
                         [&window, n](const QByteArray &rtf) {
                             restoreNoteVersion(window.editor(n), rtf);
                             window.setNoteChanged(n, true);
                         });
        dialog->open();
    });
}
