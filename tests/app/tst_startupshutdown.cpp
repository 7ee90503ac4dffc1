#include "WindowFixture.h"

#include "PasswordRecord.h"
#include "TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

// Start-up and shutdown meeting what happens meanwhile: the tray, requests to end, session
// checkpoints, a window with every tab hidden, and focus leaving a note for somewhere else.
class TestStartupShutdown : public QObject
{
    Q_OBJECT

    static constexpr char kNote1[] = "Saturday: call the garage";

    // Quiet settings and two notes on disk.
    static void writeNotes(WindowFixture &f)
    {
        f.quietSettings();
        WindowFixture::writeFile(f.noteDir() + "/notes.rtf", WindowFixture::rtf(kNote1));
        WindowFixture::writeFile(f.noteDir() + "/web.rtf", WindowFixture::rtf("https://example.org/"));
    }

    // Runs fn once start-up is waiting on what it shows (the password question or the splash).
    static void whileStartUpWaits(const std::function<void()> &fn)
    {
        auto *poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, fn] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            const bool splash = std::any_of(windows.begin(), windows.end(), [](QWidget *w) {
                return w->objectName() == "SplashScreen" && w->isVisible();
            });
            if (!splash && !QApplication::activeModalWidget())
                return;
            poll->deleteLater();
            poll->stop();
            fn();
        });
        poll->start(50);
    }

    static void answerPassword(const QString &answer)
    {
        auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(prompt);
        prompt->setTextValue(answer);
        prompt->accept();
    }

