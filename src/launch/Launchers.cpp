#include "Launchers.h"

#include "Dialogs.h"
#include "FileHelpers.h"
#include "KeyString.h"
#include "KeystrokeSender.h"
#include "Launcher.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QUrl>

Q_LOGGING_CATEGORY(lcLaunch, "quillbox.launch")

namespace {

constexpr int DialerPollMs = 100;

const QString &setupTitle()
{
    static const QString title = QStringLiteral("Setup Your Preferences");
    return title;
}

const QString &setupText()
{
    static const QString text = QStringLiteral(
        "It appears as if you have not yet set up your Internet Preferences... Select Applications | Setup "
        "from the main Quillbox Window. Be sure to click on the Apply button on the Setup Preferences window "
        "to save your Quillbox preferences.");
    return text;
}

} // namespace

Launchers::Launchers(SettingsStore &settings, Launcher &launcher, KeystrokeSender &keys, QObject *parent)
    : QObject(parent), m_settings(settings), m_launcher(launcher), m_keys(keys)
{
    m_dialerPoll.setInterval(DialerPollMs);
    connect(&m_dialerPoll, &QTimer::timeout, this, &Launchers::typeNumberWhenDialerFocused);
}

bool Launchers::systemHandlerMode() const
{
    return SettingValue::isYes(m_settings.GetSettingValue(SettingKey::IEEnhanced));
}

QString Launchers::telAddress(const QString &number)
{
    // Blanks are no part of a tel: address; "-", ".", "(" and ")" may stay as separators.
    QString compact = number;
    compact.remove(QRegularExpression(QStringLiteral("\\s")));
    return QStringLiteral("tel:") + QString::fromLatin1(QUrl::toPercentEncoding(compact, "+-.()*"));
}

bool Launchers::isConfigured(const QString &value)
{
    // A blank-only value would start nothing at all, so it asks for setup like an empty one.
    return value.size() > 1 && !value.trimmed().isEmpty();
}

void Launchers::showStatus(const QString &message) const
{
    if (m_showStatus)
        m_showStatus(message);
}

// A launch that works says nothing, and takes away what an earlier one said: a message that no
// longer holds does not stay.
void Launchers::run(const QString &commandLine, const QString &what, Failure failure)
{
    if (m_launcher.runCommandLine(commandLine, Launcher::Show::Normal))
        showStatus(QString());
    else if (failure == Failure::Reported)
        showStatus(tr("Could not start %1.").arg(what));
}

void Launchers::open(const QString &target, const QString &what, Failure failure)
{
    if (m_launcher.shellOpen(target, Launcher::Show::Normal))
        showStatus(QString());
    else if (failure == Failure::Reported)
        showStatus(tr("Could not open %1.").arg(what));
}

// The desktop's own handler, started as the desktop starts it.
void Launchers::openWithDefault(const QString &scheme, const QString &address, const QString &what,
                                const QString &noneSet)
{
    QString entry;
    switch (m_launcher.launchDefaultHandler(scheme, address, &entry)) {
    case Launcher::HandlerLaunch::Started:
        showStatus(QString());
        break;
    case Launcher::HandlerLaunch::NoHandler:
        showStatus(noneSet);
        break;
    case Launcher::HandlerLaunch::Failed:
        showStatus(tr("Could not start the default %1 (%2).").arg(what, entry));
        break;
    }
}

const QString &Launchers::noDialerText()
{
    static const QString text = tr("No dialer is installed. Choose one under Applications | Setup.");
    return text;
}

void Launchers::PromptForSetup(QWidget *owner)
{
    Dialogs::message(owner, setupTitle(), setupText(), QMessageBox::Warning, QMessageBox::Ok);
    if (m_openSetup)
        m_openSetup();
}

void Launchers::LaunchBrowser(QWidget *owner)
{
    if (systemHandlerMode()) {
        // The desktop's default browser, started on its own start page: no address is made up.
        openWithDefault(QStringLiteral("http"), QString(), tr("web browser"),
                        tr("No default web browser is set on this desktop."));
        return;
    }
    const QString browser = m_settings.GetSettingValue(SettingKey::Browser);
    if (!isConfigured(browser)) {
        PromptForSetup(owner);
        return;
    }
    run(browser.trimmed(), tr("the web browser"));
}

void Launchers::LaunchEmailProgram(QWidget *owner)
{
    if (systemHandlerMode()) {
        open(QStringLiteral("mailto:"), tr("a new e-mail message"));
        return;
    }
    const QString program = m_settings.GetSettingValue(SettingKey::EMail);
    if (!isConfigured(program)) {
        PromptForSetup(owner);
        return;
    }
    run(program.trimmed(), tr("the e-mail program"));
}

