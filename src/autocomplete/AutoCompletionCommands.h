#pragma once

#include "UasBridge.h"

#include <QPoint>

class Launcher;
class QWidget;
class SettingsStore;

// What the program does with the auto-completion service: register at start-up unless the user
// turned it off, the "&AutoCompletion" toggle, "Setup &AutoCompletion..." and the sign-off at
// shutdown. The window only passes the check mark and the pointer position in.
class AutoCompletionCommands final
{
public:
    AutoCompletionCommands(SettingsStore &settings, Launcher &launcher, UasBridge bridge = UasBridge());

    // Registers unless "AutoCompletion" says "No" (any letter case, blanks around it); a missing
    // value means on. Returns whether the "&AutoCompletion" check mark stays set.
    bool startUp();

    // The user flipped the check mark to `on`: the choice is stored first, so it holds even when
    // the service is not there, then we register or sign off.
    void setEnabled(bool on);

    // Shows the service's setup window at the pointer, starting the service if need be; when it
    // is not installed, offers to open the download page. Never registers.
    void setup(QWidget *parent, QPoint pointer);

    // Signs off from the service whatever the setting says; at most once, later calls do nothing.
    void shutDown();

    const UasBridge &bridge() const { return m_bridge; }

private:
    SettingsStore &m_settings;
    Launcher &m_launcher;
    UasBridge m_bridge;
    bool m_signedOff = false;
};