private slots:
    void endRequestedDuringStartUpEndsItWritingNothing_data()
    {
        QTest::addColumn<bool>("password");
        QTest::addColumn<bool>("fromTray"); // else a termination request (SIGTERM, logout)
        QTest::newRow("tray Close during the password question") << true << true;
        QTest::newRow("termination during the password question") << true << false;
        QTest::newRow("tray Close during the splash") << false << true;
        QTest::newRow("termination during the splash") << false << false;
    }
    void endRequestedDuringStartUpEndsItWritingNothing()
    {
        QFETCH(bool, password);
        QFETCH(bool, fromTray);
        WindowFixture f;
        writeNotes(f);
        if (password)
            f.settings->SaveSettingValue("drow", PasswordRecord::wrap("secret"));
        else
            f.settings->SaveSettingValue("NoSplash", QStringLiteral("0"));
        Dialogs::setNeverBlock(false);
        const QDateTime written = QFileInfo(f.noteDir() + "/notes.rtf").lastModified();

        Quillbox *window = nullptr;
        whileStartUpWaits([&window, fromTray] {
            if (fromTray)
                window->trayIcon()->closeAction()->trigger();
            else
                window->shutdown();
        });
        f.platform = f.fakes.make();
        f.window = std::make_unique<Quillbox>(*f.settings, f.platform);
        window = f.window.get();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!f.window->startUp());
        QVERIFY(f.window->endedDuringStartUp());
        QVERIFY2(timer.elapsed() < 1500, "start-up went on after the request to end");
        QVERIFY(!QApplication::activeModalWidget());

        // Nothing written: the notes as they were, none created, no place or size stored.
        QCOMPARE(WindowFixture::readFile(f.noteDir() + "/notes.rtf"), WindowFixture::rtf(kNote1));
        QCOMPARE(QFileInfo(f.noteDir() + "/notes.rtf").lastModified(), written);
        QVERIFY(!QFileInfo::exists(f.noteDir() + "/email.rtf"));
        QVERIFY(f.settings->GetSettingValue("Height").isEmpty());
        QVERIFY(f.settings->GetSettingValue("CoordsX").isEmpty());
        QVERIFY(!f.window->isVisible());
        // The window never appears afterwards either.
        QTest::qWait(100);
        QVERIFY(!f.window->isVisible());
    }

    void trayClickDuringThePasswordQuestionKeepsTheWindowHidden()
    {
        WindowFixture f;
        writeNotes(f);
        f.settings->SaveSettingValue("drow", PasswordRecord::wrap("secret"));
        Dialogs::setNeverBlock(false);

        Quillbox *window = nullptr;
        bool hiddenAfterClicks = false;
        bool promptStillOpen = false;
        whileStartUpWaits([&] {
            for (auto reason :
                 {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick})
                window->trayIcon()->handleActivation(reason);
            QTest::qWait(50);
            hiddenAfterClicks = !window->isVisible();
            promptStillOpen = qobject_cast<QInputDialog *>(QApplication::activeModalWidget()) != nullptr;
            answerPassword("secret");
        });
        f.platform = f.fakes.make();
        f.window = std::make_unique<Quillbox>(*f.settings, f.platform);
        window = f.window.get();
        QVERIFY(f.window->startUp());
        QVERIFY(hiddenAfterClicks);
        QVERIFY(promptStillOpen);
        QCOMPARE(f.window->editor(1)->Text(), QString::fromLatin1(kNote1));

        // Once start-up is over the tray brings the window back as always, and Close writes.
        f.window->trayIcon()->handleActivation(QSystemTrayIcon::Trigger);
        QVERIFY(f.window->isVisible());
        f.window->shutdown();
        QVERIFY(f.window->hasShutDown());
        QVERIFY(QFileInfo::exists(f.noteDir() + "/email.rtf"));
    }

    void laterStartDuringStartUpIsAnsweredOnceItIsOver()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("NoSplash", QStringLiteral("0"));
        f.settings->SaveSettingValue("StartMin", QStringLiteral("1"));
        f.settings->SaveSettingValue("ShowinTaskBar", QStringLiteral("YES"));
        Quillbox *window = nullptr;
        bool visibleDuringStartUp = true;
        whileStartUpWaits([&] {
            window->comeForward();
            visibleDuringStartUp = window->isVisible();
        });
        f.platform = f.fakes.make();
        f.window = std::make_unique<Quillbox>(*f.settings, f.platform);
        window = f.window.get();
        QVERIFY(f.window->startUp());
        QVERIFY(!visibleDuringStartUp);
        f.window->showAsStarted();
        // Started minimised, yet the later start asked for the window.
        QTRY_VERIFY(f.window->isVisible() && !f.window->isMinimized());
    }

    void sessionCheckpointWritesTheNotesAndRunsOn()
    {
        WindowFixture f;
        writeNotes(f);
        QVERIFY(f.start());
        f.showActive();
        WindowFixture::typeInto(*f.window, 1, "Buy bread. ");
        RichTextBox *box = f.window->editor(1);
        QVERIFY(f.window->NoteChanged(1));

        f.window->commitData();
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("Buy bread."));
        QVERIFY(!f.window->NoteChanged(1));
        QVERIFY(!f.window->hasShutDown());
        QVERIFY(f.window->isVisible());

        // Still running: a later edit is written back as usual, and so is everything at the end.
        QTest::keyClicks(box, "Milk. ");
        f.window->tabStrip()->setFocus();
        QTRY_VERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("Milk."));
        f.window->shutdown();
        QVERIFY(QFileInfo::exists(f.noteDir() + "/tab7.rtf"));
    }

    void withEveryTabHiddenNoCommandReachesAHiddenNote_data()
    {
        QTest::addColumn<QString>("item");
        for (const char *item : {"new", "open", "clear", "print", "EditSelectAll", "copy", "paste", "cut",
                                 "font", "boldmnu", "find", "Insert", "pasteplain", "undo", "redo"})
            QTest::newRow(item) << QString::fromLatin1(item);
    }
    void withEveryTabHiddenNoCommandReachesAHiddenNote()
    {
        QFETCH(QString, item);
        WindowFixture f;
        writeNotes(f);
        for (const char *key : {"Tab1", "Tab2", "Tab3", "Tab4", "Tab5"})
            f.settings->SaveSettingValue(key, QStringLiteral("NO"));
        QVERIFY(f.start());
        f.showActive();
        QCOMPARE(f.window->tabStrip()->count(), 0);
        QGuiApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
        // The hidden note has something to undo and to redo: changes made to it by the program.
        RichTextBox *hidden = f.window->editor(1);
        hidden->moveCursor(QTextCursor::End);
        hidden->insertPlainText(QStringLiteral("!"));
        hidden->moveCursor(QTextCursor::Start);
        hidden->insertPlainText(QStringLiteral("?"));
        hidden->undo();
        f.window->setNoteChanged(1, false);
        const QString before = hidden->Text();
        QVERIFY(!f.window->menuItem(item)->isEnabled());
        f.window->menuItem(item)->trigger();
        QTest::keyClicks(f.window.get(), "typed");
        QCOMPARE(hidden->Text(), before);
        QVERIFY(!f.window->NoteChanged(1));
        QVERIFY(!f.window->fontNameBox()->isEnabled());
        QVERIFY(!f.window->formatButton("Bold")->isEnabled());
        QVERIFY(!f.window->commandButton("Paste")->isEnabled());
        // The commands that do not act on a note stay.
        QVERIFY(f.window->menuItem("set")->isEnabled());
        QVERIFY(f.window->menuItem("exit")->isEnabled());

        // A tab shown again brings them back.
        std::array<TabChoice, 7> tabs{};
        tabs[0].shown = true;
        f.window->rebuildTabStrip(tabs);
        QVERIFY(f.window->menuItem(item)->isEnabled());
        QVERIFY(f.window->fontNameBox()->isEnabled());
        QVERIFY(f.window->commandButton("Paste")->isEnabled());
    }

    void focusLeavingForAPopupTheMenuBarOrAnotherProgramWritesNothing_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("programStillActive");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("another control") << int(Qt::TabFocusReason) << true << true;
        QTest::newRow("a click elsewhere in the window") << int(Qt::MouseFocusReason) << true << true;
        QTest::newRow("a dialog of ours") << int(Qt::ActiveWindowFocusReason) << true << true;
        QTest::newRow("another program") << int(Qt::ActiveWindowFocusReason) << false << false;
        QTest::newRow("a popup menu") << int(Qt::PopupFocusReason) << true << false;
        QTest::newRow("Alt to the menu bar") << int(Qt::MenuBarFocusReason) << true << false;
    }
    void focusLeavingForAPopupTheMenuBarOrAnotherProgramWritesNothing()
    {
        QFETCH(int, reason);
        QFETCH(bool, programStillActive);
        QFETCH(bool, leaves);
        QCOMPARE(RichTextBox::leavesNote(Qt::FocusReason(reason), programStillActive), leaves);
    }

    void altToTheMenuBarWritesNothing()
    {
        WindowFixture f;
        writeNotes(f);
        QVERIFY(f.start());
        f.showActive();
        WindowFixture::typeInto(*f.window, 1, "Typed. ");
        RichTextBox *box = f.window->editor(1);
        // Alt pressed and released alone takes the keyboard to the menu bar.
        QTest::keyPress(box, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(box, Qt::Key_Alt, Qt::NoModifier);
        QTRY_VERIFY(f.window->menuBar()->hasFocus());
        QCOMPARE(WindowFixture::readFile(f.noteDir() + "/notes.rtf"), WindowFixture::rtf(kNote1));
        QVERIFY(f.window->NoteChanged(1));
    }
};

QTEST_MAIN(TestStartupShutdown)
#include "tst_startupshutdown.moc"
