#include "NotePrinting.h"
#include "NoteSetCommands.h"
#include "NoteWindow.h"
#include "NoteSet.h"
#include "Quillbox.h"
#include "Wiring.h"

#include <QAction>

#include <memory>

namespace {

// The main window as the note-set commands and printing see it.
class QuillboxNoteWindow final : public NoteWindow
{
public:
    explicit QuillboxNoteWindow(Quillbox &window) : m_window(window) {}

    RichTextBox *editor(int n) const override { return m_window.editor(n); }
    RichTextBox *ActiveEditor() const override { return m_window.ActiveEditor(); }
    bool isPanelVisible(int n) const override { return m_window.isPanelVisible(n); }
    void setNoteChanged(int n, bool changed) override { m_window.setNoteChanged(n, changed); }
    void FocusVisibleEditor() override { m_window.FocusVisibleEditor(); }
    QTabBar *tabStrip() const override { return m_window.tabStrip(); }
    QWidget *window() const override { return &m_window; }
    void keepBeforeReplacing(const QString &path) override { m_window.keepBeforeReplacing(path); }
    bool isSealed(int n) const override { return m_window.notes().isSealed(n); }

private:
    Quillbox &m_window;
};

struct NoteCommands
{
    explicit NoteCommands(Quillbox &window)
        : view(window), fileCommands(view, window.settings()), printing(view)
    {
    }
    QuillboxNoteWindow view;
    NoteSetCommands fileCommands;
    NotePrinting printing;
};

// A menu item and the command-toolbar button of the same command run the same code; a missing
// item (a menu not built) is simply not wired.
void connectAction(QAction *action, QObject *context, const std::function<void()> &command)
{
    if (action)
        QObject::connect(action, &QAction::triggered, context, [command] { command(); });
}

} // namespace

void wireNoteCommands(Quillbox &window)
{
    // Shared by the connections below, which live as long as the window does.
    auto commands = std::make_shared<NoteCommands>(window);

    const auto wire = [&](const QString &menuItem, const QString &buttonKey,
                          const std::function<void()> &command) {
        QAction *item = window.menuItem(menuItem);
        connectAction(item, &window, command);
        // A button that shares the menu item's action is already wired; it must not run twice.
        QAction *button = buttonKey.isEmpty() ? nullptr : window.commandButton(buttonKey);
        if (button != item)
            connectAction(button, &window, command);
    };
    wire(QStringLiteral("new"), QStringLiteral("New"), [commands] { commands->fileCommands.NewNotes(); });
    wire(QStringLiteral("open"), QStringLiteral("Open"),
         [commands] { commands->fileCommands.OpenIntoNotes(); });
    wire(QStringLiteral("saveas"), QStringLiteral("SaveAs"),
         [commands] { commands->fileCommands.SaveNotesCopy(); });
    wire(QStringLiteral("clear"), QStringLiteral("Clear"),
         [commands] { commands->fileCommands.ClearNotes(); });
    wire(QStringLiteral("print"), QStringLiteral("Print"),
         [commands] { commands->printing.PrintCurrentTab(); });
    wire(QStringLiteral("printalltext"), QString(), [commands] { commands->printing.PrintAllTabs(); });
}
