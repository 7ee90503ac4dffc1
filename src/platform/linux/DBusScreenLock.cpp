#include "DBusScreenLock.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcScreenLock, "quillbox.platform.screenlock")

DBusScreenLock::DBusScreenLock(QObject *parent) : ScreenLock(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcScreenLock) << "no session bus: the screen lock goes unnoticed";
        return;
    }
    // Any sender and any path: KDE sends on /ScreenSaver as well as on the freedesktop.org path.
    // QtDBus connects signals by their signature only, hence the SLOT() form.
    for (const QString &interface :
         {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver")}) {
        if (!bus.connect(QString(), QString(), interface, QStringLiteral("ActiveChanged"), this,
                         SLOT(activeChanged(bool))))
            qCInfo(lcScreenLock) << "cannot listen to" << interface << bus.lastError().message();
    }
}

void DBusScreenLock::activeChanged(bool active)
{
    if (active)
        emit screenLocked();
}
