#include "AutoCompletionCommands.h"
#include "Dialogs.h"
#include "ServiceFixture.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

class TestAutoCompletionCommands final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Dialogs::setNeverBlock(true); }
    void init();
    void cleanup();

    void startUpRegistersUnlessTurnedOff_data();
    void startUpRegistersUnlessTurnedOff();
    void toggleWithoutServiceOnlyStoresChoice_data();
    void toggleWithoutServiceOnlyStoresChoice();
    void setupWithoutServiceOffersDownload_data();
    void setupWithoutServiceOffersDownload();
    void setupStartsInstalledServiceAtPointerWithoutRegistering();

private:
    QString pidLine(const char *verb) const
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(verb)).arg(QCoreApplication::applicationPid());
    }
    QString stored() const { return m_settings->GetSettingValue(SettingKey::AutoCompletion); }

    std::unique_ptr<ServiceFixture> m_service;
    std::unique_ptr<SettingsStore> m_settings;
    FakeLauncher m_launcher;
    std::unique_ptr<AutoCompletionCommands> m_commands;
};

void TestAutoCompletionCommands::init()
{
    Dialogs::clearSeams();
    m_service = std::make_unique<ServiceFixture>();
    m_settings = std::make_unique<SettingsStore>(m_service->root() + QStringLiteral("/Quillbox Plus.ini"));
    m_launcher = FakeLauncher();
    m_commands = std::make_unique<AutoCompletionCommands>(*m_settings, m_launcher);
}

void TestAutoCompletionCommands::cleanup()
{
    m_commands.reset();
    m_service.reset();
}

void TestAutoCompletionCommands::startUpRegistersUnlessTurnedOff_data()
{
    QTest::addColumn<QString>("value"); // a null string leaves the key out
    QTest::addColumn<bool>("on");

    QTest::newRow("first start, no value") << QString() << true;
    QTest::newRow("blank value") << "" << true;
    QTest::newRow("Yes") << "Yes" << true;
    QTest::newRow("No") << "No" << false;
    QTest::newRow("lower case") << "no" << false;
    QTest::newRow("mixed case with blanks") << "  nO\t" << false;
    QTest::newRow("not a plain no") << "No way" << true;
    QTest::newRow("something else") << "0" << true;
}

void TestAutoCompletionCommands::startUpRegistersUnlessTurnedOff()
{
    QFETCH(QString, value);
    QFETCH(bool, on);
    m_service->installFake();
    if (!value.isNull())
        QVERIFY(m_settings->SaveSettingValue(SettingKey::AutoCompletion, value));

    QCOMPARE(m_commands->startUp(), on);
    QCOMPARE(m_service->received(), on ? QStringList{pidLine("REGISTER")} : QStringList());
    QCOMPARE(m_service->starts(), on ? 1 : 0);
    QCOMPARE(stored(), value); // start-up reads, it never rewrites the choice
    QVERIFY(Dialogs::shown().isEmpty());
}

void TestAutoCompletionCommands::toggleWithoutServiceOnlyStoresChoice_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("expected");
    QTest::newRow("turned on") << true << "Yes";
    QTest::newRow("turned off") << false << "No";
}

void TestAutoCompletionCommands::toggleWithoutServiceOnlyStoresChoice()
{
    QFETCH(bool, on);
    QFETCH(QString, expected);
    m_commands->setEnabled(on);
    QCOMPARE(stored(), expected);
    QVERIFY(Dialogs::shown().isEmpty());
    QVERIFY(m_launcher.opened.isEmpty());
    QVERIFY(m_launcher.commandLines.isEmpty());
}

void TestAutoCompletionCommands::setupWithoutServiceOffersDownload_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("yes opens the download page")
        << QMessageBox::Yes << QStringList{UasBridge::downloadPage()};
    QTest::newRow("no ends the command") << QMessageBox::No << QStringList();
}

void TestAutoCompletionCommands::setupWithoutServiceOffersDownload()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, opened);
    Dialogs::queueButton(answer);

    m_commands->setup(nullptr, QPoint(5, 5));

    const QList<Dialogs::Shown> shown = Dialogs::shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().kind, QStringLiteral("message"));
    QCOMPARE(shown.first().title, QStringLiteral("Quillbox Plus"));
    QCOMPARE(shown.first().text, QStringLiteral("UAS is not installed! Do you wish to download it now?"));
    QCOMPARE(m_launcher.opened, opened);
    QVERIFY(stored().isNull());
}

void TestAutoCompletionCommands::setupStartsInstalledServiceAtPointerWithoutRegistering()
{
    m_service->installFake();
    m_commands->setup(nullptr, QPoint(300, 200));

    QTRY_COMPARE(m_service->received(), QStringList{QStringLiteral("SHOWSETUP 300 200")});
    QCOMPARE(m_service->starts(), 1);
    QVERIFY(Dialogs::shown().isEmpty());

    // A second call finds it running.
    m_commands->setup(nullptr, QPoint(1, 2));
    QTRY_COMPARE(m_service->received().size(), 2);
    QCOMPARE(m_service->starts(), 1);
}

QTEST_GUILESS_MAIN(TestAutoCompletionCommands)
#include "tst_autocompletioncommands.moc"
