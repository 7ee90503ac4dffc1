#include "RunDialog.h"
#include "WindowFixture.h"

#include <QAction>
#include <QSignalSpy>
#include <QStatusBar>

// The main window's Applications menu, command toolbar and note boxes reach the launch commands.
class TestWireLaunching : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_f;

private slots:
    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        m_f->quietSettings();
        m_f->settings->SaveSettingValue(QStringLiteral("Browser"), QStringLiteral("/usr/bin/browser"));
        m_f->settings->SaveSettingValue(QStringLiteral("EMail"), QStringLiteral("/usr/bin/mailer"));
        QVERIFY(m_f->start());
    }
    void cleanup() { m_f.reset(); }

    void menuItemsAndButtonsLaunchOnce_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("started");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("handler"); // the scheme whose default handler starts
        QTest::newRow("web browser") << "browser"
                                     << "Web"
                                     << "/usr/bin/browser"
                                     << ""
                                     << "";
        QTest::newRow("e-mail program") << "emailprogram"
                                        << "EMail"
                                        << "/usr/bin/mailer"
                                        << ""
                                        << "";
        QTest::newRow("dialer") << "dialer"
                                << "Dialer"
                                << ""
                                << ""
                                << "tel";
        QTest::newRow("terminal") << "dosprompt"
                                  << "DOS"
                                  << ""
                                  << "cmd"
                                  << "";
        QTest::newRow("calculator") << "calc"
                                    << "Calc"
                                    << ""
                                    << "calc.exe"
                                    << "";
    }
    void menuItemsAndButtonsLaunchOnce()
    {
        QFETCH(QString, item);
        QFETCH(QString, button);
        QFETCH(QString, started);
        QFETCH(QString, opened);
        QFETCH(QString, handler);
        const auto once = [](const QString &what) {
            return what.isEmpty() ? QStringList() : QStringList{what};
        };
        for (QAction *action : {m_f->window->menuItem(item), m_f->window->commandButton(button)}) {
            QVERIFY(action);
            FakeLauncher &launcher = *m_f->fakes.launcher;
            launcher.commandLines.clear();
            launcher.opened.clear();
            launcher.handlerLaunches.clear();
            action->trigger();
            QCOMPARE(launcher.commandLines, once(started));
            QCOMPARE(launcher.opened, once(opened));
            QCOMPARE(launcher.handlerLaunches, once(handler));
        }
    }

    void setupPromptOpensTheSetupItem()
    {
        m_f->settings->SaveSettingValue(QStringLiteral("Browser"), QString());
        QAction *setup = m_f->window->menuItem(QStringLiteral("set"));
        QVERIFY(setup);
        QSignalSpy setupTriggered(setup, &QAction::triggered);
        m_f->window->menuItem(QStringLiteral("browser"))->trigger();
        QCOMPARE(Dialogs::shown().first().title, QStringLiteral("Setup Your Preferences"));
        QCOMPARE(setupTriggered.size(), 1);
        QVERIFY(m_f->fakes.launcher->commandLines.isEmpty());
    }

    void runOpensOneModelessDialog()
    {
        m_f->window->menuItem(QStringLiteral("Run"))->trigger();
        m_f->window->commandButton(QStringLiteral("Run"))->trigger();
        const QList<RunDialog *> dialogs = m_f->window->findChildren<RunDialog *>();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs.first()->isVisible());
        QVERIFY(!dialogs.first()->isModal());
    }

    void doubleClickInWebTabOpensTheAddress()
    {
        RichTextBox *box = m_f->window->editor(2);
        QVERIFY(box);
        box->setText(QStringLiteral("News at www.example.com/news."));
        box->setSelStart(box->Text().indexOf(QLatin1String("example")));
        emit box->DblClick();
        QCOMPARE(m_f->fakes.launcher->commandLines,
                 QStringList{QStringLiteral("/usr/bin/browser www.example.com/news")});
    }

    // A message stays only while it holds: a launch that works takes away what an earlier one
    // said, and a message too long for the status bar can be read whole.
    void statusMessagesGoWhenTheirMatterIsOver()
    {
        Quillbox &w = *m_f->window;
        m_f->showActive();
        RichTextBox *box = w.editor(2);
        box->setText(QStringLiteral("no address here"));
        box->setSelStart(3);
        emit box->DblClick();
        QVERIFY(w.statusBar()->currentMessage().startsWith(QStringLiteral("Copied, but not opened")));
        w.menuItem(QStringLiteral("browser"))->trigger();
        QCOMPARE(m_f->fakes.launcher->commandLines.size(), 1);
        QCOMPARE(w.statusBar()->currentMessage(), QString());

        const QString longMessage = QStringLiteral("a message that goes on ").repeated(12).trimmed();
        w.showStatus(longMessage, 0);
        QCOMPARE(w.statusBar()->toolTip(), longMessage);
        QCOMPARE(w.notices(), QStringList{longMessage});
        w.showStatus(QStringLiteral("short"), 0);
        QVERIFY(w.notices().isEmpty());
        w.showStatus(longMessage, 0);
        w.statusBar()->clearMessage();
        QVERIFY(w.notices().isEmpty() && w.statusBar()->toolTip().isEmpty());
    }
};

QTEST_MAIN(TestWireLaunching)
#include "tst_wirelaunching.moc"
