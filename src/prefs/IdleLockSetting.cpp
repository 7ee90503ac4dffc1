#include "IdleLockSetting.h"

#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

int IdleLockSetting::read(const SettingsStore &settings)
{
    const QString text =
        SettingValue::dropFinalNul(settings.GetSettingValue(SettingKey::LockAfterMinutes)).trimmed();
    bool ok = false;
    const int minutes = text.toInt(&ok);
    return ok && valid(minutes) ? minutes : DefaultMinutes;
}
