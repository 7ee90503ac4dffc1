#include "AutostartEntry.h"
#include "HotKeySetting.h"
#include "Preferences.h"
#include "RecordingTarget.h"
#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The hot key setting and starting at login, as Setup reads and applies them.
class TestQuickAccessPrefs : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit()); }

    void hotKeyTextIsReadAsOneChord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QKeyCombination>("key");
        QTest::newRow("default") << "Ctrl+Alt+N" << true << QKeyCombination(Qt::CTRL | Qt::ALT | Qt::Key_N);
        QTest::newRow("function key") << " Meta+F12 " << true << QKeyCombination(Qt::META | Qt::Key_F12);
        QTest::newRow("first chord only")
            << "Ctrl+K, Ctrl+L" << true << QKeyCombination(Qt::CTRL | Qt::Key_K);
        QTest::newRow("empty: none") << "" << true << QKeyCombination(Qt::Key_unknown);
        QTest::newRow("bare letter refused") << "N" << false << QKeyCombination(Qt::Key_unknown);
        QTest::newRow("shift alone refused") << "Shift+N" << false << QKeyCombination(Qt::Key_unknown);
        QTest::newRow("nonsense") << "Ctrl+Alt+Nonsense" << false << QKeyCombination(Qt::Key_unknown);
    }
    void hotKeyTextIsReadAsOneChord()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QKeyCombination, key);
        const HotKeySetting::Parsed parsed = HotKeySetting::parse(text);
        QCOMPARE(parsed.ok, ok);
        QCOMPARE(parsed.key, key);
    }

    void applyStoresTheHotKeyAndTheLoginEntry()
    {
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("q.ini")));
        RecordingTarget target;
        PreferenceValues v = Preferences::read(settings, nullptr);
        QCOMPARE(v.hotKey, QStringLiteral("Ctrl+Alt+N")); // never set: the default
        QVERIFY(!v.startAtLogin);

        v.hotKey = QStringLiteral("Ctrl+Shift+F11");
        v.startAtLogin = true;
        QCOMPARE(Preferences::apply(v, settings, target, nullptr), Preferences::ApplyResult::Done);
        QCOMPARE(settings.GetSettingValue(QStringLiteral("HotKey")), QStringLiteral("Ctrl+Shift+F11"));
        QCOMPARE(target.hotKeys, QStringList{QStringLiteral("Ctrl+Shift+F11")});
        const QString entry = m_config.filePath(QStringLiteral("autostart/quillbox.desktop"));
        QCOMPARE(AutostartEntry::path(), entry);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\"\n"));
        QVERIFY(Preferences::read(settings, nullptr).startAtLogin);

        // An emptied key field turns the hot key off; the box cleared removes the entry.
        v.hotKey.clear();
        v.startAtLogin = false;
        Preferences::apply(v, settings, target, nullptr);
        QCOMPARE(HotKeySetting::read(settings), QString());
        QVERIFY(!QFile::exists(entry));
        QVERIFY(!Preferences::read(settings, nullptr).startAtLogin);
    }

    void execLineQuotesAnOddProgramPath()
    {
        const QByteArray text =
            AutostartEntry::contents(QStringLiteral("/opt/my $apps/100% \"q\\b\"/quillbox"));
        QVERIFY(text.contains(R"(Exec="/opt/my \\$apps/100%% \\"q\\\\b\\"/quillbox")"));
    }
};

QTEST_MAIN(TestQuickAccessPrefs)
#include "tst_quickaccessprefs.moc"
