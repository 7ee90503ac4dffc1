#include "ProgramPlaces.h"
#include "TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestTrayIcon : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { ProgramPlaces::overrideDataDirectory({}); }

    void clicksBringTheWindowBack_data();
    void clicksBringTheWindowBack();
    void rightClickRestoresBeforeTheMenuOpens();
    void menuOffersCloseThenAbout();
    void menuItemsAskForTheirCommand_data();
    void menuItemsAskForTheirCommand();
    void iconCarriesTheProgramNameUntilDeleted();
    void programIconHasEveryShippedSize();
    void programIconNeverEmptyWithoutItsFiles();
};

void TestTrayIcon::clicksBringTheWindowBack_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<int>("restores");
    QTest::addColumn<int>("toggles");
    QTest::addColumn<bool>("menuOpens");
    QTest::newRow("left click") << QSystemTrayIcon::Trigger << 0 << 1 << false;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 1 << 0 << false;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << 1 << 0 << false;
    QTest::newRow("right click") << QSystemTrayIcon::Context << 1 << 0 << true;
    QTest::newRow("mouse move and the like") << QSystemTrayIcon::Unknown << 0 << 0 << false;
}

void TestTrayIcon::clicksBringTheWindowBack()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(int, restores);
    QFETCH(int, toggles);
    QFETCH(bool, menuOpens);
    TrayIcon tray;
    QSignalSpy restore(&tray, &TrayIcon::restoreRequested);
    QSignalSpy toggle(&tray, &TrayIcon::toggleRequested);
    QSignalSpy menu(&tray, &TrayIcon::popupMenuRequested);
    tray.handleActivation(reason);
    QCOMPARE(restore.count(), restores);
    QCOMPARE(toggle.count(), toggles);
    QCOMPARE(menu.count(), menuOpens ? 1 : 0);
    QCOMPARE(tray.popupMenu()->isVisible(), menuOpens);
    tray.popupMenu()->hide();
}

void TestTrayIcon::rightClickRestoresBeforeTheMenuOpens()
{
    TrayIcon tray;
    int menuShownAtRestore = -1;
    connect(&tray, &TrayIcon::restoreRequested, this,
            [&] { menuShownAtRestore = tray.popupMenu()->isVisible() ? 1 : 0; });
    tray.handleActivation(QSystemTrayIcon::Context);
    QCOMPARE(menuShownAtRestore, 0);
    QVERIFY(tray.popupMenu()->isVisible());
    tray.popupMenu()->hide();
}

void TestTrayIcon::menuOffersCloseThenAbout()
{
    TrayIcon tray;
    QStringList captions;
    for (QAction *action : tray.popupMenu()->actions())
        captions << action->text();
    QCOMPARE(captions,
             (QStringList{QStringLiteral("&Close Quillbox Plus"), QStringLiteral("&About Quillbox Plus")}));
}

void TestTrayIcon::menuItemsAskForTheirCommand_data()
{
    QTest::addColumn<bool>("chooseClose");
    QTest::newRow("close") << true;
    QTest::newRow("about") << false;
}

void TestTrayIcon::menuItemsAskForTheirCommand()
{
    QFETCH(bool, chooseClose);
    TrayIcon tray;
    QSignalSpy close(&tray, &TrayIcon::closeRequested);
    QSignalSpy about(&tray, &TrayIcon::aboutRequested);
    tray.handleActivation(QSystemTrayIcon::Context);
    QMenu *menu = tray.popupMenu();
    QAction *chosen = chooseClose ? tray.closeAction() : tray.aboutAction();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    QTRY_COMPARE(close.count() + about.count(), 1);
    QCOMPARE(close.count(), chooseClose ? 1 : 0);
    QCOMPARE(about.count(), chooseClose ? 0 : 1);
    QVERIFY(!menu->isVisible());
}

void TestTrayIcon::iconCarriesTheProgramNameUntilDeleted()
{
    TrayIcon tray;
    QVERIFY(!tray.isShown());
    tray.InitTray();
    QVERIFY(tray.isShown());
    QCOMPARE(tray.toolTip(), QStringLiteral("Quillbox Plus"));
    tray.DeleteIcon();
    QVERIFY(!tray.isShown());
    tray.DeleteIcon(); // shutdown may reach it twice; the second time changes nothing
    QVERIFY(!tray.isShown());
}

void TestTrayIcon::programIconHasEveryShippedSize()
{
    ProgramPlaces::overrideDataDirectory(QStringLiteral(QB_SOURCE_DIR "/data"));
    const QIcon icon = TrayIcon::programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        // A file that is not really the size its folder says would show blurred in the tray.
        const QImage file(
            QStringLiteral(QB_SOURCE_DIR "/data/icons/hicolor/%1x%1/apps/quillbox.png").arg(size));
        QCOMPARE(file.size(), QSize(size, size));
    }
}

void TestTrayIcon::programIconNeverEmptyWithoutItsFiles()
{
    QTemporaryDir empty;
    ProgramPlaces::overrideDataDirectory(empty.path());
    QVERIFY(!TrayIcon::programIcon().isNull());
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
