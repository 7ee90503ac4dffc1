#include "AutoCompletionCommands.h"

#include "Dialogs.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

AutoCompletionCommands::AutoCompletionCommands(SettingsStore &settings, Launcher &launcher, UasBridge bridge)
    : m_settings(settings), m_launcher(launcher), m_bridge(std::move(bridge))
{
}

bool AutoCompletionCommands::startUp()
{
    const QString value = SettingValue::upperTrimmed(m_settings.GetSettingValue(SettingKey::AutoCompletion));
    if (value == QLatin1String("NO"))
        return false;
    m_bridge.RegisterWithUAS();
    return true;
}

void AutoCompletionCommands::setEnabled(bool on)
{
    m_settings.SaveSettingValue(SettingKey::AutoCompletion,
                                on ? QStringLiteral("Yes") : QStringLiteral("No"));
    if (on) {
        m_bridge.RegisterWithUAS();
        m_signedOff = false;
    } else {
        m_bridge.UnregisterFromUAS();
    }
}

void AutoCompletionCommands::setup(QWidget *parent, QPoint pointer)
{
    if (!m_bridge.FindUASWindow() && !m_bridge.LaunchUAS()) {
        const auto answer =
            Dialogs::message(parent, QStringLiteral("Quillbox Plus"),
                             QStringLiteral("UAS is not installed! Do you wish to download it now?"),
                             QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            UasBridge::OpenUASDownloadPage(m_launcher);
        return;
    }
    m_bridge.ShowUASSetup(pointer);
}

void AutoCompletionCommands::shutDown()
{
    if (m_signedOff)
        return;
    m_signedOff = true;
    m_bridge.UnregisterFromUAS();
}
