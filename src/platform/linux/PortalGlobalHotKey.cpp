#include "PortalGlobalHotKey.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPortalHotKey, "quillbox.platform.portal")

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kShortcutId = QStringLiteral("toggle-window");

// One shortcut as BindShortcuts takes it: (sa{sv}).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}
} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalGlobalHotKey::PortalGlobalHotKey(QObject *parent) : GlobalHotKey(parent)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalGlobalHotKey::~PortalGlobalHotKey()
{
    closeSession();
}

QString PortalGlobalHotKey::triggerText(QKeyCombination key)
{
    const int k = key.key();
    QString name;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        name = QChar(u'a' + (k - Qt::Key_A));
    else if (k >= Qt::Key_0 && k <= Qt::Key_9)
        name = QChar(u'0' + (k - Qt::Key_0));
    else if (k >= Qt::Key_F1 && k <= Qt::Key_F35)
        name = QStringLiteral("F%1").arg(k - Qt::Key_F1 + 1);
    else if (k == Qt::Key_Space)
        name = QStringLiteral("space");
    if (name.isEmpty())
        return {};
    QStringList parts;
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    if (mods & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (mods & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (mods & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (mods & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << name;
    return parts.join(u'+');
}

bool PortalGlobalHotKey::portalHasShortcuts() const
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

QString PortalGlobalHotKey::nextToken()
{
    return QStringLiteral("quillbox%1").arg(++m_tokens);
}

// The portal answers on a Request object whose path follows from our bus name and the call's
// handle token; listening starts before the call, so a quick answer is never missed. QtDBus
// connects signals by their signature only, hence the SLOT() form here.
bool PortalGlobalHotKey::callWithResponse(const QString &method, const QList<QVariant> &arguments,
                                          const char *slot)
{
    const QString token = arguments.last().toMap().value(QStringLiteral("handle_token")).toString();
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(u'.', u'_');
    const QString request =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    QDBusConnection::sessionBus().connect(kService, request, kRequest, QStringLiteral("Response"), this,
                                          slot);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCInfo(lcPortalHotKey) << method << "failed:" << reply.errorMessage();
        QDBusConnection::sessionBus().disconnect(kService, request, kRequest, QStringLiteral("Response"),
                                                 this, slot);
        return false;
    }
    const QString answeredOn = qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
    if (answeredOn != request) // an older portal picks its own path
        QDBusConnection::sessionBus().connect(kService, answeredOn, kRequest, QStringLiteral("Response"),
                                              this, slot);
    return true;
}

GlobalHotKey::Status PortalGlobalHotKey::setKey(QKeyCombination key)
{
    closeSession();
    if (key.key() == Qt::Key_unknown || key.key() == 0)
        return Status::Off;
    m_trigger = triggerText(key);
    if (!QDBusConnection::sessionBus().isConnected() || !portalHasShortcuts())
        return Status::Unsupported;
    QVariantMap options{{QStringLiteral("handle_token"), nextToken()},
                        {QStringLiteral("session_handle_token"), nextToken()}};
    if (!callWithResponse(QStringLiteral("CreateSession"), {options},
                          SLOT(sessionCreated(uint, QVariantMap))))
        return Status::Unsupported;
    if (!m_listening)
        m_listening = QDBusConnection::sessionBus().connect(
            kService, kPath, kInterface, QStringLiteral("Activated"), this,
            SLOT(shortcutActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    return Status::Active;
}

void PortalGlobalHotKey::sessionCreated(uint response, const QVariantMap &results)
{
    if (response != 0) {
        qCInfo(lcPortalHotKey) << "the portal refused a shortcut session";
        return;
    }
    m_session = QDBusObjectPath(results.value(QStringLiteral("session_handle")).toString());
    bind();
}

void PortalGlobalHotKey::bind()
{
    PortalShortcut shortcut{kShortcutId,
                            {{QStringLiteral("description"), QStringLiteral("Show or hide Quillbox Plus")}}};
    if (!m_trigger.isEmpty())
        shortcut.properties.insert(QStringLiteral("preferred_trigger"), m_trigger);
    const QVariantMap options{{QStringLiteral("handle_token"), nextToken()}};
    callWithResponse(QStringLiteral("BindShortcuts"),
                     {QVariant::fromValue(m_session), QVariant::fromValue(QList<PortalShortcut>{shortcut}),
                      QString(), options},
                     SLOT(shortcutsBound(uint, QVariantMap)));
}

void PortalGlobalHotKey::shortcutsBound(uint response, const QVariantMap &)
{
    if (response != 0)
        qCInfo(lcPortalHotKey) << "the shortcut was not bound (answer" << response << ")";
}

void PortalGlobalHotKey::shortcutActivated(const QDBusObjectPath &session, const QString &id, qulonglong,
                                           const QVariantMap &)
{
    if (session == m_session && id == kShortcutId)
        emit activated();
}

void PortalGlobalHotKey::closeSession()
{
    if (m_session.path().isEmpty())
        return;
    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kService, m_session.path(),
                                       QStringLiteral("org.freedesktop.portal.Session"),
                                       QStringLiteral("Close")),
        QDBus::NoBlock);
    m_session = QDBusObjectPath();
}
