#include "RunDialog.h"
#include "Launchers.h"
#include "NoteTextLauncher.h"
#include "Platform.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "Wiring.h"

#include <QAction>
#include <QPointer>

#include <memory>

namespace {

// Connects a menu item and the matching command-toolbar button to one command; the window may
// not offer every item (the toolbar is optional), so a missing one is passed over.
template<typename Command>
void onTriggered(Quillbox &window, const QString &menuItem, const QString &button, Command command)
{
    QAction *item = window.menuItem(menuItem);
    QAction *key = window.commandButton(button);
    if (item)
        QObject::connect(item, &QAction::triggered, &window, command);
    if (key && key != item) // one shared action must not launch twice
        QObject::connect(key, &QAction::triggered, &window, command);
}

} // namespace

void wireLaunching(Quillbox &window)
{
    Platform &platform = window.platform();
    if (!platform.launcher || !platform.keys)
        return;

    auto *launchers = new Launchers(window.settings(), *platform.launcher, *platform.keys, &window);
    QPointer<Quillbox> windowGuard(&window);
    launchers->setOpenSetup([windowGuard] {
        // The Setup dialog is opened by its own menu item, whoever wired it.
        if (windowGuard) {
            if (QAction *setup = windowGuard->menuItem(QStringLiteral("set")))
                setup->trigger();
        }
    });
    launchers->setShowStatus([windowGuard](const QString &message) {
        if (windowGuard)
            windowGuard->showStatus(message);
    });

    onTriggered(window, QStringLiteral("browser"), QStringLiteral("Web"), [launchers, &window] {
        launchers->LaunchBrowser(&window);
    });
    onTriggered(window, QStringLiteral("emailprogram"), QStringLiteral("EMail"), [launchers, &window] {
        launchers->LaunchEmailProgram(&window);
    });
    onTriggered(window, QStringLiteral("dialer"), QStringLiteral("Dialer"), [launchers] { launchers->LaunchDialer(); });
    onTriggered(window, QStringLiteral("dosprompt"), QStringLiteral("DOS"),
                [launchers] { launchers->LaunchCommandPrompt(); });
    onTriggered(window, QStringLiteral("calc"), QStringLiteral("Calc"),
                [launchers] { launchers->LaunchCalculatorProgram(); });

    // One Run dialog at a time: Cancel hides it with its text, Run ends it.
    auto runDialog = std::make_shared<QPointer<RunDialog>>();
    onTriggered(window, QStringLiteral("Run"), QStringLiteral("Run"), [runDialog, &window] {
        if (!*runDialog)
            *runDialog = new RunDialog(*window.platform().launcher, &window);
        RunDialog *dialog = *runDialog;
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    });

    auto noteLauncher = std::make_shared<NoteTextLauncher>(*launchers);
    for (int tab = 1; tab <= 7; ++tab) {
        RichTextBox *box = window.editor(tab);
        if (!box)
            continue;
        QObject::connect(box, &RichTextBox::DblClick, launchers, [noteLauncher, windowGuard, box, tab] {
            noteLauncher->launchFromNote(windowGuard, *box, tab);
        });
    }
}
