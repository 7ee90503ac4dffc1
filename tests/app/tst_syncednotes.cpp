#include "WindowFixture.h"

#include "CompareMergeDialog.h"
#include "NoteHistory.h"

#include <QDir>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>

// A note directory kept in sync by a sync program: its way of replacing a file is no change of
// ours, and the second versions it keeps beside a note are offered for merging, as our own are.
class TestSyncedNotes : public QObject
{
    Q_OBJECT

    static QStringList filesIn(const QString &dir)
    {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Clicks "Compare and merge..." in the notice and then the choice in the dialog.
    static void compareAndMerge(Quillbox &w, MergeChoice choice)
    {
        auto *action = w.findChild<QPushButton *>("noticeAction");
        QVERIFY(action);
        QCOMPARE(action->text(), "Compare and merge...");
        QCOMPARE(action->focusPolicy(), Qt::NoFocus);
        action->click();
        CompareMergeDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = w.findChild<CompareMergeDialog *>()) && dialog->isVisible());
        dialog->button(choice)->click();
    }

private slots:
    void init() { QDir(ProgramPlaces::userDataDirectory()).removeRecursively(); }

    void noteFileGoneForAMomentIsNoChangeHere_data()
    {
        QTest::addColumn<bool>("comesBack");
        QTest::newRow("replaced by the sync program") << true;
        QTest::newRow("removed for good") << false;
    }
    void noteFileGoneForAMomentIsNoChangeHere()
    {
        QFETCH(bool, comesBack);
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("written here"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;

        // The sync program takes the old file away before its new one is in place; the user
        // clicks around meanwhile, which writes nothing back.
        QVERIFY(QFile::remove(notes));
        QTRY_VERIFY(w.statusBar()->currentMessage().contains("removed elsewhere"));
        QVERIFY(!w.NoteChanged(1));
        WindowFixture::typeInto(w, 2, "a web address");
        WindowFixture::leaveNote(w);
        QVERIFY(!QFileInfo::exists(notes));

        const QByteArray theirs = WindowFixture::rtf("written on the other computer");
        if (comesBack) {
            WindowFixture::writeFile(notes, theirs);
            QTRY_COMPARE(w.editor(1)->Text(), "written on the other computer");
            QVERIFY(!w.NoteChanged(1));
        }
        w.shutdown();
        if (comesBack) {
            QCOMPARE(WindowFixture::readFile(notes), theirs);
        } else {
            // The tab's text is all that is left of the note: it is written back at the end.
            QVERIFY(WindowFixture::readFile(notes).contains("written here"));
        }
        QCOMPARE(filesIn(f.noteDir()).filter("conflict"), QStringList());
        QVERIFY(WindowFixture::eventNotices(w).isEmpty());
    }

    void aNoteIsSavedWhileTheSyncProgramReadsIt()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("before"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        QFile hashing(notes); // the sync program holds the file open while it hashes it
        QVERIFY(hashing.open(QIODevice::ReadOnly));
        WindowFixture::typeInto(w, 1, " and after");
        WindowFixture::leaveNote(w);
        QTRY_VERIFY(WindowFixture::readFile(notes).contains("before and after"));
        QVERIFY(hashing.readAll().contains("before"));
        QVERIFY(WindowFixture::eventNotices(w).isEmpty());
        QCOMPARE(filesIn(f.noteDir()), QStringList({"notes.rtf"}));
    }

    void syncConflictCopyIsOfferedForMerging_data()
    {
        QTest::addColumn<MergeChoice>("choice");
        QTest::addColumn<QString>("merged");
        QTest::newRow("Keep Mine") << MergeChoice::KeepMine << "milk\nbread";
        QTest::newRow("Keep Theirs") << MergeChoice::KeepTheirs << "milk\neggs";
        QTest::newRow("Keep Both")
            << MergeChoice::KeepBoth
            << "milk\nbread\n-------- The other version, from device ABCDEFG --------\n"
               "milk\neggs";
    }
    void syncConflictCopyIsOfferedForMerging()
    {
        QFETCH(MergeChoice, choice);
        QFETCH(QString, merged);
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        WindowFixture::writeFile(notes, WindowFixture::rtf("milk\\par bread"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;

        const QString copy = f.noteDir() + "/notes.sync-conflict-20261207-130512-ABCDEFG.rtf";
        WindowFixture::writeFile(copy, WindowFixture::rtf("milk\\par eggs"));
        QTRY_COMPARE_WITH_TIMEOUT(w.notices().size(), 1, 10000);
        const QString told = w.notices().first();
        QVERIFY2(told.contains("\"Notes\"") && told.contains("device ABCDEFG") &&
                     told.contains("notes.sync-conflict-20261207-130512-ABCDEFG.rtf"),
                 qPrintable(told));
        QVERIFY(Dialogs::shown().isEmpty());

        compareAndMerge(w, choice);
        QCOMPARE(w.editor(1)->Text(), merged);
        QCOMPARE(w.NoteChanged(1), choice != MergeChoice::KeepMine);
        if (choice != MergeChoice::KeepMine) {
            w.editor(1)->undo();
            QCOMPARE(w.editor(1)->Text(), "milk\nbread");
            w.editor(1)->redo();
        }
        // The second version leaves the note directory for the note's history.
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(WindowFixture::eventNotices(w).isEmpty());
        const QList<NoteHistory::Version> versions = w.noteHistory().versions(notes);
        QVERIFY(!versions.isEmpty());
        QVERIFY(NoteHistory::read(versions.first()).contains("eggs"));

        w.shutdown();
        QVERIFY(
            WindowFixture::readFile(notes).contains(choice == MergeChoice::KeepTheirs ? "eggs" : "bread"));
    }

    void noticeGoesWhenTheOtherComputerMergedFirst()
    {
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.noteDir() + "/web.rtf", WindowFixture::rtf("links"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;
        const QString copy = f.noteDir() + "/web.sync-conflict-20261207-130512-BCDEFGH.rtf";
        WindowFixture::writeFile(copy, WindowFixture::rtf("other links"));
        QTRY_COMPARE_WITH_TIMEOUT(w.notices().size(), 1, 10000);
        QVERIFY(w.notices().first().contains("\"Web Pages\""));
        QVERIFY(QFile::remove(copy)); // the sync program deletes it here
        QTRY_VERIFY_WITH_TIMEOUT(WindowFixture::eventNotices(w).isEmpty(), 10000);
        QCOMPARE(w.editor(2)->Text(), "links");
    }

    void ourOwnConflictCopyIsOfferedOnceForMerging()
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
        WindowFixture::leaveNote(w);
        QTRY_COMPARE(w.notices().size(), 1);
        QCOMPARE(filesIn(f.noteDir()).filter("(conflict ").size(), 1);
        // The watcher finds the copy beside the note at once; still one notice for it.
        QTest::qWait(300);
        QCOMPARE(w.notices().size(), 1);

        compareAndMerge(w, MergeChoice::KeepBoth);
        QVERIFY(w.editor(1)->Text().startsWith("shared mine\n-------- The other version, from "));
        QVERIFY(w.editor(1)->Text().endsWith("\nshared theirs"));
        QCOMPARE(filesIn(f.noteDir()).filter("conflict"), QStringList());
        QVERIFY(WindowFixture::eventNotices(w).isEmpty());
    }
};

QTEST_MAIN(TestSyncedNotes)
#include "tst_syncednotes.moc"
