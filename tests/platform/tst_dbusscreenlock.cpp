#include "linux/DBusScreenLock.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

// The screen lock on a private session bus (with_private_bus.sh bare), the screen saver's signals
// sent by dbus-send as the desktop would send them; and without a bus (with_private_bus.sh none).
class TestDBusScreenLock : public QObject
{
    Q_OBJECT

    static bool send(const QString &path, const QString &member, const QString &argument = QString())
    {
        QStringList arguments{QStringLiteral("--session"), QStringLiteral("--type=signal"), path, member};
        if (!argument.isEmpty())
            arguments << argument;
        QProcess dbusSend;
        dbusSend.start(QStringLiteral("dbus-send"), arguments);
        return dbusSend.waitForFinished(10000) && dbusSend.exitStatus() == QProcess::NormalExit &&
               dbusSend.exitCode() == 0;
    }

public slots:
    void marked() { m_marks++; }

private slots:
    void initTestCase()
    {
        // A mark sent after a signal arrives after it: once it is seen, the signal was handled.
        if (QDBusConnection::sessionBus().isConnected())
            QVERIFY(QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/test"),
                                                          QStringLiteral("org.quillbox.Test"),
                                                          QStringLiteral("Mark"), this, SLOT(marked())));
    }

    void tellsTheScreenLockingOnly_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("locks");
        const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver.ActiveChanged");
        const QString gnome = QStringLiteral("org.gnome.ScreenSaver.ActiveChanged");
        QTest::newRow("freedesktop locks")
            << "/org/freedesktop/ScreenSaver" << freedesktop << "boolean:true" << 1;
        QTest::newRow("freedesktop unlocks")
            << "/org/freedesktop/ScreenSaver" << freedesktop << "boolean:false" << 0;
        QTest::newRow("KDE's short path") << "/ScreenSaver" << freedesktop << "boolean:true" << 1;
        QTest::newRow("GNOME locks") << "/org/gnome/ScreenSaver" << gnome << "boolean:true" << 1;
        QTest::newRow("GNOME unlocks") << "/org/gnome/ScreenSaver" << gnome << "boolean:false" << 0;
        QTest::newRow("another signal") << "/org/freedesktop/ScreenSaver"
                                        << "org.freedesktop.ScreenSaver.WakeUpScreen"
                                        << "boolean:true" << 0;
    }
    void tellsTheScreenLockingOnly()
    {
        QFETCH(QString, path);
        QFETCH(QString, member);
        QFETCH(QString, argument);
        QFETCH(int, locks);
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run by with_private_bus.sh bare");
        DBusScreenLock screenLock;
        QSignalSpy locked(&screenLock, &ScreenLock::screenLocked);
        m_marks = 0;
        QVERIFY(send(path, member, argument));
        QVERIFY(send(QStringLiteral("/test"), QStringLiteral("org.quillbox.Test.Mark")));
        QTRY_COMPARE(m_marks, 1);
        QCOMPARE(locked.count(), locks);
    }

    void staysQuietWithoutASessionBus()
    {
        QVERIFY2(!QDBusConnection::sessionBus().isConnected(), "run by with_private_bus.sh none");
        DBusScreenLock screenLock;
        QSignalSpy locked(&screenLock, &ScreenLock::screenLocked);
        QCoreApplication::processEvents();
        QCOMPARE(locked.count(), 0);
    }

private:
    int m_marks = 0;
};

QTEST_GUILESS_MAIN(TestDBusScreenLock)
#include "tst_dbusscreenlock.moc"
