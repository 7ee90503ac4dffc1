#include "AutoCompletionCommands.h"
#include "AutoCompletionHooks.h"
#include "Platform.h"
#include "Quillbox.h"
#include "Wiring.h"

#include <QAction>
#include <QCursor>
#include <QObject>

#include <memory>

namespace {

// Keeps the window's auto-completion commands alive as long as the window, and signs off from
// the service when the window goes, should the shutdown sequence not have done it already.
class AutoCompletionHolder final : public QObject
{
public:
    explicit AutoCompletionHolder(Quillbox &window)
        : QObject(&window), m_commands(window.settings(), *window.platform().launcher)
    {
        setObjectName(QStringLiteral("autoCompletionHolder"));
    }
    ~AutoCompletionHolder() override { m_commands.shutDown(); }

    AutoCompletionCommands &commands() { return m_commands; }

private:
    AutoCompletionCommands m_commands;
};

AutoCompletionHolder *holderOf(Quillbox &window)
{
    return window.findChild<AutoCompletionHolder *>(QStringLiteral("autoCompletionHolder"),
                                                    Qt::FindDirectChildrenOnly);
}

} // namespace

void wireAutoCompletion(Quillbox &window)
{
    if (holderOf(window))
        return;
    auto *holder = new AutoCompletionHolder(window);
    AutoCompletionCommands &commands = holder->commands();

    QAction *toggle = window.menuItem(QStringLiteral("autocompletion"));
    const bool on = commands.startUp();
    if (toggle) {
        toggle->setCheckable(true);
        toggle->setChecked(on);
        // triggered, not toggled: only the user's flip stores the choice.
        QObject::connect(toggle, &QAction::triggered, holder,
                         [holder](bool checked) { holder->commands().setEnabled(checked); });
    }

    if (QAction *setup = window.menuItem(QStringLiteral("setupautocompletion"))) {
        QObject::connect(setup, &QAction::triggered, holder,
                         [holder, &window] { holder->commands().setup(&window, QCursor::pos()); });
    }
}

void unregisterAutoCompletion(Quillbox &window)
{
    if (AutoCompletionHolder *holder = holderOf(window))
        holder->commands().shutDown();
}