void Launchers::LaunchDialer()
{
    const QString dialer = m_settings.GetSettingValue(SettingKey::Dialer).trimmed();
    if (dialer.isEmpty())
        openWithDefault(QStringLiteral("tel"), QString(), tr("dialer"), noDialerText());
    else
        open(dialer, tr("the dialer"));
}

void Launchers::LaunchCommandPrompt()
{
    open(QStringLiteral("cmd"), tr("a terminal"));
}

void Launchers::LaunchCalculatorProgram()
{
    open(QStringLiteral("calc.exe"), tr("the calculator"));
}

void Launchers::OpenWebAddress(QWidget *owner, const QString &address, bool checkSetup, Failure failure)
{
    if (systemHandlerMode()) {
        open(address, tr("the web address"), failure);
        return;
    }
    const QString browser = SettingValue::dropFinalNul(m_settings.GetSettingValue(SettingKey::Browser));
    if (checkSetup && !isConfigured(browser)) {
        PromptForSetup(owner);
        return;
    }
    // The path is not quoted: a browser path with blanks is found whole by the platform.
    run(browser.trimmed() + QLatin1Char(' ') + address.trimmed(), tr("the web browser"), failure);
}

void Launchers::ComposeEmail(QWidget *owner, const QString &address, bool checkSetup, Failure failure)
{
    if (systemHandlerMode()) {
        open(QStringLiteral("mailto:") + address, tr("a new e-mail message"), failure);
        return;
    }
    QString program = m_settings.GetSettingValue(SettingKey::Email);
    QString options = m_settings.GetSettingValue(SettingKey::EmailSettings);
    const QString lower = program.toLower();
    // Eudora takes the address as a mailto: option; Exchange opens a new message with /n. A path
    // that matches both gets /n, the later rule. The /n switch is only for a Windows program
    // (run through a compatibility layer): a mail program of this desktop would take it for a file.
    if (lower.contains(QLatin1String("eudora")))
        options = QStringLiteral("mailto:") + address.trimmed();
    if (lower.contains(QLatin1String("exch")) && lower.trimmed().endsWith(QLatin1String(".exe")))
        options = QStringLiteral("/n");
    program = SettingValue::dropFinalNul(program);
    options = SettingValue::dropFinalNul(options);
    if (checkSetup && !isConfigured(program)) {
        PromptForSetup(owner);
        return;
    }
    const QString head = (program.trimmed() + QLatin1Char(' ') + options.trimmed()).trimmed();
    run(head + QLatin1Char(' ') + address.trimmed(), tr("the e-mail program"), failure);
}

void Launchers::DialNumber(QWidget *, const QString &number)
{
    m_dialerPoll.stop(); // a newer number replaces one still waiting for its dialer
    m_pendingNumber.clear();

    const QString dialer =
        SettingValue::dropFinalNul(m_settings.GetSettingValue(SettingKey::Dialer).trimmed());
    if (dialer.isEmpty()) {
        // The desktop's dialer is its tel: handler, which takes the number as a tel: address:
        // nothing is typed into it.
        openWithDefault(QStringLiteral("tel"), telAddress(number), tr("dialer"), noDialerText());
        return;
    }
    if (!FileExists(dialer)) {
        open(dialer, tr("the dialer"));
        return;
    }
    qint64 process = 0;
    if (!m_launcher.runCommandLine(dialer, Launcher::Show::Normal, &process) || process <= 0) {
        showStatus(tr("Could not start the dialer."));
        return;
    }
    // The number is typed only into the dialer's own window: keys sent while it is still starting
    // would land in the note or in another program.
    m_dialerProcess = process;
    m_pendingNumber = number.trimmed();
    m_dialerWaitedMs = 0;
    m_dialerPoll.start();
}

void Launchers::typeNumberWhenDialerFocused()
{
    if (m_keys.focusedWindowProcessId() == m_dialerProcess) {
        m_dialerPoll.stop();
        // "%N" (Alt+N) moves to the dialer's number field. The number itself is typed as written:
        // a "+" in "+44 20 ..." must not become Shift.
        const bool ok = m_keys.sendKeys(QStringLiteral("%N"), false) &&
                        m_keys.sendKeys(KeyStringParser::literal(m_pendingNumber), true);
        m_pendingNumber.clear();
        if (!ok)
            showStatus(tr("The number could not be typed into the dialer on this desktop."));
        emit numberTyped(ok);
        return;
    }
    m_dialerWaitedMs += m_dialerPoll.interval();
    if (m_dialerWaitedMs >= m_dialerFocusTimeoutMs) {
        m_dialerPoll.stop();
        m_pendingNumber.clear();
        qCInfo(lcLaunch) << "the dialer's window did not take the focus; nothing typed";
        showStatus(tr("The number was not typed: the dialer's window did not come to the front."));
        emit dialerFocusTimedOut();
    }
}
