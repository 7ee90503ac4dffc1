#include "linux/PortalGlobalHotKey.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

// The hot key through the desktop portal, against a fake portal on a private session bus that
// records what it was asked to bind and then reports the shortcut pressed.
class TestPortalHotKey : public QObject
{
    Q_OBJECT
private slots:
    void triggerTextNamesTheKeyAsThePortalDoes_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("letter") << QKeyCombination(Qt::CTRL | Qt::ALT | Qt::Key_N) << "CTRL+ALT+n";
        QTest::newRow("function key")
            << QKeyCombination(Qt::META | Qt::SHIFT | Qt::Key_F12) << "SHIFT+LOGO+F12";
        QTest::newRow("digit") << QKeyCombination(Qt::CTRL | Qt::Key_5) << "CTRL+5";
        QTest::newRow("no portal name") << QKeyCombination(Qt::CTRL | Qt::Key_Home) << "";
    }
    void triggerTextNamesTheKeyAsThePortalDoes()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, text);
        QCOMPARE(PortalGlobalHotKey::triggerText(key), text);
    }

    void bindsTheShortcutAndReportsItsPress()
    {
        PortalGlobalHotKey hotKey;
        QSignalSpy activated(&hotKey, &GlobalHotKey::activated);
        QCOMPARE(hotKey.setKey(Qt::CTRL | Qt::ALT | Qt::Key_N), GlobalHotKey::Status::Active);
        QTRY_COMPARE(activated.count(), 1);
        QFile record(QString::fromLocal8Bit(qgetenv("PORTAL_RECORD")));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QByteArray("True toggle-window CTRL+ALT+n\n"));
        QCOMPARE(hotKey.setKey(QKeyCombination(Qt::Key_unknown)), GlobalHotKey::Status::Off);
    }
};

QTEST_GUILESS_MAIN(TestPortalHotKey)
#include "tst_portalhotkey.moc"
