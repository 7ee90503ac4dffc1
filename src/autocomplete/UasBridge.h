#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class Launcher;

// The bridge to the outside auto-completion service, UAS.
//
// Where the service is: its own system configuration names its directory. We read the INI file
// "FlashPeak/UAS.conf" in the first directory of $XDG_CONFIG_DIRS (default "/etc/xdg") that has
// one, e.g. /etc/xdg/FlashPeak/UAS.conf:
//
//     [UAS]
//     Path=/opt/flashpeak/uas
//
// "Path" is the service's directory, absolute, without a trailing slash; the program file inside
// it is "uas". A missing file, section or key, or a relative path, means the service is not
// installed.
//
// How we talk to it: the running service listens on a local socket, per user, at
// "$XDG_RUNTIME_DIR/uas-main-window", or, when that variable is unset or names a directory others
// may enter, at "$XDG_CACHE_HOME/quillbox-plus/runtime/uas-main-window" (~/.cache when
// XDG_CACHE_HOME is unset), a directory of mode 0700; never in a directory shared with others.
// Each message is one line of text on a connection of its own:
//
//     SHOWSETUP <x> <y>     posted: show the setup window at this screen position; no reply
//     REGISTER <pid>        sent: the service answers "OK" once it has taken the process on
//     UNREGISTER <pid>      sent: likewise
//
// The service raises its own setup window; we cannot bring another program forward here.
//
// Every operation is a quick no-op when the service is not installed. A running service that
// does not answer holds us up at most kReplyTimeoutMs; starting it at most kLaunchTimeoutMs.
class UasBridge final
{
public:
    static constexpr int kLaunchTimeoutMs = 3000;
    static constexpr int kReplyTimeoutMs = 1000;

    // The bridge to the service at the per-user endpoint.
    UasBridge();
    // The bridge to a service listening at another endpoint (a name or an absolute socket path).
    explicit UasBridge(QString endpoint);

    // The per-user endpoint the service listens on.
    static QString defaultEndpointName();
    // The directories searched for "FlashPeak/UAS.conf", first match wins.
    static QStringList configDirectories();

    QString endpoint() const { return m_endpoint; }

    // True when the service is running and accepts connections.
    bool FindUASWindow() const;
    // The service's program file, or the empty string when its configuration names none.
    QString GetUASPath() const;
    // Starts the service (no shell, no arguments) and waits for its endpoint; true once it
    // accepts connections, false when it could not be started or did not come up in time.
    bool LaunchUAS() const;
    // Starts the service if need be and registers this process with it.
    bool RegisterWithUAS() const;
    // Signs this process off from a running service; never starts it.
    bool UnregisterFromUAS() const;
    // Asks a running service to show its setup window at this screen position.
    void ShowUASSetup(QPoint position) const;
    // Opens the service maker's download page in the user's browser.
    static void OpenUASDownloadPage(Launcher &launcher);

    static QString downloadPage();

private:
    bool send(const QByteArray &line, bool waitForReply) const;

    QString m_endpoint;
};
