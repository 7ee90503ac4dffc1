#include "WindowFixture.h"

#include "NoteHistory.h"
#include "NoteHistoryDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>

// The window never loses a note: a file changed elsewhere is followed or kept beside ours, a
// note directory that goes away keeps the changes until it is back, text typed before a crash is
// offered again, and every replaced version of a note stays in its history.
class TestNoteSafetyWindow : public QObject
{
    Q_OBJECT

    static void typeInto(Quillbox &w, int n, const QString &text)
    {
        w.editor(n)->setFocus();
        QTRY_VERIFY(w.editor(n)->hasFocus());
        QTest::keyClicks(w.editor(n), text);
    }
    static void leaveNote(Quillbox &w)
    {
        w.tabStrip()->setFocus();
        QTRY_VERIFY(w.tabStrip()->hasFocus());
    }
    static QString recoveryCopy(int n)
    {
        return ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery/note%1.rtf").arg(n);
    }
    static QStringList conflictCopies(const QString &noteDir)
    {
        return QDir(noteDir).entryList({"notes (conflict *).rtf"}, QDir::Files);
    }
    static QString shownText()
    {
        QStringList texts;
        for (const Dialogs::Shown &s : Dialogs::shown())
            texts << s.text;
        return texts.join(QLatin1Char('\n'));
    }

private slots:
    void init()
    {
        // The per-user data directory outlives a test run.
        QDir(ProgramPlaces::userDataDirectory()).removeRecursively();
    }

    void unchangedNoteFollowsItsFileChangedElsewhere()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("first line\\par second line"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        QTextCursor caret = w.editor(1)->textCursor();
        caret.setPosition(5);
        w.editor(1)->setTextCursor(caret);

        WindowFixture::writeFile(notes, WindowFixture::rtf("first line\\par changed elsewhere"));
        QTRY_COMPARE_WITH_TIMEOUT(w.editor(1)->Text(), QStringLiteral("first line\nchanged elsewhere"),
                                  10000);
        QCOMPARE(w.editor(1)->textCursor().position(), 5);
        QVERIFY(!w.NoteChanged(1));
        QVERIFY(w.statusBar()->currentMessage().contains("\"Notes\""));
        QVERIFY(Dialogs::shown().isEmpty());

        // Closing writes what the file now holds, no conflict.
        w.shutdown();
        QVERIFY(WindowFixture::readFile(notes).contains("changed elsewhere"));
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
    }

    void noteChangedOnBothSidesKeepsBothVersions()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("shared"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        typeInto(w, 1, " mine");
        WindowFixture::writeFile(notes, WindowFixture::rtf("shared theirs"));
        QTest::qWait(50); // the watcher sees it first: our text must stay as typed
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("shared mine"));

        leaveNote(w);
        QTRY_COMPARE(Dialogs::shown().size(), 1);
        QVERIFY(WindowFixture::readFile(notes).contains("shared mine"));
        const QStringList copies = conflictCopies(f.noteDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(copies.first().contains(QSysInfo::machineHostName()));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/" + copies.first()).contains("shared theirs"));
        QVERIFY2(shownText().contains(notes) && shownText().contains(copies.first()),
                 qPrintable(shownText()));
        QVERIFY(!w.NoteChanged(1));

        // Later saves of our own text are no conflict.
        typeInto(w, 1, " again");
        leaveNote(w);
        QTRY_VERIFY(WindowFixture::readFile(notes).contains("shared mine again"));
        QTest::qWait(20);
        QCOMPARE(conflictCopies(f.noteDir()).size(), 1);
        QCOMPARE(Dialogs::shown().size(), 1);
    }

