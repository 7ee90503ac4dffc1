#include "linux/DBusScreenLock.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

// The screen saver's signals sent by dbus-send, as the desktop sends them, on a private session bus
// (with_private_bus.sh bare); and no bus at all (with_private_bus.sh none).
class TestDBusScreenLock : public QObject
{
    Q_OBJECT
    int m_marks = 0;

    static bool send(const QStringList &signal)
    {
        QProcess dbusSend;
        dbusSend.start(QStringLiteral("dbus-send"),
                       QStringList{QStringLiteral("--session"), QStringLiteral("--type=signal")} + signal);
        return dbusSend.waitForFinished(10000) && dbusSend.exitCode() == 0;
    }

public slots:
    void marked() { m_marks++; }

private slots:
    void tellsTheScreenLockingOnly_data()
    {
        QTest::addColumn<QStringList>("signal");
        QTest::addColumn<int>("locks");
        const QString fd = QStringLiteral("org.freedesktop.ScreenSaver.ActiveChanged");
        const QString gnome = QStringLiteral("org.gnome.ScreenSaver.ActiveChanged");
        QTest::newRow("locks") << QStringList{"/org/freedesktop/ScreenSaver", fd, "boolean:true"} << 1;
        QTest::newRow("unlocks") << QStringList{"/org/freedesktop/ScreenSaver", fd, "boolean:false"} << 0;
        QTest::newRow("KDE's path") << QStringList{"/ScreenSaver", fd, "boolean:true"} << 1;
        QTest::newRow("GNOME locks") << QStringList{"/org/gnome/ScreenSaver", gnome, "boolean:true"} << 1;
        QTest::newRow("GNOME unlocks") << QStringList{"/org/gnome/ScreenSaver", gnome, "boolean:false"} << 0;
    }
    void tellsTheScreenLockingOnly()
    {
        QFETCH(QStringList, signal);
        QFETCH(int, locks);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "run by with_private_bus.sh bare");
        // A mark sent after the signal arrives after it: once it is seen, the signal was handled.
        bus.connect({}, "/test", "org.quillbox.Test", "Mark", this, SLOT(marked()));
        m_marks = 0;
        DBusScreenLock screenLock;
        QSignalSpy locked(&screenLock, &ScreenLock::screenLocked);
        QVERIFY(send(signal));
        QVERIFY(send({"/test", "org.quillbox.Test.Mark"}));
        QTRY_COMPARE(m_marks, 1);
        QCOMPARE(locked.count(), locks);
    }

    void staysQuietWithoutASessionBus()
    {
        QVERIFY2(!QDBusConnection::sessionBus().isConnected(), "run by with_private_bus.sh none");
        DBusScreenLock screenLock; // neither crashes nor waits
    }
};

QTEST_GUILESS_MAIN(TestDBusScreenLock)
#include "tst_dbusscreenlock.moc"
