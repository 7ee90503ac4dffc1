#include "EditingSession.h"
#include "FindReplaceDialog.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "Wiring.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QMenu>
#include <QTimer>

namespace {

EditorAccess accessTo(Quillbox &window)
{
    EditorAccess access;
    access.active = [&window] { return window.ActiveEditor(); };
    access.shown = [&window]() -> RichTextBox * {
        for (int n = 1; n <= 7; ++n)
            if (window.isPanelVisible(n))
                return window.editor(n);
        return nullptr;
    };
    access.focusShown = [&window] { window.FocusVisibleEditor(); };
    return access;
}

// Menu items and command-toolbar buttons may be missing while the window is being built.
template <typename F>
void onTriggered(QAction *action, QObject *context, F f)
{
    if (action)
        QObject::connect(action, &QAction::triggered, context, f);
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
    for (const char *key : {"Bold", "Italic", "Underline", "Align Left", "Center", "Align Right",
                            "FPt", "Bullets"}) {
        const QString k = QString::fromLatin1(key);
        QAction *button = window.formatButton(k);
        toolbar.setButton(k, button);
        onTriggered(button, &toolbar, [&toolbar, k] { toolbar.click(k); });
    }
    toolbar.setFontBoxes(window.fontNameBox(), window.fontSizeBox());

    FontBoxes &fonts = session->fonts();
    fonts.setBoxes(window.fontNameBox(), window.fontSizeBox());
    if (QComboBox *name = window.fontNameBox())
        QObject::connect(name, &QComboBox::activated, &fonts, &FontBoxes::nameClicked);
    if (QComboBox *size = window.fontSizeBox())
        QObject::connect(size, &QComboBox::activated, &fonts, &FontBoxes::sizeClicked);
    // Filled once the notes are loaded, from the font of the first note.
    QTimer::singleShot(0, &fonts, [&fonts, &window] {
        fonts.fill(QFontDatabase::families(), window.editor(1));
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
    for (QAction *a : {item("Insert"), button("InsertTime")})
        onTriggered(a, &commands, [&commands] { commands.insertDateAndTime(); });
    for (QAction *a : {item("font"), button("Font")})
        onTriggered(a, &fonts, [&fonts] { fonts.fontDialog(); });
    onTriggered(item("boldmnu"), &fonts, [&fonts] { fonts.toggleBold(); });
    onTriggered(item("italicmnu"), &fonts, [&fonts] { fonts.toggleItalic(); });
    onTriggered(item("underlinemnu"), &fonts, [&fonts] { fonts.toggleUnderline(); });
    onTriggered(item("setdefaultfont"), &fonts, [&fonts] { fonts.setFontAsDefault(); });

    const auto openFind = [&window] {
        FindReplaceDialog::open(&window, [&window] { return window.ActiveEditor(); });
    };
    onTriggered(item("find"), &window, openFind);
    onTriggered(button("Find and Replace"), &window, openFind);
}
