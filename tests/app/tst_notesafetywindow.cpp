#include "WindowFixture.h"

#include "NoteHistory.h"
#include "NoteHistoryDialog.h"
#include "RtfWriter.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBlock>

// The window never loses a note: a file changed elsewhere is followed or kept beside ours, a
// note directory that goes away keeps the changes until it is back, text typed before a crash is
// offered again, and every replaced version of a note stays in its history.
class TestNoteSafetyWindow : public QObject
{
    Q_OBJECT

    // The recovery copy of note n in the folder of this note set; empty when there is none.
    static QString recoveryCopy(int n)
    {
        QDirIterator it(ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery"),
                        {QStringLiteral("note%1.rtf").arg(n)}, QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
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
        // The version it replaced is in the history.
        QCOMPARE(w.noteHistory().versions(notes).size(), 1);
        QVERIFY(NoteHistory::read(w.noteHistory().versions(notes).first()).contains("second line"));
        QVERIFY(Dialogs::shown().isEmpty());

        // Closing writes what the file now holds, no conflict.
        w.shutdown();
        QVERIFY(WindowFixture::readFile(notes).contains("changed elsewhere"));
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
    }

    // Save Copy As onto the file of another tab: that tab shows the copy, and its earlier text is
    // in its history, as every replaced version of a note is.
    void copySavedOverAnotherNoteKeepsThatNotesText()
    {
        WindowFixture f;
        f.quietSettings();
        const QString web = f.noteDir() + "/web.rtf";
        WindowFixture::writeFile(web, WindowFixture::rtf("bookmarks to keep"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        WindowFixture::typeInto(w, 1, "the copy");
        Dialogs::queueFileName(web);
        w.menuItem(QStringLiteral("saveas"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.editor(2)->Text(), QStringLiteral("the copy"), 10000);
        const QList<NoteHistory::Version> versions = w.noteHistory().versions(web);
        QCOMPARE(versions.size(), 1);
        QVERIFY(NoteHistory::read(versions.first()).contains("bookmarks to keep"));
        w.shutdown();
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
        WindowFixture::typeInto(w, 1, " mine");
        WindowFixture::writeFile(notes, WindowFixture::rtf("shared theirs"));
        QTest::qWait(50); // the watcher sees it first: our text must stay as typed
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("shared mine"));

        WindowFixture::leaveNote(w);
        QTRY_COMPARE(w.notices().size(), 1);
        QVERIFY(WindowFixture::readFile(notes).contains("shared mine"));
        const QStringList copies = conflictCopies(f.noteDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(copies.first().contains(QSysInfo::machineHostName()));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/" + copies.first()).contains("shared theirs"));
        const QString told = w.notices().first();
        QVERIFY2(told.contains(notes) && told.contains(copies.first()), qPrintable(told));
        QVERIFY(!w.NoteChanged(1));
        QVERIFY(Dialogs::shown().isEmpty());

        // Later saves of our own text are no conflict.
        WindowFixture::typeInto(w, 1, " again");
        WindowFixture::leaveNote(w);
        QTRY_VERIFY(WindowFixture::readFile(notes).contains("shared mine again"));
        QTest::qWait(20);
        QCOMPARE(conflictCopies(f.noteDir()).size(), 1);
        QCOMPARE(w.notices().size(), 1);

        // Reported once: the next start does not tell it again.
        w.shutdown();
        f.window.reset();
        QVERIFY(f.start());
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(shownText()));
    }

    void conflictAtShutdownIsToldOnceToItsOwnNoteSet()
    {
        WindowFixture mine;
        WindowFixture other; // another profile of the same user
        mine.quietSettings();
        other.quietSettings();
        const QString notes = mine.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("shared"));
        QVERIFY(mine.start());
        QTextCursor(mine.window->editor(1)->document()).insertText(QStringLiteral("mine "));
        // Changed elsewhere a moment before closing, before any check could see it.
        WindowFixture::writeFile(notes, WindowFixture::rtf("theirs"));
        mine.window->shutdown();
        QVERIFY(WindowFixture::readFile(notes).contains("mine shared"));
        const QStringList copies = conflictCopies(mine.noteDir());
        QCOMPARE(copies.size(), 1);
        mine.window.reset();

        // Nothing of it reaches the other profile.
        QVERIFY(other.start());
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(shownText()));
        QVERIFY(other.window->notices().isEmpty());
        other.window->shutdown();
        other.window.reset();

        // Its own next start tells it once, as a notice that takes no keyboard.
        QVERIFY(mine.start());
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(shownText()));
        QTRY_COMPARE(mine.window->notices().size(), 1);
        QTest::qWait(50);
        QCOMPARE(mine.window->notices().size(), 1);
        QVERIFY2(mine.window->notices().first().contains(copies.first()),
                 qPrintable(mine.window->notices().first()));
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

    void textPutInByACommandOutlivesAChangeElsewhere_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Open") << "open"
                              << "as loaded\nadded by Open";
        QTest::newRow("New") << "new"
                             << "";
        QTest::newRow("Clear Text") << "clear"
                                    << "";
    }
    void textPutInByACommandOutlivesAChangeElsewhere()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("as loaded"));
        WindowFixture::writeFile(f.path("added.rtf"), WindowFixture::rtf("added by Open"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        Dialogs::queueButton(QMessageBox::No); // no copy first
        Dialogs::queueFileName(f.path("added.rtf"));
        w.menuItem(command)->trigger();
        QCOMPARE(w.editor(1)->Text(), expected);

        // Another computer writes the note before the next keystroke here.
        WindowFixture::writeFile(notes, WindowFixture::rtf("written elsewhere"));
        QTRY_VERIFY_WITH_TIMEOUT(w.statusBar()->currentMessage().contains("also changed elsewhere"), 10000);
        QCOMPARE(w.editor(1)->Text(), expected);

        // Both versions are kept when the note is written.
        w.shutdown();
        QCOMPARE(QString::fromUtf8(WindowFixture::readFile(notes)).contains("written elsewhere"), false);
        QVERIFY(WindowFixture::readFile(notes).contains(expected.section('\n', -1).toUtf8()));
        const QStringList copies = conflictCopies(f.noteDir());
        QCOMPARE(copies.size(), 1);
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/" + copies.first()).contains("written elsewhere"));
    }

    void noteDirectoryGoneAndBackUnchangedIsNoConflict_data()
    {
        QTest::addColumn<bool>("wholeDirectory");
        QTest::newRow("directory renamed away and back") << true;
        QTest::newRow("files gone and back, as a share remounted") << false;
    }
    void noteDirectoryGoneAndBackUnchangedIsNoConflict()
    {
        QFETCH(bool, wholeDirectory);
        WindowFixture f;
        f.quietSettings();
        QHash<QString, QByteArray> before;
        for (const char *name :
             {"notes.rtf", "web.rtf", "email.rtf", "phone.rtf", "other.rtf", "tab6.rtf", "tab7.rtf"}) {
            const QString path = f.noteDir() + "/" + name;
            WindowFixture::writeFile(path, WindowFixture::rtf(QByteArray("the note ") + name));
            before[path] = WindowFixture::readFile(path);
        }
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        const QString away = f.path("away");
        if (wholeDirectory) {
            QVERIFY(QDir().rename(f.noteDir(), away));
        } else {
            QVERIFY(QDir().mkpath(away));
            for (const QString &path : before.keys())
                QVERIFY(QFile::rename(path, away + "/" + QFileInfo(path).fileName()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w.statusBar()->currentMessage().isEmpty(), 10000);
        if (wholeDirectory) {
            QVERIFY(QDir().rename(away, f.noteDir()));
        } else {
            for (const QString &path : before.keys())
                QVERIFY(QFile::rename(away + "/" + QFileInfo(path).fileName(), path));
        }

        // Closing is immediate and writes nothing: every file stays as it was.
        w.shutdown();
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(shownText()));
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
        QCOMPARE(QDir(f.noteDir()).entryList(QDir::Files).size(), 7);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(WindowFixture::readFile(it.key()), it.value());
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

        WindowFixture::typeInto(w, 1, "typed while away");
        WindowFixture::leaveNote(w);
        QTRY_COMPARE(w.notices().size(), 1);
        QVERIFY2(w.notices().first().contains("cannot be reached"), qPrintable(w.notices().first()));
        QVERIFY(w.NoteChanged(1));

        // More save points while it is away: the user was told once.
        WindowFixture::typeInto(w, 1, ", and more");
        WindowFixture::leaveNote(w);
        WindowFixture::typeInto(w, 2, "second note");
        WindowFixture::leaveNote(w);
        QTest::qWait(50);
        QCOMPARE(w.notices().size(), 1);
        QVERIFY(w.NoteChanged(1) && w.NoteChanged(2));
        QVERIFY(!QFileInfo::exists(f.noteDir()));

        // Back: every kept change is written, and the notice goes.
        QVERIFY(QDir().rename(away, f.noteDir()));
        QTRY_VERIFY_WITH_TIMEOUT(!w.NoteChanged(1) && !w.NoteChanged(2), 10000);
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("typed while away, and more"));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/web.rtf").contains("second note"));
        QVERIFY(w.notices().isEmpty());
        QVERIFY(Dialogs::shown().isEmpty());
        QVERIFY(conflictCopies(f.noteDir()).isEmpty());
    }

    void everyKeystrokeReachesTheNoteWhileTheDirectoryGoesAway()
    {
        WindowFixture f;
        f.quietSettings();
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.editor(1)->setFocus();
        QTRY_VERIFY(w.editor(1)->hasFocus());
        QVERIFY(QDir().rename(f.noteDir(), f.path("gone")));

        // Keys go wherever the keyboard focus is, as a person's do, until well after the news.
        QString typed;
        int afterNotice = 0;
        QElapsedTimer clock;
        clock.start();
        while (afterNotice < 20 && clock.elapsed() < 15000) {
            QWidget *target = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                                : QApplication::focusWidget();
            QVERIFY(target);
            const char key = char('a' + typed.size() % 26);
            QTest::keyClick(target, key);
            typed += QLatin1Char(key);
            if (!w.notices().isEmpty())
                ++afterNotice;
            QTest::qWait(30);
        }
        QCOMPARE(afterNotice, 20);
        QCOMPARE(w.editor(1)->Text(), typed);
        QCOMPARE(QApplication::focusWidget(), w.editor(1));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY2(Dialogs::shown().isEmpty(), qPrintable(shownText()));
        QVERIFY(w.statusBar()->currentMessage().contains("cannot be reached"));
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
        WindowFixture::typeInto(*f.window, 2, " and typed after");
        QTRY_VERIFY_WITH_TIMEOUT(!recoveryCopy(2).isEmpty(), 10000);
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
            QVERIFY(!recoveryCopy(2).isEmpty());
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
        QVERIFY(recoveryCopy(2).isEmpty());

        // Nothing is offered at the start after a clean shutdown.
        f.window.reset();
        Dialogs::clearSeams();
        QVERIFY(f.start());
        QVERIFY(Dialogs::shown().isEmpty());
    }

    // A big note, read behind the window and spell checked, edited here and there: each recovery
    // copy is the note as it is then, byte for byte, though a copy reads only what changed.
    void recoveryCopiesOfABigNoteHoldEveryEdit()
    {
        WindowFixture f;
        f.quietSettings();
        f.settings->SaveSettingValue(QStringLiteral("SpellCheck"), QStringLiteral("Yes"));
        QByteArray body;
        for (int i = 0; i < 4000; ++i)
            body += "\\b Line\\b0  " + QByteArray::number(i) + " of a big note\\par\n";
        WindowFixture::writeFile(f.noteDir() + "/notes.rtf", WindowFixture::rtf(body));
        QVERIFY(f.start());
        f.showActive();
        QTRY_VERIFY_WITH_TIMEOUT(f.window->isNoteLoaded(1), 60000);
        RichTextBox *box = f.window->editor(1);
        const auto caretTo = [box](int paragraph, int offset) {
            QTextCursor c = box->textCursor();
            c.setPosition(box->document()->findBlockByNumber(paragraph).position() + offset);
            box->setTextCursor(c);
        };
        const std::vector<std::pair<const char *, std::function<void()>>> edits = {
            {"typed in the middle",
             [&] {
                 caretTo(2000, 4);
                 WindowFixture::typeInto(*f.window, 1, "typed ");
             }},
            {"new first paragraph",
             [&] {
                 caretTo(0, 0);
                 WindowFixture::typeInto(*f.window, 1, "new first");
                 QTest::keyClick(box, Qt::Key_Return);
             }},
            {"bold over three paragraphs",
             [&] {
                 caretTo(100, 2);
                 box->setSelLength(box->document()->findBlockByNumber(103).position() - box->SelStart());
                 box->setSelBold(true);
             }},
            {"paragraphs joined",
             [&] {
                 caretTo(3000, 0);
                 box->setFocus();
                 QTest::keyClick(box, Qt::Key_Backspace);
                 QTest::keyClick(box, Qt::Key_Backspace);
             }},
            {"paragraph moved by cut and paste",
             [&] {
                 caretTo(1500, 0);
                 QTextCursor c = box->textCursor();
                 c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
                 box->setTextCursor(c);
                 box->cut();
                 caretTo(2500, 0);
                 box->paste();
             }},
            {"undone", [&] { box->undo(); }},
            {"typed after the undo",
             [&] {
                 caretTo(3500, 0);
                 WindowFixture::typeInto(*f.window, 1, "and ");
             }},
        };
        const auto copy = [] {
            const QString path = recoveryCopy(1);
            return path.isEmpty() ? QByteArray() : WindowFixture::readFile(path);
        };
        for (const auto &[name, edit] : edits) {
            const QByteArray before = rtf::write(box->document());
            edit();
            QVERIFY2(rtf::write(box->document()) != before, name);
            QTRY_VERIFY2_WITH_TIMEOUT(copy() == rtf::write(box->document()), name, 15000);
        }
        QVERIFY2(box->paragraphsReadLastTime() < 100,
                 qPrintable(QString::number(box->paragraphsReadLastTime())));
    }

    // Saves a moment apart while typing keep one version for the stretch (the newest replaced),
    // so twenty versions span days, not minutes; a restore's version stands apart.
    void historyKeepsOneVersionPerStretchOfEditingAndRestoresOne()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("\\b zero"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        w.editor(1)->selectAll(); // what is typed over it stays bold
        WindowFixture::typeInto(w, 1, "one");
        WindowFixture::leaveNote(w);
        WindowFixture::typeInto(w, 1, " two");
        WindowFixture::leaveNote(w);
        WindowFixture::typeInto(w, 1, " three");
        WindowFixture::leaveNote(w);
        QTRY_VERIFY(WindowFixture::readFile(notes).contains("one two three"));

        const QList<NoteHistory::Version> versions = w.noteHistory().versions(notes);
        QCOMPARE(versions.size(), 1);
        QVERIFY(NoteHistory::read(versions[0]).contains("one two"));
        QVERIFY(!NoteHistory::read(versions[0]).contains("three"));

        // The dialog lists them newest first with a preview, and restores one as a single change.
        w.menuItem("notehistory")->trigger();
        auto *dialog = w.findChild<NoteHistoryDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->versionList()->count(), 1);
        dialog->versionList()->setCurrentRow(0);
        QCOMPARE(dialog->preview()->Text(), QStringLiteral("one two"));
        dialog->restoreButton()->click();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one two"));
        QVERIFY(w.NoteChanged(1));
        w.editor(1)->setSelStart(1);
        QCOMPARE(w.editor(1)->SelBold(), std::optional<bool>(true));
        w.editor(1)->undo();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one two three"));
        w.editor(1)->redo();
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("one two"));

        // Closing with nothing new adds no version; the restore, once written, adds one of its own.
        w.shutdown();
        QCOMPARE(w.noteHistory().versions(notes).size(), 2);
        QVERIFY(NoteHistory::read(w.noteHistory().versions(notes).first()).contains("one two three"));
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
