#include "HotKeyControl.h"
#include "Platform.h"
#include "PreferencesTarget.h"
#include "Quillbox.h"
#include "SetupDialog.h"
#include "Wiring.h"

#include <QAction>
#include <QPointer>

namespace {

// Hands what the Setup dialog applies on to the main window. The dialog has no owner and may
// outlive the window at shutdown, so it holds this and not the window itself.
class WindowPreferencesTarget final : public PreferencesTarget
{
public:
    explicit WindowPreferencesTarget(Quillbox &window) : m_window(&window) {}
    void setLockAfterMinutes(int minutes) override { emit m_window->lockAfterMinutesChanged(minutes); }

    void rebuildTabStrip(const std::array<TabPreference, 7> &tabs) override
    {
        if (!m_window)
            return;
        std::array<TabChoice, 7> choices;
        for (std::size_t i = 0; i < tabs.size(); ++i)
            choices[i] = TabChoice{tabs[i].shown, tabs[i].caption};
        m_window->rebuildTabStrip(choices);
    }
    void setSoundOff(bool off) override
    {
        if (m_window)
            m_window->setSoundOff(off);
    }
    void setLaunchCommandsVisible(bool visible) override
    {
        if (m_window)
            m_window->setLaunchCommandsVisible(visible);
    }
    void changeNoteDirectory(const QString &dir) override
    {
        if (m_window)
            m_window->changeNoteDirectory(dir);
    }
    void selectFirstTab() override
    {
        if (m_window)
            m_window->switchToFirstTab();
    }
    void setHotKey(const QString &key) override
    {
        if (!m_window)
            return;
        if (auto *control = m_window->findChild<HotKeyControl *>(QStringLiteral("hotKeyControl")))
            control->apply(key);
    }

private:
    QPointer<Quillbox> m_window;
};

} // namespace

void wirePreferences(Quillbox &window)
{
    auto target = std::make_shared<WindowPreferencesTarget>(window);
    auto open = std::make_shared<QPointer<SetupDialog>>();
    Quillbox *w = &window;

    // One dialog at a time: a second request brings the open one forward.
    const auto openSetup = [w, target, open] {
        if (!*open) {
            *open = new SetupDialog(w->settings(), w->platform().launcher.get(), target);
            (*open)->show();
        }
        (*open)->raise();
        (*open)->activateWindow();
    };

    // The menu item also serves the launchers' setup prompt, which triggers it.
    QAction *menuItem = window.menuItem(QStringLiteral("set"));
    QAction *button = window.commandButton(QStringLiteral("Setup"));
    if (menuItem)
        QObject::connect(menuItem, &QAction::triggered, &window, openSetup);
    if (button && button != menuItem)
        QObject::connect(button, &QAction::triggered, &window, openSetup);

    // The dialog has no owner; it goes with the window.
    QObject::connect(&window, &QObject::destroyed, [open] { delete open->data(); });
}