    void noteChangedOnlyElsewhereIsNotOverwrittenAtShutdown_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("rewritten elsewhere: theirs stays") << false << QByteArray("written elsewhere");
        QTest::newRow("removed elsewhere: ours comes back") << true << QByteArray("as loaded");
    }
    void noteChangedOnlyElsewhereIsNotOverwrittenAtShutdown()
    {
        QFETCH(bool, removed);
        QFETCH(QByteArray, expected);
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("as loaded"));
        QVERIFY(f.start());
        // Changed elsewhere a moment before closing, before any check could reload it.
        if (removed)
            QVERIFY(QFile::remove(notes));
        else
            WindowFixture::writeFile(notes, WindowFixture::rtf("written elsewhere"));
        f.window->shutdown();
        QVERIFY(WindowFixture::readFile(notes).contains(expected));
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
    }

    void noteDirectoryThatGoesAwayKeepsChangesUntilItIsBack()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        const QString away = f.path("notes-away");
        QVERIFY(QDir().rename(f.noteDir(), away));

        typeInto(w, 1, "typed while away");
        leaveNote(w);
        QTRY_COMPARE(Dialogs::shown().size(), 1);
        QVERIFY2(shownText().contains("cannot be reached"), qPrintable(shownText()));
        QVERIFY(w.NoteChanged(1));

        // More save points while it is away: the user was told once.
        typeInto(w, 1, ", and more");
        leaveNote(w);
        typeInto(w, 2, "second note");
        leaveNote(w);
        QTest::qWait(50);
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY(w.NoteChanged(1) && w.NoteChanged(2));
        QVERIFY(!QFileInfo::exists(f.noteDir()));

        // Back: every kept change is written, with no message.
        QVERIFY(QDir().rename(away, f.noteDir()));
        QTRY_VERIFY_WITH_TIMEOUT(!w.NoteChanged(1) && !w.NoteChanged(2), 10000);
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("typed while away, and more"));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/web.rtf").contains("second note"));
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
    }

    void textTypedBeforeACrashIsOfferedAtTheNextStart_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("restored") << true;
        QTest::newRow("declined") << false;
    }
    void textTypedBeforeACrashIsOfferedAtTheNextStart()
    {
        QFETCH(bool, restore);
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/web.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("saved before"));
        f.settings->SaveSettingValue("Tab2C", QStringLiteral("Links"));
        QVERIFY(f.start());
        f.showActive();
        typeInto(*f.window, 2, " and typed after");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(recoveryCopy(2)), 10000);
        QVERIFY(!WindowFixture::readFile(notes).contains("typed after"));

        // The program ends without its shutdown, as in a crash.
        f.window.reset();
        Dialogs::clearSeams();
        Dialogs::queueButton(restore ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY2(Dialogs::shown().first().text.contains("\"Links\""), qPrintable(shownText()));
        const QString typed = QStringLiteral("saved before and typed after");
        if (restore) {
            QCOMPARE(w.editor(2)->Text(), typed);
            QVERIFY(w.NoteChanged(2));
            // Kept until the note is written, then a clean shutdown leaves no copy behind.
            QVERIFY(QFileInfo::exists(recoveryCopy(2)));
            w.shutdown();
            QVERIFY(WindowFixture::readFile(notes).contains("typed after"));
        } else {
            QCOMPARE(w.editor(2)->Text(), QStringLiteral("saved before"));
            QVERIFY(!w.NoteChanged(2));
            // Declined text is still in the note's history.
            const QList<NoteHistory::Version> versions = w.noteHistory().versions(notes);
            QCOMPARE(versions.size(), 1);
            QVERIFY(NoteHistory::read(versions.first()).contains("typed after"));
            w.shutdown();
        }
        QVERIFY(!QFileInfo::exists(recoveryCopy(2)));

        // Nothing is offered at the start after a clean shutdown.
        f.window.reset();
        Dialogs::clearSeams();
        QVERIFY(f.start());
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void historyKeepsEachReplacedVersionAndRestoresOne()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("\\b zero"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.editor(1)->selectAll(); // what is typed over it stays bold
        typeInto(w, 1, "one");
        leaveNote(w);
        typeInto(w, 1, " two");
        leaveNote(w);
        typeInto(w, 1, " three");
        leaveNote(w);
        QTRY_VERIFY(WindowFixture::readFile(notes).contains("one two three"));

        const QList<NoteHistory::Version> versions = w.noteHistory().versions(notes);
        QCOMPARE(versions.size(), 3);
        QVERIFY(NoteHistory::read(versions[0]).contains("one two"));
        QVERIFY(!NoteHistory::read(versions[0]).contains("three"));
        QVERIFY(NoteHistory::read(versions[2]).contains("zero"));

        // The dialog lists them newest first with a preview, and restores one as a single change.
        w.menuItem("notehistory")->trigger();
        auto *dialog = w.findChild<NoteHistoryDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->versionList()->count(), 3);
        dialog->versionList()->setCurrentRow(1);
        QCOMPARE(dialog->preview()->Text(), QStringLiteral("one"));
        dialog->restoreButton()->click();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one"));
        QVERIFY(w.NoteChanged(1));
        w.editor(1)->setSelStart(1);
        QCOMPARE(w.editor(1)->SelBold(), std::optional<bool>(true));
        w.editor(1)->undo();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one two three"));
        w.editor(1)->redo();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one"));

        // Closing with nothing new adds no version; the restore, once written, adds one.
        w.shutdown();
        QCOMPARE(w.noteHistory().versions(notes).size(), 4);
        QCOMPARE(w.noteHistory().versions(f.noteDir() + "/web.rtf").size(), 0);
    }

    void historyOfANoteWithoutVersionsOffersNoRestore()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.window->menuItem("notehistory")->trigger();
        auto *dialog = f.window->findChild<NoteHistoryDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->versionList()->count(), 0);
        QVERIFY(!dialog->restoreButton()->isEnabled());
    }
};

QTEST_MAIN(TestNoteSafetyWindow)
#include "tst_notesafetywindow.moc"
