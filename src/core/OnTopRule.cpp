#include "OnTopRule.h"

#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

OnTopRule::OnTopRule(SettingsStore &settings) : m_settings(settings) {}

bool OnTopRule::readAndNormalise()
{
    const QString stored = m_settings.GetSettingValue(SettingKey::OnTop);
    const bool on = SettingValue::isYes(SettingValue::dropFinalNul(stored.trimmed()));
    const QString proper = on ? QStringLiteral("Yes") : QStringLiteral("No");
    if (stored != proper)
        m_settings.SaveSettingValue(SettingKey::OnTop, proper);
    return on;
}

void OnTopRule::store(bool on)
{
    m_settings.SaveSettingValue(SettingKey::OnTop, on ? QStringLiteral("Yes") : QStringLiteral("No"));
}
