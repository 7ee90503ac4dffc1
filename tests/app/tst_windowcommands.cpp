#include "WindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>

// The main window's commands as the user reaches them: keys typed into a note, the Edit menu's
// Undo and Redo, and Setup's Apply.
class TestWindowCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> m_f;

    RichTextBox *focusedNote()
    {
        m_f->showActive();
        RichTextBox *box = m_f->window->editor(1);
        box->setFocus();
        return QApplication::focusWidget() == box ? box : nullptr;
    }

private slots:
    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        m_f->quietSettings();
        QVERIFY(m_f->start());
    }
    void cleanup() { m_f.reset(); }

    // Shift+Del is "&Clear Text" and Ctrl+A "Select &All", not the note's own Cut and select.
    void menuKeysWinOverTheNotesOwnBindings()
    {
        RichTextBox *box = focusedNote();
        QVERIFY(box);
        box->setText(QStringLiteral("keep this note"));
        box->setSelStart(5);
        box->setSelLength(4);
        QGuiApplication::clipboard()->setText(QStringLiteral("clipboard"));

        QSignalSpy selectAll(m_f->window->menuItem(QStringLiteral("EditSelectAll")), &QAction::triggered);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(selectAll.count(), 1);
        QCOMPARE(box->SelText(), QStringLiteral("keep this note"));

        QSignalSpy clear(m_f->window->menuItem(QStringLiteral("clear")), &QAction::triggered);
        Dialogs::queueButton(QMessageBox::No); // no copy first
        QTest::keyClick(box, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(clear.count(), 1);
        QCOMPARE(Dialogs::shown().value(0).title, QStringLiteral("Save"));
        QCOMPARE(box->Text(), QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clipboard")); // nothing was cut
    }

    // A click on a tab gives the strip the keyboard (the note left is written back); a key typed
    // then goes into the note in view rather than nowhere.
    void keyTypedOnTheTabStripGoesIntoTheNote()
    {
        RichTextBox *box = focusedNote();
        QVERIFY(box);
        QTest::keyClicks(box, "first");
        QTabBar *strip = m_f->window->tabStrip();
        QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(1).center());
        QTRY_VERIFY(strip->hasFocus());
        QVERIFY(!m_f->window->NoteChanged(1)); // written back
        QTest::keyClicks(strip, "Typed on");
        QCOMPARE(m_f->window->editor(2)->Text(), QStringLiteral("Typed on"));
        QCOMPARE(QApplication::focusWidget(), m_f->window->editor(2));
    }

    void ctrlTabAndCtrlPageKeysGoRoundTheTabs_data()
    {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<int>("tab"); // the tab shown after the key, from the first of five
        QTest::newRow("Ctrl+Tab") << (Qt::CTRL | Qt::Key_Tab) << 1;
        QTest::newRow("Ctrl+PgDown") << (Qt::CTRL | Qt::Key_PageDown) << 1;
        QTest::newRow("Ctrl+Shift+Tab") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 4;
        QTest::newRow("Ctrl+PgUp") << (Qt::CTRL | Qt::Key_PageUp) << 4;
    }
    void ctrlTabAndCtrlPageKeysGoRoundTheTabs()
    {
        QFETCH(QKeyCombination, key);
        QFETCH(int, tab);
        RichTextBox *box = focusedNote();
        QVERIFY(box);
        QTest::keyClicks(box, "left behind");
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        QCOMPARE(m_f->window->tabStrip()->currentIndex(), tab);
        const int shown = m_f->window->tabStrip()->tabData(tab).toInt();
        QCOMPARE(QApplication::focusWidget(), m_f->window->editor(shown));
        QVERIFY(!m_f->window->NoteChanged(1)); // the note left is written, as a click on a tab does
        QVERIFY(WindowFixture::readFile(m_f->noteDir() + "/notes.rtf").contains("left behind"));
    }

    void undoAndRedoFollowTheNotesHistory()
    {
        RichTextBox *box = focusedNote();
        QVERIFY(box);
        QAction *undo = m_f->window->menuItem(QStringLiteral("undo"));
        QAction *redo = m_f->window->menuItem(QStringLiteral("redo"));
        QVERIFY(undo && redo);
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QCOMPARE(redo->text(), QStringLiteral("&Redo"));
        QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                         QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        QVERIFY(m_f->window->menu(QStringLiteral("editmnu"))->actions().contains(undo));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());

        QTest::keyClicks(box, QStringLiteral("typed"));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->Text(), QString());
        QVERIFY(redo->isEnabled());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(box->Text(), QStringLiteral("typed"));
        undo->trigger();
        QCOMPARE(box->Text(), QString());
        redo->trigger();
        QCOMPARE(box->Text(), QStringLiteral("typed"));

        // The items follow the note being edited: another tab's note has no history yet.
        m_f->window->tabStrip()->setCurrentIndex(1);
        QVERIFY(!undo->isEnabled());
    }

    void applyInSetupSoundsLikeATabChange()
    {
        m_f->window->menuItem(QStringLiteral("set"))->trigger();
        QPushButton *apply = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *b = w->findChild<QPushButton *>(QStringLiteral("Command1")); b && w->isVisible())
                apply = b;
        QVERIFY(apply);
        QVERIFY(m_f->fakes.sound->played.isEmpty());
        apply->click();
        QCOMPARE(m_f->fakes.sound->played.size(), 1);
    }
};

QTEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
