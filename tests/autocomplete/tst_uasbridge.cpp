#include "ServiceFixture.h"
#include "UasBridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

class TestUasBridge final : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_service = std::make_unique<ServiceFixture>(); }
    void cleanup() { m_service.reset(); }

    void serviceProgramComesFromItsConfiguration_data();
    void serviceProgramComesFromItsConfiguration();
    void firstConfigurationDirectoryWins();

    void registerStartsServiceAndSendsOwnPid();
    void registerUsesRunningServiceWithoutStartingAnother();
    void signOffAndSetupNeverStartService();
    void showSetupPostsPointerPosition_data();
    void showSetupPostsPointerPosition();
    void staleEndpointStartsServiceAfresh();
    void endpointIsNeverInASharedDirectory_data();
    void endpointIsNeverInASharedDirectory();

    void missingServiceIsQuickSilentNoOp_data();
    void missingServiceIsQuickSilentNoOp();
    void launchGivesUpAfterThreeSeconds();
    void silentServiceHoldsUsUpAtMostOneSecond();

private:
    static QString pidLine(const char *verb)
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(verb)).arg(QCoreApplication::applicationPid());
    }

    std::unique_ptr<ServiceFixture> m_service;
};

void TestUasBridge::serviceProgramComesFromItsConfiguration_data()
{
    // %1 stands for the fixture's temporary root.
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("expected");

    QTest::newRow("directory") << "[UAS]\nPath=%1/opt/uas\n"
                               << "%1/opt/uas/uas";
    QTest::newRow("trailing slash") << "[UAS]\nPath=%1/opt/uas/\n"
                                    << "%1/opt/uas/uas";
    QTest::newRow("blanks around") << "[UAS]\nPath =  %1/opt/uas  \n"
                                   << "%1/opt/uas/uas";
    QTest::newRow("comma in directory") << "[UAS]\nPath=%1/opt/a,b\n"
                                        << "%1/opt/a,b/uas";
    QTest::newRow("quoted with blank") << "[UAS]\nPath=\"%1/Flash Peak/uas\"\n"
                                       << "%1/Flash Peak/uas/uas";
    QTest::newRow("blank path") << "[UAS]\nPath=\n"
                                << "";
    QTest::newRow("relative path") << "[UAS]\nPath=opt/uas\n"
                                   << "";
    QTest::newRow("other section") << "[Other]\nPath=%1/opt/uas\n"
                                   << "";
    QTest::newRow("no configuration") << ""
                                      << "";
}

void TestUasBridge::serviceProgramComesFromItsConfiguration()
{
    QFETCH(QString, config);
    QFETCH(QString, expected);
    if (!config.isEmpty())
        m_service->writeConfig(config.arg(m_service->root()));
    QCOMPARE(UasBridge().GetUASPath(), expected.contains(u'%') ? expected.arg(m_service->root()) : expected);
}

void TestUasBridge::firstConfigurationDirectoryWins()
{
    const QString first = m_service->root() + QStringLiteral("/first");
    qputenv("XDG_CONFIG_DIRS", (first + u':' + m_service->configDir()).toLocal8Bit());
    m_service->writeConfig(QStringLiteral("[UAS]\nPath=/opt/second\n"));
    QCOMPARE(UasBridge().GetUASPath(), QStringLiteral("/opt/second/uas"));

    m_service->writeConfig(QStringLiteral("[UAS]\nPath=/opt/first\n"), first);
    QCOMPARE(UasBridge().GetUASPath(), QStringLiteral("/opt/first/uas"));

    qputenv("XDG_CONFIG_DIRS", "");
    QCOMPARE(UasBridge::configDirectories(), QStringList{QStringLiteral("/etc/xdg")});
}

void TestUasBridge::registerStartsServiceAndSendsOwnPid()
{
    m_service->installFake();
    UasBridge bridge;
    QVERIFY(!bridge.FindUASWindow());

    QVERIFY(bridge.RegisterWithUAS());
    QCOMPARE(m_service->starts(), 1);
    QCOMPARE(m_service->received(), QStringList{pidLine("REGISTER")});
    QVERIFY(bridge.FindUASWindow());
}

void TestUasBridge::registerUsesRunningServiceWithoutStartingAnother()
{
    m_service->installFake();
    UasBridge bridge;
    QVERIFY(bridge.LaunchUAS());
    QVERIFY(bridge.RegisterWithUAS());
    QVERIFY(bridge.RegisterWithUAS());
    QCOMPARE(m_service->starts(), 1);
    QCOMPARE(m_service->received(), QStringList({pidLine("REGISTER"), pidLine("REGISTER")}));
}

void TestUasBridge::signOffAndSetupNeverStartService()
{
    m_service->installFake();
    UasBridge bridge;
    QVERIFY(bridge.UnregisterFromUAS());
    bridge.ShowUASSetup(QPoint(1, 2));
    QCOMPARE(m_service->starts(), 0);

    QVERIFY(bridge.LaunchUAS());
    QVERIFY(bridge.UnregisterFromUAS());
    QCOMPARE(m_service->received(), QStringList{pidLine("UNREGISTER")});
}

