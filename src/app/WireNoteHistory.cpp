#include "NoteHistoryDialog.h"
#include "Quillbox.h"
#include "Wiring.h"

#include <QAction>

void wireNoteHistory(Quillbox &window)
{
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
