#include "../MountedFolder.h"
#include "SettingsStore.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString iniPath(const QString &name = QStringLiteral("s.ini")) const { return m_dir.filePath(name); }
    void writeRaw(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void missingKeyReadsEmpty()
    {
        SettingsStore store(iniPath(QStringLiteral("missing.ini")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Browser")), QString());
        QVERIFY(!QFile::exists(store.path())); // reading never creates the file
    }

    void keysMatchRegardlessOfCase()
    {
        SettingsStore store(iniPath(QStringLiteral("case.ini")));
        QVERIFY(store.SaveSettingValue(QStringLiteral("EMail"), QStringLiteral("/usr/bin/mailer")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Email")), QStringLiteral("/usr/bin/mailer"));
        QVERIFY(store.SaveSettingValue(QStringLiteral("EMailSettings"), QStringLiteral("-compose")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("EmailSettings")), QStringLiteral("-compose"));

        // Writing under another case replaces the value rather than adding a second key.
        QVERIFY(store.SaveSettingValue(QStringLiteral("email"), QStringLiteral("other")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("EMail")), QStringLiteral("other"));
        int count = 0;
        for (const QString &k : store.keys())
            count += k.compare(QStringLiteral("email"), Qt::CaseInsensitive) == 0;
        QCOMPARE(count, 1);
    }

    void handEditedKeysInAnyCase()
    {
        const QString path = iniPath(QStringLiteral("hand.ini"));
        writeRaw(path, "[Settings]\nbrowser=/usr/bin/firefox\nTAB1=NO\n"
                       "EmailSettings=-compose to=%1;subject=x\nDialer=/opt/my,app/dial\n");
        SettingsStore store(path);
        QCOMPARE(store.GetSettingValue(QStringLiteral("Browser")), QStringLiteral("/usr/bin/firefox"));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Tab1")), QStringLiteral("NO"));
        // A semicolon or comma typed by hand is part of the value, not a comment or a list.
        QCOMPARE(store.GetSettingValue(QStringLiteral("EMailSettings")),
                 QStringLiteral("-compose to=%1;subject=x"));
        QCOMPARE(store.GetSettingValue(QStringLiteral("dialer")), QStringLiteral("/opt/my,app/dial"));
        // Once the program rewrites the file, the values are still the same.
        QVERIFY(store.SaveSettingValue(QStringLiteral("Tab2"), QStringLiteral("YES")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("EMailSettings")),
                 QStringLiteral("-compose to=%1;subject=x"));
        QCOMPARE(store.GetSettingValue(QStringLiteral("dialer")), QStringLiteral("/opt/my,app/dial"));
    }

    void valuesRoundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("blanks around") << QStringLiteral("  padded  ");
        QTest::newRow("equals and semicolon") << QStringLiteral("a=b;c#d");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\" 'there'");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Program Files\\Web\\browse.exe");
        QTest::newRow("newlines") << QStringLiteral("line1\nline2\r\nline3");
        QTest::newRow("non-ascii") << QStringLiteral("Grüße – 日本語 😀");
        QTest::newRow("final NUL") << (QStringLiteral("value") + QChar(0));
        QTest::newRow("comma list") << QStringLiteral("a, b, c");
        QTest::newRow("at sign") << QStringLiteral("@ByteArray(x)");
        QTest::newRow("empty") << QString();
        QTest::newRow("password record") << QStringLiteral("580917264dKwpBXZMNQr8#hjasecret719036825kq");
    }

    void valuesRoundTripExactly()
    {
        QFETCH(QString, value);
        SettingsStore store(iniPath(QStringLiteral("roundtrip.ini")));
        QVERIFY(store.SaveSettingValue(QStringLiteral("Key"), value));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Key")), value);
        // And through a fresh store object, as another part of the program would read it.
        QCOMPARE(SettingsStore(store.path()).GetSettingValue(QStringLiteral("key")), value);
    }

    void numbersAreStoredAsShortestText()
    {
        SettingsStore store(iniPath(QStringLiteral("numbers.ini")));
        store.SaveSettingValue(QStringLiteral("StartMin"), 1);
        store.SaveSettingValue(QStringLiteral("CoordsX"), 1234.0);
        store.SaveSettingValue(QStringLiteral("DefaultFontSize"), 10.5);
        QCOMPARE(store.GetSettingValue(QStringLiteral("StartMin")), QStringLiteral("1"));
        QCOMPARE(store.GetSettingValue(QStringLiteral("CoordsX")), QStringLiteral("1234"));
        QCOMPARE(store.GetSettingValue(QStringLiteral("DefaultFontSize")), QStringLiteral("10.5"));
    }

    void deleteRemovesEveryCaseAndToleratesMissing()
    {
        const QString path = iniPath(QStringLiteral("delete.ini"));
        writeRaw(path, "[Settings]\ndrow=abc\nDROW=def\nOther=1\n");
        SettingsStore store(path);
        QVERIFY(store.DeleteSetting(QStringLiteral("drow")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("drow")), QString());
        QCOMPARE(store.GetSettingValue(QStringLiteral("Other")), QStringLiteral("1"));
        QVERIFY(store.DeleteSetting(QStringLiteral("drow")));
    }

    void fileIsOwnerOnly()
    {
        SettingsStore store(iniPath(QStringLiteral("perm.ini")));
        store.SaveSettingValue(QStringLiteral("drow"), QStringLiteral("x"));
        const auto perms = QFile::permissions(store.path());
        QVERIFY(perms.testFlag(QFileDevice::ReadOwner));
        QVERIFY(!perms.testFlag(QFileDevice::ReadGroup));
        QVERIFY(!perms.testFlag(QFileDevice::ReadOther));
    }

    void defaultPathFollowsXdgConfigHome()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        const QString path = SettingsStore::defaultPath();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(path, m_dir.path() + QStringLiteral("/Quillbox Plus/Quillbox Plus.ini"));
    }

    void anotherProcessSeesWritesAtOnce()
    {
        const QString path = iniPath(QStringLiteral("shared.ini"));
        SettingsStore store(path);
        for (int i = 0; i < 3; ++i) {
            const QString value = QStringLiteral("value-%1").arg(i);
            // This process writes, the peer reads.
            QVERIFY(store.SaveSettingValue(QStringLiteral("Network"), value));
            QProcess peer;
            peer.start(QStringLiteral(SETTINGS_PEER), {path, QStringLiteral("network")});
            QVERIFY(peer.waitForFinished(10000));
            QCOMPARE(QString::fromUtf8(peer.readAllStandardOutput()), value);
            // The peer writes, this process reads without reopening anything.
            QProcess writer;
            writer.start(QStringLiteral(SETTINGS_PEER),
                         {path, QStringLiteral("NETWORK"), QStringLiteral("peer-%1").arg(i)});
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(store.GetSettingValue(QStringLiteral("Network")), QStringLiteral("peer-%1").arg(i));
        }
    }

    void damagedFilesAreReadAsFarAsPossible_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray random(64 * 1024, '\0');
        QRandomGenerator gen(20261207); // fixed, so a failure can be reproduced
        for (auto &c : random)
            c = char(gen.bounded(256));
        QTest::newRow("random bytes") << random;
        QTest::newRow("random then good") << (random + "\n[Settings]\nBrowser=ok\n");
        QTest::newRow("truncated line") << QByteArray("[Settings]\nBrowser=ok\nTab1=\"unterminated");
        QTest::newRow("huge value") << (QByteArray("[Settings]\nBrowser=ok\nBig=") +
                                        QByteArray(10 * 1024 * 1024, 'x'));
        QTest::newRow("duplicate keys in other case") << QByteArray("[Settings]\nBrowser=ok\nBROWSER=ok\n");
        QTest::newRow("no section") << QByteArray("Browser=elsewhere\n");
        static const char binary[] = "[Settings]\nBrowser=ok\nX=\x01\x02\xff\xfe\n";
        QTest::newRow("binary in value") << QByteArray(binary, sizeof binary - 1);
    }

    void damagedFilesAreReadAsFarAsPossible()
    {
        QFETCH(QByteArray, bytes);
        const QByteArray random = QByteArray(QTest::currentDataTag()).startsWith("random")
                                      ? bytes.left(16)
                                      : QByteArray("\x01never");
        const QString path = iniPath(QStringLiteral("damaged.ini"));
        writeRaw(path, bytes);
        SettingsStore store(path);
        const QString browser = store.GetSettingValue(QStringLiteral("Browser"));
        QVERIFY(browser.isEmpty() || browser == QLatin1String("ok"));
        if (bytes.contains("[Settings]\nBrowser=ok\n"))
            QCOMPARE(browser, QStringLiteral("ok"));
        // The store stays writable and readable afterwards.
        QVERIFY(store.SaveSettingValue(QStringLiteral("Tab2"), QStringLiteral("YES")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Tab2")), QStringLiteral("YES"));
        if (bytes.startsWith(random))
            QVERIFY(QFile::exists(path + QStringLiteral(".damaged"))); // the original is kept
        QFile::remove(path + QStringLiteral(".damaged"));
    }

    void fullDiskLeavesTheStoreAsItWas_data()
    {
        QTest::addColumn<int>("leaveFree");
        QTest::newRow("nothing free") << 0;
        // Room for a copy of the file, not for the new value: QSettings's own write is cut off.
        QTest::newRow("one page free") << 4096;
    }

    void fullDiskLeavesTheStoreAsItWas()
    {
        QFETCH(int, leaveFree);
        MountedFolder disk = MountedFolder::tmpfs(16);
        REQUIRE_MOUNTED(disk);
        const QString path = disk.path() + QStringLiteral("/s.ini");
        SettingsStore store(path);
        QVERIFY(store.SaveSettingValue(QStringLiteral("Browser"), QStringLiteral("firefox")));
        const QByteArray before = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        disk.fill(leaveFree);
        QVERIFY(!store.SaveSettingValue(QStringLiteral("Dialer"), QString(6000, u'd')));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(store.GetSettingValue(QStringLiteral("Browser")), QStringLiteral("firefox"));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("filler"), QStringLiteral("s.ini")}));
    }

    void unwritableLocationReportsFailure()
    {
        // A parent that is a file cannot hold the settings, even for root.
        writeRaw(iniPath(QStringLiteral("plainfile")), "x");
        SettingsStore store(iniPath(QStringLiteral("plainfile/s.ini")));
        QVERIFY(!store.SaveSettingValue(QStringLiteral("Browser"), QStringLiteral("x")));
        QCOMPARE(store.GetSettingValue(QStringLiteral("Browser")), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
