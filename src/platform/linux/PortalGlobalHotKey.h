#pragma once

#include "../GlobalHotKey.h"

#include <QDBusObjectPath>
#include <QString>

class QDBusMessage;

// The hot key through the desktop portal's GlobalShortcuts interface, for Wayland sessions, where
// no program may grab keys itself. The portal binds the shortcut (the desktop may ask the user to
// confirm or change the key) and reports each press. Where the portal has no such interface,
// every key is Unsupported.
class PortalGlobalHotKey final : public GlobalHotKey
{
    Q_OBJECT
public:
    explicit PortalGlobalHotKey(QObject *parent = nullptr);
    ~PortalGlobalHotKey() override;

    Status setKey(QKeyCombination key) override;

    // The portal's name for a key combination ("CTRL+ALT+n"); empty when it has none.
    static QString triggerText(QKeyCombination key);

private slots:
    void sessionCreated(uint response, const QVariantMap &results);
    void shortcutsBound(uint response, const QVariantMap &results);
    void shortcutActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                           const QVariantMap &options);

private:
    bool portalHasShortcuts() const;
    QString nextToken();
    // Calls a portal method that answers through a Request object's Response signal.
    bool callWithResponse(const QString &method, const QList<QVariant> &arguments, const char *slot);
    void bind();
    void closeSession();

    QString m_trigger;
    QDBusObjectPath m_session;
    int m_tokens = 0;
    bool m_listening = false;
};
