#include "Preferences.h"

#include "AutostartEntry.h"
#include "Dialogs.h"
#include "HotKeySetting.h"
#include "IdleLockSetting.h"
#include "Launcher.h"
#include "PasswordRecord.h"
#include "PreferencesTarget.h"
#include "PrefsLog.h"
#include "ProgramPlaces.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"
#include "TabDefaults.h"
#include "WriteFailureText.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

QString yesNo(bool on)
{
    return on ? kYes : kNo;
}

QString checkValue(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Collects the outcome of every write so that a store that cannot be written is reported once,
// instead of Apply closing as if all had been saved.
class Writer final
{
public:
    explicit Writer(SettingsStore &settings) : m_settings(settings) {}

    void save(const QString &key, const QString &value)
    {
        if (!m_settings.SaveSettingValue(key, value))
            m_failed = true;
    }
    bool failed() const { return m_failed; }

private:
    SettingsStore &m_settings;
    bool m_failed = false;
};

} // namespace

QString Preferences::handlerProgram(const QString &command)
{
    const QString text = command.trimmed();
    // A quoted program path may hold blanks; cutting inside the quotes would leave a path that
    // names nothing, so the quoted part is kept whole (quotes included, as the launcher splits on them).
    if (text.startsWith(u'"')) {
        const qsizetype close = text.indexOf(u'"', 1);
        if (close > 0)
            return text.left(close + 1);
    }
    const qsizetype blank = text.indexOf(u' ');
    return blank < 0 ? text : text.left(blank);
}

PreferenceValues Preferences::read(const SettingsStore &settings, Launcher *launcher)
{
    PreferenceValues v;
    const auto value = [&settings](const QString &key) { return settings.GetSettingValue(key); };

    // Absent or blank counts as the fresh-installation state, which ticks these two boxes.
    const QString ie = value(SettingKey::IEEnhanced);
    // Only a value never written ticks the box; one of blanks is a value that says nothing.
    v.useSystemHandlers = ie.isEmpty() || SettingValue::isYes(ie);
    const QString startMin = value(SettingKey::StartMin);
    v.startMinimized = startMin.isEmpty() || SettingValue::numeric(startMin) != 0;
    v.noSplash = SettingValue::numeric(value(SettingKey::NoSplash)) != 0;
    v.noSound = SettingValue::numeric(value(SettingKey::NoSound)) != 0;
    v.showInTaskBar = value(SettingKey::ShowinTaskBar).trimmed() == kYes;
    v.hideLaunchCommands = value(SettingKey::DisplayApps).trimmed() == kYes;

    v.browser = value(SettingKey::Browser);
    v.email = value(SettingKey::EMail);
    // Empty stays empty: the "/n" switch of Windows mail programs means nothing to a mail
    // program here and would reach its command line as a stray argument.
    v.emailOptions = value(SettingKey::EmailSettings);
    v.dialer = value(SettingKey::Dialer).trimmed();

    for (int n = 1; n <= TabDefaults::count; ++n) {
        const QString name = value(SettingKey::tabCaption(n));
        v.tabNames[n - 1] = name.trimmed().isEmpty() ? TabDefaults::caption(n) : name;
        const QString shown = value(SettingKey::tabShown(n)).trimmed();
        v.tabShown[n - 1] = shown == kYes ? true : shown == kNo ? false : TabDefaults::shown(n);
    }
    v.noteDirectory = value(SettingKey::Network);
    v.hotKey = HotKeySetting::read(settings);
    v.startAtLogin = AutostartEntry::exists();
    v.lockAfterMinutes = IdleLockSetting::read(settings);

    if (launcher) {
        if (v.browser.trimmed().isEmpty())
            v.browser = handlerProgram(launcher->webHandlerCommand());
        if (v.email.trimmed().isEmpty())
            v.email = handlerProgram(launcher->mailHandlerCommand());
    }
    return v;
}

void Preferences::resetTabs(PreferenceValues &values)
{
    for (int n = 1; n <= TabDefaults::count; ++n) {
        values.tabNames[n - 1] = TabDefaults::caption(n);
        values.tabShown[n - 1] = TabDefaults::shown(n);
    }
}

