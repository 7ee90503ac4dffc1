#include "StartupPassword.h"

#include "Dialogs.h"
#include "PasswordRecord.h"
#include "PrefsLog.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

namespace {
const QString kTitle = QStringLiteral("Quillbox Plus - Password Protection");
}

bool startupPasswordSet(const SettingsStore &settings)
{
    return !PasswordRecord::extract(settings.GetSettingValue(SettingKey::Password)).isEmpty();
}

bool askStartupPassword(SettingsStore &settings, QWidget *parent)
{
    const QString stored = settings.GetSettingValue(SettingKey::Password);
    if (stored.trimmed().isEmpty())
        return true;

    const QString password = PasswordRecord::extract(stored);
    if (password.isEmpty()) {
        qCWarning(lcPrefs) << "the stored password record is damaged; starting without a password";
        return true;
    }

    // The box masks what is typed: the password must not show to anyone looking at the screen.
    const QStringList prompts{QStringLiteral("Please Enter Your Password."),
                              QStringLiteral("That Password Was Incorrect; Please Enter Your Password.")};
    for (const QString &prompt : prompts) {
        if (PasswordRecord::matches(Dialogs::input(parent, kTitle, prompt, /*masked*/ true), password))
            return true;
    }
    qCInfo(lcPrefs) << "two wrong answers to the start-up password";
    return false;
}
