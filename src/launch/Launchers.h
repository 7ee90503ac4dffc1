#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class KeystrokeSender;
class Launcher;
class QWidget;
class SettingsStore;

// The five launch commands of the Applications menu and the three launches from note text (web
// address, e-mail address, phone number). Every outside program the program starts goes through
// here. Settings are read afresh at every launch, so a change in Setup counts at once.
class Launchers final : public QObject
{
    Q_OBJECT
public:
    Launchers(SettingsStore &settings, Launcher &launcher, KeystrokeSender &keys, QObject *parent = nullptr);

    // Opens the preferences dialog after the setup prompt.
    void setOpenSetup(std::function<void()> openSetup) { m_openSetup = std::move(openSetup); }
    // Shows a short message in the main window's status bar.
    void setShowStatus(std::function<void(const QString &)> showStatus) { m_showStatus = std::move(showStatus); }
    // How long DialNumber waits for the dialer's window to take the focus.
    void setDialerFocusTimeout(int ms) { m_dialerFocusTimeoutMs = ms; }

    void LaunchBrowser(QWidget *owner);
    void LaunchEmailProgram(QWidget *owner);
    void LaunchDialer();
    void LaunchCommandPrompt();
    void LaunchCalculatorProgram();

    // How a launch that fails ends: with a line in the status bar, or silently (the About
    // box's links).
    enum class Failure { Reported, Silent };
    void OpenWebAddress(QWidget *owner, const QString &address, bool checkSetup,
                        Failure failure = Failure::Reported);
    void ComposeEmail(QWidget *owner, const QString &address, bool checkSetup,
                      Failure failure = Failure::Reported);
    void DialNumber(QWidget *owner, const QString &number);
    void PromptForSetup(QWidget *owner);

    // "IEEnhanced" is on: web and mail go to the desktop's own handlers.
    bool systemHandlerMode() const;
    // A program setting of 0 or 1 characters counts as not set up.
    static bool isConfigured(const QString &value);
    // A phone number as written in a note, as the tel: address a dialer takes.
    static QString telAddress(const QString &number);

    void showStatus(const QString &message) const;

signals:
    // The dialer's window took the focus and the number was typed (or typing failed).
    void numberTyped(bool ok);
    // The dialer's window never took the focus, so nothing was typed.
    void dialerFocusTimedOut();

private:
    void run(const QString &commandLine, const QString &what, Failure failure = Failure::Reported);
    void open(const QString &target, const QString &what, Failure failure = Failure::Reported);
    void openWithDefault(const QString &scheme, const QString &address, const QString &what,
                         const QString &noneSet);
    void typeNumberWhenDialerFocused();
    static const QString &noDialerText();

    SettingsStore &m_settings;
    Launcher &m_launcher;
    KeystrokeSender &m_keys;
    std::function<void()> m_openSetup;
    std::function<void(const QString &)> m_showStatus;

    // A number waiting for its dialer's window.
    QTimer m_dialerPoll;
    qint64 m_dialerProcess = 0;
    QString m_pendingNumber;
    int m_dialerFocusTimeoutMs = 5000;
    int m_dialerWaitedMs = 0;
};