Preferences::ApplyResult Preferences::apply(const PreferenceValues &v, SettingsStore &settings,
                                            PreferencesTarget &target, QWidget *dialogParent)
{
    // A new note directory that cannot take the notes is told before anything changes, while
    // the user can still choose another one.
    const QString dir = v.noteDirectory.trimmed();
    const QString wasDir =
        SettingValue::dropFinalNul(settings.GetSettingValue(SettingKey::Network)).trimmed();
    if (dir != wasDir) {
        const QString checked = dir.isEmpty() ? ProgramPlaces::programDirectory() : dir;
        if (const DurableFile::Failure failure = DurableFile::folderProblem(checked)) {
            const auto answer = Dialogs::message(
                dialogParent, QStringLiteral("Quillbox Plus"),
                QStringLiteral("Quillbox Plus cannot write to %1: %2.\n\nNotes kept there could not be "
                               "saved. Use this folder anyway?")
                    .arg(QDir::toNativeSeparators(checked), WriteFailureText::reason(failure)),
                QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return ApplyResult::NoteDirectoryKept;
        }
    }

    Writer w(settings);
    w.save(SettingKey::Browser, v.browser);
    w.save(SettingKey::EMail, v.email);
    w.save(SettingKey::EMailSettings, v.emailOptions);
    w.save(SettingKey::StartMin, checkValue(v.startMinimized));
    w.save(SettingKey::NoSplash, checkValue(v.noSplash));
    w.save(SettingKey::NoSound, checkValue(v.noSound));
    w.save(SettingKey::Dialer, v.dialer.trimmed());
    for (int n = 1; n <= TabDefaults::count; ++n)
        w.save(SettingKey::tabCaption(n), v.tabNames[n - 1].trimmed());
    w.save(SettingKey::Network, v.noteDirectory.trimmed());
    w.save(SettingKey::IEEnhanced, yesNo(v.useSystemHandlers));

    // The sound flag follows what the store now holds, so the next tab switch obeys it.
    const QString noSound = SettingValue::dropFinalNul(settings.GetSettingValue(SettingKey::NoSound));
    target.setSoundOff(SettingValue::numeric(noSound.trimmed()) == 1);

    std::array<TabPreference, 7> tabs;
    for (int n = 1; n <= TabDefaults::count; ++n) {
        const bool shown = v.tabShown[n - 1];
        const QString name = v.tabNames[n - 1].trimmed();
        tabs[n - 1] = {shown, name.isEmpty() ? TabDefaults::caption(n) : name};
        w.save(SettingKey::tabShown(n), yesNo(shown));
    }
    target.rebuildTabStrip(tabs);

    w.save(SettingKey::ShowinTaskBar, yesNo(v.showInTaskBar));
    w.save(SettingKey::DisplayApps, yesNo(v.hideLaunchCommands));
    target.setLaunchCommandsVisible(!v.hideLaunchCommands);

    target.changeNoteDirectory(dir.isEmpty() ? ProgramPlaces::programDirectory() : dir);

    const int lockAfter =
        IdleLockSetting::valid(v.lockAfterMinutes) ? v.lockAfterMinutes : IdleLockSetting::DefaultMinutes;
    w.save(SettingKey::LockAfterMinutes, QString::number(lockAfter));
    target.setLockAfterMinutes(lockAfter);

    w.save(SettingKey::HotKey, v.hotKey.trimmed());
    target.setHotKey(v.hotKey.trimmed());
    if (QString why; AutostartEntry::exists() != v.startAtLogin &&
                     !AutostartEntry::set(v.startAtLogin, QCoreApplication::applicationFilePath(), &why)) {
        Dialogs::message(dialogParent, QStringLiteral("Quillbox Plus"),
                         QStringLiteral("Starting at login could not be changed. %1").arg(why),
                         QMessageBox::Warning);
    }

    if (w.failed()) {
        qCWarning(lcPrefs) << "could not write the settings file" << settings.path();
        Dialogs::message(dialogParent, QStringLiteral("Quillbox Plus"),
                         QStringLiteral("Some preferences could not be saved to \"%1\". They apply "
                                        "until Quillbox Plus ends.")
                             .arg(settings.path()),
                         QMessageBox::Warning);
    }

    if (!v.password.trimmed().isEmpty() || !v.confirmation.trimmed().isEmpty()) {
        if (v.password != v.confirmation) {
            Dialogs::message(dialogParent, QStringLiteral("Quillbox Plus"),
                             QStringLiteral("Password and confirmation don't match."),
                             QMessageBox::Information);
            removePassword(settings);
            return ApplyResult::PasswordMismatch;
        }
        if (!settings.SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(v.password))) {
            // Closing as if the password were set would leave the notes unprotected unawares.
            Dialogs::message(dialogParent, QStringLiteral("Quillbox Plus"),
                             QStringLiteral("The password could not be saved to \"%1\"; Quillbox Plus "
                                            "is not protected by it.")
                                 .arg(settings.path()),
                             QMessageBox::Warning);
            return ApplyResult::PasswordNotSaved;
        }
    }

    target.selectFirstTab();
    return ApplyResult::Done;
}

void Preferences::removePassword(SettingsStore &settings)
{
    if (!settings.DeleteSetting(SettingKey::Password))
        qCWarning(lcPrefs) << "could not remove the stored password from" << settings.path();
}