void TestUasBridge::showSetupPostsPointerPosition_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("primary screen") << QPoint(640, 12) << "SHOWSETUP 640 12";
    QTest::newRow("screen left of the primary") << QPoint(-1280, 300) << "SHOWSETUP -1280 300";
}

void TestUasBridge::showSetupPostsPointerPosition()
{
    QFETCH(QPoint, pointer);
    QFETCH(QString, expected);
    m_service->installFake();
    UasBridge bridge;
    QVERIFY(bridge.LaunchUAS());

    bridge.ShowUASSetup(pointer);
    // Posted, so the service may record it a little later.
    QTRY_COMPARE(m_service->received(), QStringList{expected});
}

void TestUasBridge::endpointIsNeverInASharedDirectory_data()
{
    QTest::addColumn<bool>("runtimeDirSet");
    QTest::newRow("no XDG_RUNTIME_DIR") << false;
    QTest::newRow("XDG_RUNTIME_DIR open to everyone") << true;
}

void TestUasBridge::endpointIsNeverInASharedDirectory()
{
    QFETCH(bool, runtimeDirSet);
    const QString cache = m_service->root() + QStringLiteral("/cache");
    const QString shared = m_service->root() + QStringLiteral("/shared");
    QDir().mkpath(shared);
    QFile::setPermissions(shared, QFileDevice::Permissions(0x7777));
    qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
    if (runtimeDirSet)
        qputenv("XDG_RUNTIME_DIR", shared.toLocal8Bit());
    else
        qunsetenv("XDG_RUNTIME_DIR");

    const QString own = cache + QStringLiteral("/quillbox-plus/runtime");
    QCOMPARE(UasBridge::defaultEndpointName(), own + QStringLiteral("/uas-main-window"));
    QCOMPARE(QFile::permissions(own) & 0x0077, QFileDevice::Permissions());
    // The service finds us there.
    m_service->installFake();
    QVERIFY(UasBridge().RegisterWithUAS());
    QCOMPARE(m_service->received(), QStringList{pidLine("REGISTER")});
    m_service->stop();
    qunsetenv("XDG_CACHE_HOME");
}

void TestUasBridge::staleEndpointStartsServiceAfresh()
{
    // A service that crashed leaves its endpoint behind with nobody listening.
    QFile stale(UasBridge::defaultEndpointName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    m_service->installFake();

    UasBridge bridge;
    QVERIFY(!bridge.FindUASWindow());
    QVERIFY(bridge.RegisterWithUAS());
    QCOMPARE(m_service->starts(), 1);
    QCOMPARE(m_service->received(), QStringList{pidLine("REGISTER")});
}

void TestUasBridge::missingServiceIsQuickSilentNoOp_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("not installed") << "none";
    QTest::newRow("configured, program missing") << "missing";
    QTest::newRow("program not executable") << "not executable";
    QTest::newRow("program is a directory") << "directory";
}

void TestUasBridge::missingServiceIsQuickSilentNoOp()
{
    QFETCH(QString, setup);
    const QString program = m_service->serviceDir() + QStringLiteral("/uas");
    if (setup != QLatin1String("none"))
        m_service->writeConfig(QStringLiteral("[UAS]\nPath=%1\n").arg(m_service->serviceDir()));
    if (setup == QLatin1String("not executable")) {
        m_service->installFake();
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner));
    } else if (setup == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(program));
    }

    QElapsedTimer timer;
    timer.start();
    UasBridge bridge;
    QVERIFY(!bridge.LaunchUAS());
    QVERIFY(!bridge.RegisterWithUAS());
    QVERIFY(bridge.UnregisterFromUAS());
    bridge.ShowUASSetup(QPoint(10, 10));
    QVERIFY(!bridge.FindUASWindow());
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_service->starts(), 0);
}

void TestUasBridge::launchGivesUpAfterThreeSeconds()
{
    // Starts, but never opens its endpoint.
    m_service->installScript(QStringLiteral("exec sleep 8"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!UasBridge().RegisterWithUAS());
    const qint64 waited = timer.elapsed();
    QVERIFY2(waited >= UasBridge::kLaunchTimeoutMs - 100, qPrintable(QString::number(waited)));
    QVERIFY2(waited < UasBridge::kLaunchTimeoutMs + 1000, qPrintable(QString::number(waited)));
}

void TestUasBridge::silentServiceHoldsUsUpAtMostOneSecond()
{
    m_service->installFake(QStringLiteral("--silent"));
    UasBridge bridge;
    QVERIFY(bridge.LaunchUAS());

    QElapsedTimer timer;
    timer.start();
    QVERIFY2(!bridge.RegisterWithUAS(), "an unanswered registration is not a success");
    QVERIFY2(timer.elapsed() < UasBridge::kReplyTimeoutMs + 700,
             qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(m_service->received(), QStringList{pidLine("REGISTER")});
}

QTEST_GUILESS_MAIN(TestUasBridge)
#include "tst_uasbridge.moc"
