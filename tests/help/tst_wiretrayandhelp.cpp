#include "ClickableLabel.h"
#include "HelpWindow.h"
#include "MakerAddresses.h"
#include "TrayIcon.h"
#include "WindowFixture.h"
#include "AboutBox.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QStatusBar>

namespace {
QList<AboutBox *> aboutBoxes()
{
    QList<AboutBox *> boxes;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<AboutBox *>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}
} // namespace

// The main window's Help menu and the tray menu reach the manual and the About box, and the About
// box's links go through the launch rules without ever asking for setup.
class TestWireTrayAndHelp : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_f;

private slots:
    void init()
    {
        ProgramPlaces::overrideDataDirectory(QStringLiteral(QB_SOURCE_DIR "/data"));
        m_f = std::make_unique<WindowFixture>();
        m_f->quietSettings();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<AboutBox *>(w) || qobject_cast<HelpWindow *>(w))
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_f.reset();
        ProgramPlaces::overrideDataDirectory({});
    }

    void helpMenuAndTrayMenuShowOneAboutBox()
    {
        QVERIFY(m_f->start());
        QAction *about = m_f->window->menuItem(QStringLiteral("about"));
        QVERIFY(about);
        about->trigger();
        QCOMPARE(aboutBoxes().size(), 1);
        TrayIcon *tray = m_f->window->trayIcon();
        QVERIFY(tray);
        QSignalSpy asked(tray, &TrayIcon::aboutRequested);
        tray->aboutAction()->trigger();
        QTRY_COMPARE(asked.count(), 1);
        QCOMPARE(aboutBoxes().size(), 1);
        QCOMPARE(aboutBoxes().first()->webSiteLabel()->text(),
                 QStringLiteral("Click Here to Visit Our Web Site: the manual's About page"));
        // The web page is the shipped manual's About page; with no support address built in
        // there is no e-mail line to click.
        const QUrl page(MakerAddresses::aboutPage());
        QVERIFY(page.isLocalFile());
        QVERIFY(QFileInfo(page.toLocalFile()).isFile());
        QVERIFY(aboutBoxes().first()->emailLabel()->isHidden());
    }

    void contentsOpensTheShippedManual()
    {
        QVERIFY(m_f->start());
        QAction *contents = m_f->window->menuItem(QStringLiteral("helpcontents"));
        QVERIFY(contents);
        contents->trigger();
        HelpWindow *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *h = qobject_cast<HelpWindow *>(w); h && h->isVisible())
                help = h;
        QVERIFY(help);
        QCOMPARE(help->currentPage(), QUrl::fromLocalFile(helpContentsPath()));
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void aboutLinks_data()
    {
        QTest::addColumn<QString>("systemHandlers");
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("started");
        const QString site = MakerAddresses::aboutPage();
        QTest::newRow("web site, desktop handlers") << "YES"
                                                    << ""
                                                    << "Label1" << QStringList{site} << QStringList{};
        QTest::newRow("picture, desktop handlers") << "YES"
                                                   << ""
                                                   << "Picture2" << QStringList{site} << QStringList{};
        QTest::newRow("web site, own browser")
            << "NO"
            << "/usr/bin/browser"
            << "Label1" << QStringList{} << QStringList{QStringLiteral("/usr/bin/browser ") + site};
    }
    void aboutLinks()
    {
        QFETCH(QString, systemHandlers);
        QFETCH(QString, browser);
        QFETCH(QString, link);
        QFETCH(QStringList, opened);
        QFETCH(QStringList, started);
        m_f->settings->SaveSettingValue(QStringLiteral("IEEnhanced"), systemHandlers);
        m_f->settings->SaveSettingValue(QStringLiteral("Browser"), browser);
        QVERIFY(m_f->start());
        m_f->window->menuItem(QStringLiteral("about"))->trigger();
        auto *label = aboutBoxes().value(0)->findChild<ClickableLabel *>(link);
        QVERIFY(label);
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(m_f->fakes.launcher->opened, opened);
        QCOMPARE(m_f->fakes.launcher->commandLines, started);
    }

    void failedLinksAreSilentWhileMenuLaunchesSaySo()
    {
        m_f->settings->SaveSettingValue(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        QVERIFY(m_f->start());
        m_f->fakes.launcher->succeed = false;
        m_f->window->menuItem(QStringLiteral("about"))->trigger();
        QTest::mouseClick(aboutBoxes().value(0)->webSiteLabel(), Qt::LeftButton);
        QCOMPARE(m_f->fakes.launcher->opened.size(), 1);
        QVERIFY(m_f->window->statusBar()->currentMessage().isEmpty());
        m_f->window->menuItem(QStringLiteral("emailprogram"))->trigger();
        QCOMPARE(m_f->fakes.launcher->opened.size(), 2);
        QVERIFY(!m_f->window->statusBar()->currentMessage().isEmpty());
    }

    void linksWithNothingSetUpAskNothing()
    {
        m_f->settings->SaveSettingValue(QStringLiteral("IEEnhanced"), QStringLiteral("NO"));
        m_f->settings->SaveSettingValue(QStringLiteral("Browser"), QString());
        m_f->settings->SaveSettingValue(QStringLiteral("EMail"), QString());
        QVERIFY(m_f->start());
        QAction *setup = m_f->window->menuItem(QStringLiteral("set"));
        QVERIFY(setup);
        QSignalSpy setupTriggered(setup, &QAction::triggered);
        m_f->window->menuItem(QStringLiteral("about"))->trigger();
        AboutBox *about = aboutBoxes().value(0);
        QVERIFY(about);
        QTest::mouseClick(about->webSiteLabel(), Qt::LeftButton);
        QTest::mouseClick(about->emailLabel(), Qt::LeftButton);
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(setupTriggered.count(), 0);
        QVERIFY(m_f->fakes.launcher->opened.isEmpty());
        QVERIFY(about->isVisible());
    }
};

QTEST_MAIN(TestWireTrayAndHelp)
#include "tst_wiretrayandhelp.moc"
