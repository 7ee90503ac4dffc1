#include "WindowFixture.h"

#include "HotKeyControl.h"
#include "PasswordRecord.h"
#include "WindowGeometry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QToolBar>
#include <QWindow>

// The main window from start-up to shutdown: what a user sees after starting, the note tabs and
// their files, the window's place and size, stay-on-top, and what closing writes.
class TestQuillbox : public QObject
{
    Q_OBJECT

    static QStringList tabCaptions(const Quillbox &w)
    {
        QStringList captions;
        for (int i = 0; i < w.tabStrip()->count(); ++i)
            captions << QStringLiteral("%1:%2")
                            .arg(w.tabStrip()->tabData(i).toInt())
                            .arg(w.tabStrip()->tabText(i));
        return captions;
    }
    static int visiblePanels(const Quillbox &w)
    {
        int count = 0;
        for (int n = 1; n <= 7; ++n)
            count += w.isPanelVisible(n) ? 1 : 0;
        return count;
    }

private slots:
    void firstStartUsesTheDefaults()
    {
        WindowFixture f; // no settings at all: splash and auto-completion included
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        QCOMPARE(tabCaptions(w), (QStringList{"1:Notes", "2:Web Pages", "3:E-Mail Addresses",
                                              "4:Phone/Fax Numbers", "5:Other"}));
        QCOMPARE(w.tabStrip()->currentIndex(), 0);
        QCOMPARE(w.ActiveEditor(), w.editor(1));
        QVERIFY(w.isPanelVisible(1));
        QCOMPARE(visiblePanels(w), 1);
        QCOMPARE(f.settings->GetSettingValue("OnTop"), QStringLiteral("No"));
        QVERIFY(!w.menuItem("setontop")->isChecked());
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.menuItem("browser")->isVisible());
        QVERIFY(w.commandButton("DOS")->isVisible());
        QVERIFY(w.menuItem("autocompletion")->isChecked());
        QCOMPARE(w.NoteDir(), f.programDir());
        QVERIFY(!w.isMinimized() && !w.isMaximized());
        // Centred at the design size.
        const QRect screen = w.screen()->geometry();
        QVERIFY(qAbs(w.frameGeometry().center().x() - screen.center().x()) <= 2);
        QVERIFY(qAbs(w.frameGeometry().center().y() - screen.center().y()) <= 2);
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!w.NoteChanged(n));
    }

    void toolbarButtonsAreFoundByTheirExactKeys()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        const Quillbox &w = *f.window;
        // Keys match exactly, blanks and case included; separators are no buttons.
        QVERIFY(w.commandButton("Find and Replace"));
        QVERIFY(!w.commandButton("find and replace"));
        QVERIFY(!w.commandButton("FindandReplace"));
        QVERIFY(!w.commandButton(QString()));
        QCOMPARE(w.commandToolbar()->actions().size(), 22);
        QCOMPARE(w.formatToolbar()->actions().size(), 11);
        // Every image is really there, not an empty placeholder.
        for (const QString key :
             {"Bold", "Italic", "Underline", "FPt", "Bullets", "Align Left", "Center", "Align Right"})
            QVERIFY2(w.formatButton(key)->isCheckable() && !w.formatButton(key)->icon().pixmap(16).isNull(),
                     qPrintable(key));
        for (QAction *a : w.commandToolbar()->actions())
            QVERIFY2(a->isSeparator() || !a->icon().pixmap(22).isNull(), qPrintable(a->objectName()));
        // Pressing one alignment button releases the others.
        w.formatButton("Center")->trigger();
        w.formatButton("Align Right")->trigger();
        QVERIFY(!w.formatButton("Center")->isChecked());
        QVERIFY(w.formatButton("Align Right")->isChecked());
        QCOMPARE(w.fontSizeBox()->itemText(0), QStringLiteral(" 5"));
        QCOMPARE(w.fontSizeBox()->itemText(w.fontSizeBox()->count() - 1), QStringLiteral(" 72"));
        QVERIFY(w.fontNameBox()->count() > 0);
    }

    // Start-up fills the font boxes once: a second, queued fill used to append to them, and the
    // doubled size list selected " 12" for an 80-point first note.
    void fontBoxesAreFilledOnceFromTheFirstNote()
    {
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.noteDir() + QStringLiteral("/notes.rtf"),
                                 WindowFixture::rtf("\\fs160 Large"));
        QVERIFY(f.start());
        QCoreApplication::processEvents();
        const Quillbox &w = *f.window;
        QCOMPARE(w.fontSizeBox()->count(), 68);
        QStringList names;
        for (int i = 0; i < w.fontNameBox()->count(); ++i)
            names << w.fontNameBox()->itemText(i);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QVERIFY(!names.filter(QRegularExpression(QStringLiteral("\\[.*\\]$"))).size());
        QVERIFY(w.fontSizeBox()->currentText() != QStringLiteral(" 12")); // 80 points is not in the list
        QCOMPARE(w.editor(1)->SelFontSize(), std::optional<double>(80.0));
    }

    // "&" in a caption is shown as typed, not taken for an access key; the note's editor is named
    // after its tab for screen readers.
    void ampersandInATabCaptionIsShownAsTyped()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue(QStringLiteral("Tab1C"), QStringLiteral("R&D notes"));
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        QCOMPARE(w.noteCaption(1), QStringLiteral("R&D notes"));
        QCOMPARE(w.editor(1)->accessibleName(), QStringLiteral("R&D notes"));
        QCOMPARE(w.editor(2)->accessibleName(), QStringLiteral("Web Pages"));
        QTabBar *strip = w.tabStrip();
        // What the strip draws: the access-key markers are taken out of the tab's text.
        QStyleOptionTab option;
        option.initFrom(strip);
        option.text = strip->tabText(0);
        QCOMPARE(QFontMetrics(strip->font()).size(Qt::TextShowMnemonic, option.text),
                 QFontMetrics(strip->font()).size(0, QStringLiteral("R&D notes")));
        std::array<TabChoice, 7> tabs{};
        tabs[0] = {true, QStringLiteral("Q&A")};
        w.rebuildTabStrip(tabs);
        QCOMPARE(w.noteCaption(1), QStringLiteral("Q&A"));
        QCOMPARE(w.editor(1)->accessibleName(), QStringLiteral("Q&A"));
    }

    void launchCommandsHideAsOneBlock_data()
    {
        QTest::addColumn<QString>("displayApps");
        QTest::addColumn<bool>("visible");
        QTest::newRow("absent") << QString() << true;
        QTest::newRow("YES hides") << "YES" << false;
        QTest::newRow("lower-case yes hides too") << "yes" << false;
        QTest::newRow("NO") << "NO" << true;
    }
    void launchCommandsHideAsOneBlock()
    {
        QFETCH(QString, displayApps);
        QFETCH(bool, visible);
        WindowFixture f;
        f.quietSettings();
        if (!displayApps.isNull())
            f.settings->SaveSettingValue("DisplayApps", displayApps);
        QVERIFY(f.start());
        const Quillbox &w = *f.window;
        for (const QString name :
             {"browser", "emailprogram", "dialer", "dosprompt", "calc", "Run", "sep3", "sep4"})
            QCOMPARE(w.menuItem(name)->isVisible(), visible);
        QVERIFY(w.menuItem("set")->isVisible());
        const QList<QAction *> entries = w.commandToolbar()->actions();
        for (int p = 14; p <= 20; ++p)
            QCOMPARE(entries[p - 1]->isVisible(), visible);
        QVERIFY(entries[12]->isVisible() && entries[20]->isVisible()); // separator 13 and Setup
        QVERIFY(w.commandButton("Exit")->isVisible());
    }

    void autoCompletionNoClearsTheCheckMark()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("AutoCompletion", QStringLiteral(" no "));
        QVERIFY(f.start());
        QVERIFY(!f.window->menuItem("autocompletion")->isChecked());
    }

    void switchingGoesByTheTabsNoteNumber()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("Tab1", QStringLiteral("NO"));
        f.settings->SaveSettingValue("Tab6", QStringLiteral("YES"));
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        // With tab 1 hidden the first tab is note 2, and start-up ends with it in view.
        QCOMPARE(w.tabStrip()->tabData(0).toInt(), 2);
        QCOMPARE(w.ActiveEditor(), w.editor(2));
        QVERIFY(w.isPanelVisible(2));
        QSignalSpy active(&w, &Quillbox::activeNoteChanged);
        w.tabStrip()->setCurrentIndex(4); // "Other 2", note 6
        QCOMPARE(w.activeNote(), 6);
        QCOMPARE(w.ActiveEditor(), w.editor(6));
        QVERIFY(w.isPanelVisible(6));
        QCOMPARE(visiblePanels(w), 1);
        QCOMPARE(active.count(), 1);
        QCOMPARE(active.at(0).at(0).toInt(), 6);
    }

    void tabSoundPlaysUnlessSwitchedOff_data()
    {
        QTest::addColumn<QString>("noSound");
        QTest::addColumn<bool>("ownSound");
        QTest::addColumn<QString>("played"); // "own", "shipped" or "" for silence
        QTest::newRow("shipped sound") << QString() << false << "shipped";
        QTest::newRow("user's own sound beside the program") << QString() << true << "own";
        QTest::newRow("NoSound 1") << "1" << true << "";
        QTest::newRow("NoSound 0") << "0" << false << "shipped";
    }
    void tabSoundPlaysUnlessSwitchedOff()
    {
        QFETCH(QString, noSound);
        QFETCH(bool, ownSound);
        QFETCH(QString, played);
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("NoSound", noSound);
        if (ownSound)
            WindowFixture::writeFile(f.programDir() + "/vek.wav", "RIFF");
        QVERIFY(f.start());
        QVERIFY(f.fakes.sound->played.isEmpty()); // start-up selects its tab silently
        f.window->tabStrip()->setCurrentIndex(2);
        if (played.isEmpty()) {
            QVERIFY(f.fakes.sound->played.isEmpty());
        } else {
            QCOMPARE(f.fakes.sound->played.size(), 1);
            const QString path = f.fakes.sound->played.first();
            QCOMPARE(path, played == "own" ? f.programDir() + "/vek.wav"
                                           : ProgramPlaces::dataDirectory() + "/sounds/vek.wav");
            QVERIFY(QFileInfo(path).isFile());
        }
    }

    void loadsNotesWithoutTheFinalLineBreak()
    {
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.noteDir() + "/notes.rtf",
                                 WindowFixture::rtf("{\\b Shopping}\\par milk\\par "));
        WindowFixture::writeFile(f.noteDir() + "/web.rtf",
                                 WindowFixture::rtf("http://example.org\\par\\par "));
        WindowFixture::writeFile(f.noteDir() + "/phone.rtf", "555-1234\r\n");
        WindowFixture::writeFile(f.noteDir() + "/other.rtf", "plain\n\n");
        WindowFixture::writeFile(f.noteDir() + "/tab7.rtf", WindowFixture::rtf("hidden but loaded"));
        QVERIFY(f.start());
        const Quillbox &w = *f.window;
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("Shopping\nmilk"));
        QCOMPARE(w.editor(2)->Text(), QStringLiteral("http://example.org\n"));
        QCOMPARE(w.editor(4)->Text(), QStringLiteral("555-1234"));
        QCOMPARE(w.editor(5)->Text(), QStringLiteral("plain\n"));
        QCOMPARE(w.editor(7)->Text(), QStringLiteral("hidden but loaded"));
        QCOMPARE(w.editor(3)->Text(), QString());
        w.editor(1)->setSelStart(2);
        QCOMPARE(w.editor(1)->SelBold(), std::optional<bool>(true));
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!w.NoteChanged(n));
        // Loading is not something the user can undo.
        QVERIFY(!w.editor(1)->document()->isUndoAvailable());
    }

    void noteEndingInAnEmptyLineKeepsItAcrossStarts()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.window->editor(1)->setText(QStringLiteral("first\nsecond\n"));
        f.window->shutdown();
        for (int round = 0; round < 3; ++round) {
            f.window.reset();
            QVERIFY(f.start());
            QCOMPARE(f.window->editor(1)->Text(), QStringLiteral("first\nsecond\n"));
            f.window->shutdown();
        }
    }

    void leavingAChangedNoteWritesIt()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        const QString notes = f.noteDir() + "/notes.rtf";

        // Switching tabs without typing writes nothing.
        w.tabStrip()->setFocus();
        w.tabStrip()->setCurrentIndex(1);
        w.editor(2)->setFocus();
        w.tabStrip()->setFocus();
        QVERIFY(!QFileInfo::exists(notes));
        QVERIFY(!QFileInfo::exists(f.noteDir() + "/web.rtf"));

        w.tabStrip()->setCurrentIndex(0);
        w.editor(1)->setFocus();
        QTRY_VERIFY(w.editor(1)->hasFocus());
        QTest::keyClicks(w.editor(1), "call the bank");
        QVERIFY(w.NoteChanged(1));
        w.tabStrip()->setFocus(); // selecting a tab takes the focus
        QTRY_VERIFY(QFileInfo::exists(notes));
        QVERIFY(WindowFixture::readFile(notes).startsWith("{\\rtf"));
        QVERIFY(WindowFixture::readFile(notes).contains("call the bank"));
        QVERIFY(!w.NoteChanged(1));
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void startUpPlacesAndSizesTheWindow_data()
    {
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QPoint>("place"); // in pixels at 96 dpi
        QTest::newRow("stored place") << "1500"
                                      << "3000" << QPoint(100, 200);
        QTest::newRow("x 0 with y set is not centred") << "0"
                                                       << "300" << QPoint(0, 20);
        QTest::newRow("final NUL dropped") << QStringLiteral("1500") + QChar(0) << "1500" << QPoint(100, 100);
    }
    void startUpPlacesAndSizesTheWindow()
    {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QPoint, place);
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("CoordsX", x);
        f.settings->SaveSettingValue("CoordsY", y);
        f.settings->SaveSettingValue("Width", QStringLiteral("9000"));
        f.settings->SaveSettingValue("Height", QStringLiteral("7500"));
        QVERIFY(f.start());
        QCOMPARE(f.window->screen()->logicalDotsPerInchX(), 96.0);
        // Stored values are the outer ones: the frame's place and size.
        QCOMPARE(f.window->frameGeometry(), QRect(place, QSize(600, 500)));
    }

    void startUpStates_data()
    {
        QTest::addColumn<QString>("startMin");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("StartMin 0") << "0"
                                    << "" << false << false;
        QTest::newRow("StartMin blank") << " "
                                        << "" << false << false;
        QTest::newRow("StartMin 1") << "1"
                                    << "" << true << false;
        QTest::newRow("Height Max") << ""
                                    << "Max" << false << true;
    }
    void startUpStates()
    {
        QFETCH(QString, startMin);
        QFETCH(QString, height);
        QFETCH(bool, minimised);
        QFETCH(bool, maximised);
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("StartMin", startMin);
        f.settings->SaveSettingValue("Height", height);
        QVERIFY(f.start());
        QCOMPARE(bool(f.window->windowState() & Qt::WindowMinimized), minimised);
        QCOMPARE(bool(f.window->windowState() & Qt::WindowMaximized), maximised);
    }

    void handEditedHugeGeometryStartsSafely()
    {
        // Values beyond any screen must neither overflow nor leave the window unreachable.
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("CoordsX", QStringLiteral("99999999999"));
        f.settings->SaveSettingValue("CoordsY", QStringLiteral("-99999999999"));
        f.settings->SaveSettingValue("Width", QStringLiteral("99999999999"));
        f.settings->SaveSettingValue("Height", QStringLiteral("1e400"));
        QVERIFY(f.start());
        f.showActive();
        const QRect screen = f.window->screen()->availableVirtualGeometry();
        QTRY_VERIFY(f.window->frameGeometry().right() <= screen.right() + 200 / 15);
        QVERIFY(f.window->frameGeometry().bottom() <= screen.bottom() + 200 / 15);
    }

    void windowSpringsBackToItsMinimumSize()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        f.window->resize(200, 150);
        QTRY_COMPARE(f.window->frameGeometry().size(), QSize(483, 387)); // 7245 x 5805 twips
    }

    void windowFarOffScreenIsRescued()
    {
        WindowFixture f;
        f.quietSettings();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Bottom edge 300 twips (20 pixels) below the screen's.
        f.settings->SaveSettingValue("CoordsX", QStringLiteral("1500"));
        f.settings->SaveSettingValue("CoordsY", QString::number((screen.height() - 400 + 20) * 15));
        f.settings->SaveSettingValue("Height", QString::number(400 * 15));
        f.settings->SaveSettingValue("Width", QString::number(600 * 15));
        QVERIFY(f.start());
        f.showActive();
        QTRY_COMPARE(f.window->frameGeometry().size(), QSize(483, 387));
        QVERIFY(qAbs(f.window->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(f.window->frameGeometry().center().y() - screen.center().y()) <= 1);
    }

    void windowTenPixelsOffScreenStays()
    {
        WindowFixture f;
        f.quietSettings();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const int top = screen.height() - 400 + 10; // 150 twips below: tolerated
        f.settings->SaveSettingValue("CoordsX", QStringLiteral("1500"));
        f.settings->SaveSettingValue("CoordsY", QString::number(top * 15));
        f.settings->SaveSettingValue("Height", QString::number(400 * 15));
        f.settings->SaveSettingValue("Width", QString::number(600 * 15));
        QVERIFY(f.start());
        f.showActive();
        QCOMPARE(f.window->frameGeometry(), QRect(100, top, 600, 400));
    }

    void windowStandsWhereTheToldFramePutsIt_data()
    {
        QTest::addColumn<bool>("startMin");
        QTest::addColumn<bool>("toldBeforeShown");
        QTest::addColumn<int>("storedX");
        QTest::newRow("told before the first show") << false << true << 1500;
        QTest::newRow("brought forward before it was told") << false << false << 1500;
        QTest::newRow("started minimised, restored") << true << true << 1500;
        QTest::newRow("stored off the left edge, rescued at its size") << false << true << -15000;
        QTest::newRow("stored 40 pixels off the left edge, stays") << false << true << -600;
    }
    void windowStandsWhereTheToldFramePutsIt()
    {
        QFETCH(bool, startMin);
        QFETCH(bool, toldBeforeShown);
        QFETCH(int, storedX);
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("StartMin", QString::number(startMin));
        f.settings->SaveSettingValue("CoordsX", QString::number(storedX));
        f.settings->SaveSettingValue("CoordsY", QStringLiteral("1800"));
        f.settings->SaveSettingValue("Width", QStringLiteral("9600"));
        f.settings->SaveSettingValue("Height", QStringLiteral("7500"));
        QVERIFY(f.start());
        // Asked at the first show, the window manager answers with a frame unlike Qt's own.
        f.fakes.frames->awaiting = true;
        f.window->showAsStarted();
        QCOMPARE(f.fakes.frames->watched, QList<QWindow *>{f.window->windowHandle()});
        const QMargins frame(4, 30, 5, 6);
        if (!toldBeforeShown)
            f.window->bringBack();
        QCOMPARE(f.window->isVisible(), !toldBeforeShown); // the first show waits for the answer
        f.fakes.frames->tell(frame);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->isMinimized(), startMin);
        if (startMin)
            f.window->bringBack();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Wholly left of the screen (it is 9600 twips wide), the window comes back centred at its size.
        const QSize size(640, 500);
        const QRect outer = storedX < -9600 ? QRect(WindowGeometry::centred(size, screen), size)
                                            : QRect(QPoint(storedX / 15, 120), size);
        QTRY_COMPARE(f.window->geometry(), outer.marginsRemoved(frame));
        f.window->shutdown();
        QCOMPARE(f.settings->GetSettingValue("CoordsX"), QString::number(outer.x() * 15));
        QCOMPARE(f.settings->GetSettingValue("CoordsY"), QString::number(outer.y() * 15));
        QCOMPARE(f.settings->GetSettingValue("Width"), QString::number(outer.width() * 15));
        QCOMPARE(f.settings->GetSettingValue("Height"), QString::number(outer.height() * 15));
    }

    void mouseReleaseOnTheBareSurfaceRemembersThePlace()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.move(30, 40);
        QTRY_COMPARE(w.pos(), QPoint(30, 40));
        // Over a toolbar: nothing written.
        const QPoint overToolbar = w.commandToolbar()->geometry().center();
        QTest::mouseRelease(&w, Qt::LeftButton, {}, overToolbar);
        QVERIFY(f.settings->GetSettingValue("CoordsX").isEmpty());
        // Over an editor box: the box takes the release.
        QTest::mouseRelease(w.editor(1)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(f.settings->GetSettingValue("CoordsX").isEmpty());
        // Over the strip of bare window between the controls.
        const QPoint bare = w.centralWidget()->mapTo(&w, QPoint(2, w.centralWidget()->height() - 2));
        QCOMPARE(w.childAt(bare), w.centralWidget());
        QTest::mouseRelease(&w, Qt::LeftButton, {}, bare);
        QCOMPARE(f.settings->GetSettingValue("CoordsX"), QStringLiteral("450"));
        QCOMPARE(f.settings->GetSettingValue("CoordsY"), QStringLiteral("600"));
    }

    void onTopIsAppliedAtPaintWithoutFlicker()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        QWindow *handle = w.windowHandle();
        QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));

        // The preferences dialog (or another instance) stores "yes"; the next paint applies it.
        f.settings->SaveSettingValue("OnTop", QStringLiteral("yes"));
        w.repaint();
        QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w.menuItem("setontop")->isChecked());
        QCOMPARE(f.settings->GetSettingValue("OnTop"), QStringLiteral("Yes"));
        // Neither that change nor later paints re-create or hide the window.
        QCOMPARE(w.windowHandle(), handle);
        QSignalSpy visibility(handle, &QWindow::visibleChanged);
        for (int i = 0; i < 3; ++i)
            w.repaint();
        QCOMPARE(visibility.count(), 0);
        QVERIFY(w.isVisible());

        // "Set On &Top" flips it back.
        w.menuItem("setontop")->trigger();
        QCOMPARE(f.settings->GetSettingValue("OnTop"), QStringLiteral("No"));
        QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
        w.repaint();
        QVERIFY(!w.menuItem("setontop")->isChecked());
    }

    void trayClickBringsAMaximisedWindowBackNormal()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("OnTop", QStringLiteral("Yes"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.showMaximized();
        w.showMinimized();
        w.hide();
        w.bringBack();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized() && !w.isMaximized());
        // Not topmost until the window paints again.
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        w.update();
        QTRY_VERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void quickAccessItemsHaveAccessKeysOfTheirOwn_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("paste as plain text") << "pasteplain" << "Ctrl+Shift+V";
        QTest::newRow("search all notes") << "searchall" << "Ctrl+Shift+F";
        QTest::newRow("find next") << "findnext"
                                   << "F3";
        QTest::newRow("find previous") << "findprevious"
                                       << "Shift+F3";
        QTest::newRow("check spelling") << "spellcheck" << "";
    }
    void quickAccessItemsHaveAccessKeysOfTheirOwn()
    {
        QFETCH(QString, item);
        QFETCH(QString, shortcut);
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        QAction *action = f.window->menuItem(item);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        const auto accessKey = [](const QString &caption) {
            const qsizetype at = caption.indexOf(u'&');
            return at < 0 || at + 1 >= caption.size() ? QChar() : caption.at(at + 1).toLower();
        };
        const QChar key = accessKey(action->text());
        QVERIFY(!key.isNull());
        int holders = 0;
        for (QAction *other : f.window->menu(QStringLiteral("editmnu"))->actions())
            holders += accessKey(other->text()) == key ? 1 : 0;
        QCOMPARE(holders, 1);
    }

    void toggleHidesAnActiveWindowAndBringsBackAnyOther()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        QTRY_VERIFY(w.isActiveWindow());
        // No notification area on this desktop: the window is minimised, not hidden.
        w.toggleFromOutside();
        QTRY_VERIFY(w.isMinimized());
        QVERIFY(w.isVisible());
        w.toggleFromOutside();
        QTRY_VERIFY(!w.isMinimized() && w.isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ActiveEditor()));
        w.hide();
        w.toggleFromOutside();
        QTRY_VERIFY(w.isVisible() && !w.isMinimized());
    }

    void hotKeyTogglesTheWindowAndATakenKeyIsToldOnce()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("HotKey", QStringLiteral("Ctrl+Alt+Q"));
        QVERIFY(f.start());
        QCOMPARE(f.fakes.hotKey->keys, QList<QKeyCombination>{Qt::CTRL | Qt::ALT | Qt::Key_Q});
        f.showActive();
        Quillbox &w = *f.window;
        f.fakes.hotKey->press();
        QTRY_VERIFY(w.isMinimized());
        f.fakes.hotKey->press();
        QTRY_VERIFY(!w.isMinimized() && w.isActiveWindow());

        // Setup's Apply hands the key on; one that another program holds is told once.
        auto *control = w.findChild<HotKeyControl *>();
        QVERIFY(control);
        f.fakes.hotKey->answer = GlobalHotKey::Status::HeldElsewhere;
        control->apply(QStringLiteral("Ctrl+Alt+N"));
        QVERIFY(w.statusBar()->currentMessage().contains(QLatin1String("taken by another program")));
        w.statusBar()->clearMessage();
        control->apply(QStringLiteral("Ctrl+Alt+N"));
        QVERIFY(w.statusBar()->currentMessage().isEmpty());
        control->apply(QString());
        QCOMPARE(f.fakes.hotKey->keys.last(), QKeyCombination(Qt::Key_unknown));
    }

    void minimisingWithoutANotificationAreaKeepsTheWindow()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        f.window->showMinimized();
        QTest::qWait(50);
        // The offscreen desktop has no notification area: hiding would leave no way back.
        QVERIFY(f.window->isVisible());
    }

    void closingWritesEveryNoteAndThePlace()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.move(60, 75);
        w.resize(700, 520);
        QTRY_COMPARE(w.pos(), QPoint(60, 75));
        const QRect frame = w.frameGeometry();
        w.editor(3)->setText(QStringLiteral("someone@example.org"));
        w.close();
        QVERIFY(w.hasShutDown());
        for (const QString name : {"notes", "web", "email", "phone", "other", "tab6", "tab7"})
            QVERIFY2(QFileInfo::exists(f.noteDir() + "/" + name + ".rtf"), qPrintable(name));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/email.rtf").contains("someone@example.org"));
        // Place and outer size in twips, 15 to the pixel at 96 dpi.
        QCOMPARE(f.settings->GetSettingValue("CoordsX"), QString::number(frame.x() * 15));
        QCOMPARE(f.settings->GetSettingValue("CoordsY"), QString::number(frame.y() * 15));
        QCOMPARE(f.settings->GetSettingValue("Width"), QString::number(frame.width() * 15));
        QCOMPARE(f.settings->GetSettingValue("Height"), QString::number(frame.height() * 15));

        // The next start shows the same note, place and size.
        f.window.reset();
        QVERIFY(f.start());
        f.showActive();
        QCOMPARE(f.window->editor(3)->Text(), QStringLiteral("someone@example.org"));
        QTRY_COMPARE(f.window->frameGeometry(), frame);
    }

    void closingMaximisedStoresMax()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        f.window->showMaximized();
        QTRY_VERIFY(f.window->isMaximized());
        f.window->shutdown();
        QCOMPARE(f.settings->GetSettingValue("Height"), QStringLiteral("Max"));
        QCOMPARE(f.settings->GetSettingValue("Width"), QStringLiteral("Max"));
        QVERIFY(!f.settings->GetSettingValue("CoordsX").isEmpty());
    }

    void closingMinimisedKeepsThePlace()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        f.window->showMinimized();
        QTRY_VERIFY(f.window->isMinimized());
        f.window->shutdown();
        QVERIFY(f.settings->GetSettingValue("CoordsX").isEmpty());
        QVERIFY(f.settings->GetSettingValue("CoordsY").isEmpty());
        QCOMPARE(f.settings->GetSettingValue("Height"), QStringLiteral("5805"));
        // The first-start size: the design's 7245 twips, wider when the default tabs need it.
        QVERIFY(f.settings->GetSettingValue("Width").toInt() >= 7245);
    }

    void exitCommandsRunShutdownOnce()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.window->show();
        f.window->commandButton("Exit")->trigger();
        QVERIFY(f.window->hasShutDown());
        const QDateTime written = QFileInfo(f.noteDir() + "/notes.rtf").lastModified();
        QTest::qWait(20);
        f.window->menuItem("exit")->trigger();
        f.window->close();
        QCOMPARE(QFileInfo(f.noteDir() + "/notes.rtf").lastModified(), written);
    }

    void wrongPasswordEndsWithoutWritingAnything()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("drow", PasswordRecord::wrap("secret"));
        WindowFixture::writeFile(f.noteDir() + "/notes.rtf", WindowFixture::rtf("kept"));
        const QByteArray settingsBefore = WindowFixture::readFile(f.settings->path());
        Dialogs::queueText("guess");
        Dialogs::queueText("Secret");
        QVERIFY(!f.start());
        QCOMPARE(Dialogs::shown().size(), 2);
        // No note loaded or written, not even "OnTop" written back.
        QCOMPARE(f.window->editor(1)->Text(), QString());
        QCOMPARE(WindowFixture::readFile(f.settings->path()), settingsBefore);
        QCOMPARE(WindowFixture::readFile(f.noteDir() + "/notes.rtf"), WindowFixture::rtf("kept"));
        f.window.reset(); // destroying the window must not run shutdown either
        QCOMPARE(WindowFixture::readFile(f.settings->path()), settingsBefore);
        QCOMPARE(QDir(f.noteDir()).entryList(QDir::Files), QStringList{"notes.rtf"});
    }

    void rightPasswordStartsNormally()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue("drow", PasswordRecord::wrap("secret"));
        WindowFixture::writeFile(f.noteDir() + "/notes.rtf", WindowFixture::rtf("kept"));
        Dialogs::queueText("nope");
        Dialogs::queueText(" secret ");
        QVERIFY(f.start());
        QCOMPARE(f.window->editor(1)->Text(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestQuillbox)
#include "tst_quillbox.moc"
