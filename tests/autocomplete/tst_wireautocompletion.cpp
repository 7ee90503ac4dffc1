#include "Dialogs.h"
#include "ProgramPlaces.h"
#include "Quillbox.h"
#include "ServiceFixture.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "UasBridge.h"
#include "fake/FakePlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>

#include <memory>

// The auto-completion menu items of the real main window, against the recording fake service.
class TestWireAutoCompletion final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Dialogs::setNeverBlock(true); }
    void init();
    void cleanup();

    void startUpSetsCheckMarkAndRegisters_data();
    void startUpSetsCheckMarkAndRegisters();
    void toggleStoresChoiceThenRegistersOrSignsOff();
    void setupWithoutServiceOffersDownloadPage();
    void shutdownSignsOffOnce();

private:
    // Builds the window and runs its start-up with the given "AutoCompletion" value (null: none).
    void startWindow(const QString &autoCompletion);
    QAction *item(const char *name) const { return m_window->menuItem(QLatin1String(name)); }
    QString pidLine(const char *verb) const
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(verb)).arg(QCoreApplication::applicationPid());
    }

    std::unique_ptr<ServiceFixture> m_service;
    std::unique_ptr<SettingsStore> m_settings;
    FakePlatform m_fakes;
    Platform m_platform;
    std::unique_ptr<Quillbox> m_window;
};

void TestWireAutoCompletion::init()
{
    Dialogs::clearSeams();
    m_service = std::make_unique<ServiceFixture>();
    QDir().mkpath(m_service->root() + QStringLiteral("/notes"));
    ProgramPlaces::overrideProgramDirectory(m_service->root() + QStringLiteral("/notes"));
    m_settings = std::make_unique<SettingsStore>(m_service->root() + QStringLiteral("/Quillbox Plus.ini"));
    m_settings->SaveSettingValue(SettingKey::NoSplash, QStringLiteral("1"));
    m_platform = m_fakes.make();
}

void TestWireAutoCompletion::cleanup()
{
    m_window.reset();
    m_service.reset();
    ProgramPlaces::overrideProgramDirectory({});
}

void TestWireAutoCompletion::startWindow(const QString &autoCompletion)
{
    if (!autoCompletion.isNull())
        QVERIFY(m_settings->SaveSettingValue(SettingKey::AutoCompletion, autoCompletion));
    m_window = std::make_unique<Quillbox>(*m_settings, m_platform);
    QVERIFY(m_window->startUp());
    QVERIFY(item("autocompletion"));
    QVERIFY(item("setupautocompletion"));
}

void TestWireAutoCompletion::startUpSetsCheckMarkAndRegisters_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("first start") << QString() << true;
    QTest::newRow("Yes") << "Yes" << true;
    QTest::newRow("no with blanks") << " no " << false;
}

void TestWireAutoCompletion::startUpSetsCheckMarkAndRegisters()
{
    QFETCH(QString, value);
    QFETCH(bool, on);
    m_service->installFake();
    startWindow(value);

    QVERIFY(item("autocompletion")->isCheckable());
    QCOMPARE(item("autocompletion")->isChecked(), on);
    QCOMPARE(m_service->received(), on ? QStringList{pidLine("REGISTER")} : QStringList());
}

void TestWireAutoCompletion::toggleStoresChoiceThenRegistersOrSignsOff()
{
    m_service->installFake();
    startWindow(QString());

    item("autocompletion")->trigger();
    QVERIFY(!item("autocompletion")->isChecked());
    QCOMPARE(m_settings->GetSettingValue(SettingKey::AutoCompletion), QStringLiteral("No"));
    QCOMPARE(m_service->received(), QStringList({pidLine("REGISTER"), pidLine("UNREGISTER")}));

    item("autocompletion")->trigger();
    QVERIFY(item("autocompletion")->isChecked());
    QCOMPARE(m_settings->GetSettingValue(SettingKey::AutoCompletion), QStringLiteral("Yes"));
    QCOMPARE(m_service->received().size(), 3);
    QCOMPARE(m_service->received().last(), pidLine("REGISTER"));
}

void TestWireAutoCompletion::setupWithoutServiceOffersDownloadPage()
{
    startWindow(QString());
    Dialogs::clearSeams();
    Dialogs::queueButton(QMessageBox::Yes);

    item("setupautocompletion")->trigger();

    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().first().text,
             QStringLiteral("UAS is not installed! Do you wish to download it now?"));
    QCOMPARE(m_fakes.launcher->opened, QStringList{UasBridge::downloadPage()});
    QVERIFY(item("autocompletion")->isChecked());
}

void TestWireAutoCompletion::shutdownSignsOffOnce()
{
    m_service->installFake();
    startWindow(QStringLiteral("No"));
    QVERIFY(UasBridge().LaunchUAS());

    m_window->shutdown();
    m_window.reset(); // destroying the window must not sign off a second time
    QCOMPARE(m_service->received(), QStringList{pidLine("UNREGISTER")});
}

QTEST_MAIN(TestWireAutoCompletion)
#include "tst_wireautocompletion.moc"
