#include "EditingSession.h"
#include "FindReplaceDialog.h"
#include "NoteSet.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SearchAllNotesDialog.h"
#include "Wiring.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QMenu>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>

namespace {

EditorAccess accessTo(Quillbox &window)
{
    EditorAccess access;
    // A note still being read has no text to format or edit yet: the commands leave it alone.
    access.active = [&window] { return window.loadedEditor(window.activeNote()); };
    access.shown = [&window]() -> RichTextBox * {
        for (int n = 1; n <= 7; ++n)
            if (window.isPanelVisible(n))
                return window.loadedEditor(n);
        return nullptr;
    };
    access.focusShown = [&window] { window.FocusVisibleEditor(); };
    return access;
}

// Menu items and command-toolbar buttons may be missing while the window is being built.
template <typename F> void onTriggered(QAction *action, QObject *context, F f)
{
    if (action)
        QObject::connect(action, &QAction::triggered, context, f);
}

void openSearchAllNotes(Quillbox &window)
{
    SearchAllNotesDialog::Hooks hooks;
    hooks.shownNotes = [&window] {
        QList<SearchAllNotesDialog::ShownNote> notes;
        QTabBar *strip = window.tabStrip();
        for (int i = 0; i < strip->count(); ++i) {
            const int n = strip->tabData(i).toInt();
            if (window.notes().isSealed(n))
                notes.append({n, window.noteCaption(n), nullptr});
            else if (RichTextBox *box = window.editor(n))
                notes.append({n, window.noteCaption(n), box->document()});
        }
        return notes;
    };
    hooks.goTo = [&window](int note, int position, int length) {
        QTabBar *strip = window.tabStrip();
        for (int i = 0; i < strip->count(); ++i)
            if (strip->tabData(i).toInt() == note)
                strip->setCurrentIndex(i);
        RichTextBox *box = window.editor(note);
        if (!box || window.activeNote() != note)
            return false;
        box->setSelStart(position);
        box->setSelLength(length);
        box->ensureCursorVisible();
        window.activateWindow();
        box->setFocus();
        return true;
    };
    SearchAllNotesDialog::open(&window, std::move(hooks));
}

} // namespace

void wireEditing(Quillbox &window)
{
    QList<RichTextBox *> editors;
    for (int n = 1; n <= 7; ++n)
        if (RichTextBox *box = window.editor(n))
            editors.append(box);
    auto *session = new EditingSession(accessTo(window), editors, &window.settings(), &window);
    session->setEditMenu(window.menu(QStringLiteral("editmnu")));

    FormatToolbarController &toolbar = session->toolbar();
    for (const char *key :
         {"Bold", "Italic", "Underline", "Align Left", "Center", "Align Right", "FPt", "Bullets"}) {
        const QString k = QString::fromLatin1(key);
        QAction *button = window.formatButton(k);
        toolbar.setButton(k, button);
        onTriggered(button, &toolbar, [&toolbar, k] { toolbar.click(k); });
    }
    toolbar.setFontBoxes(window.fontNameBox(), window.fontSizeBox());

    FontBoxes &fonts = session->fonts();
    fonts.setBoxes(window.fontNameBox(), window.fontSizeBox());
    // Filled once, by start-up after the notes are loaded, from the font of the first note (when
    // it is in already: a big first note still being read is not waited for).
    QObject::connect(&window, &Quillbox::fontBoxesWanted, &fonts, [&fonts, &window] {
        fonts.fill(QFontDatabase::families(), window.loadedEditor(1));
        // Setting the first note's typing font is not the user's edit: Undo starts empty.
        if (RichTextBox *first = window.loadedEditor(1))
            first->document()->clearUndoRedoStacks();
    });

    EditCommands &commands = session->commands();
    const auto item = [&window](const char *name) { return window.menuItem(QString::fromLatin1(name)); };
    const auto button = [&window](const char *key) { return window.commandButton(QString::fromLatin1(key)); };
    onTriggered(item("EditSelectAll"), &commands, [&commands] { commands.selectAll(); });
    for (QAction *a : {item("copy"), button("Copy")})
        onTriggered(a, &commands, [&commands] { commands.copy(); });
    for (QAction *a : {item("cut"), button("Cut")})
        onTriggered(a, &commands, [&commands] { commands.cut(); });
    for (QAction *a : {item("paste"), button("Paste")})
        onTriggered(a, &commands, [&commands] { commands.paste(); });
    onTriggered(item("pasteplain"), &commands, [&commands] { commands.pastePlainText(); });
    for (QAction *a : {item("Insert"), button("InsertTime")})
        onTriggered(a, &commands, [&commands] { commands.insertDateAndTime(); });
    for (QAction *a : {item("font"), button("Font")})
        onTriggered(a, &fonts, [&fonts] { fonts.fontDialog(); });
    onTriggered(item("boldmnu"), &fonts, [&fonts] { fonts.toggleBold(); });
    onTriggered(item("italicmnu"), &fonts, [&fonts] { fonts.toggleItalic(); });
    onTriggered(item("underlinemnu"), &fonts, [&fonts] { fonts.toggleUnderline(); });
    onTriggered(item("setdefaultfont"), &fonts, [&fonts] { fonts.setFontAsDefault(); });

    for (const char *name : {"undo", "redo"}) {
        QAction *action = item(name);
        if (!action)
            continue;
        const bool undo = qstrcmp(name, "undo") == 0;
        onTriggered(action, &commands, [&commands, undo] { undo ? commands.undo() : commands.redo(); });
        // Enabled as the history of the note being edited allows, also in the context menu.
        // With every tab hidden there is no note to act on.
        const auto refresh = [&window, &commands, action, undo] {
            action->setEnabled(window.tabStrip()->count() > 0 &&
                               (undo ? commands.canUndo() : commands.canRedo()));
        };
        for (RichTextBox *box : std::as_const(editors)) {
            QObject::connect(box, undo ? &QTextEdit::undoAvailable : &QTextEdit::redoAvailable, action,
                             refresh);
            QObject::connect(box, &RichTextBox::Change, action, refresh);
        }
        QObject::connect(&window, &Quillbox::activeNoteChanged, action, refresh);
        refresh();
    }
    // The menus' keys win over the same keys of the note boxes (Shift+Del is "&Clear Text").
    const auto menuTakes = [&window](const QKeySequence &key) {
        for (const char *name : {"Filemnu", "editmnu", "apps", "help"}) {
            const QMenu *menu = window.menu(QString::fromLatin1(name));
            if (!menu)
                continue;
            for (const QAction *action : menu->actions())
                if (action->isEnabled() && action->isVisible() && action->shortcuts().contains(key))
                    return true;
        }
        return false;
    };
    for (RichTextBox *box : std::as_const(editors))
        box->setWindowShortcutTest(menuTakes);

    const auto openFind = [&window] {
        FindReplaceDialog::open(&window, [&window] { return window.editorInView(); });
    };
    onTriggered(item("find"), &window, openFind);
    // From the note, the last search again; with none yet, the dialog to start one.
    for (const bool backward : {false, true})
        onTriggered(item(backward ? "findprevious" : "findnext"), &window, [&window, openFind, backward] {
            const FindReplace::Search last = FindReplaceDialog::lastSearch();
            if (last.what.isEmpty())
                openFind();
            else if (!FindReplace::findAgain(window.editorInView(), last, backward))
                QApplication::beep();
        });
    onTriggered(item("searchall"), &window, [&window] { openSearchAllNotes(window); });
    onTriggered(button("Find and Replace"), &window, openFind);
}
