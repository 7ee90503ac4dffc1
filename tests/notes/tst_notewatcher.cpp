#include "NoteTab.h"
#include "NoteWatcher.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class TestNoteWatcher : public QObject
{
    Q_OBJECT

    std::array<QString, 7> pathsIn(const QString &dir)
    {
        std::array<QString, 7> p;
        for (int n = 1; n <= 7; ++n)
            p[n - 1] = dir + QStringLiteral("/note%1.rtf").arg(n);
        return p;
    }

private slots:
    void reportsAnOutsideChangeOnceUntilAcknowledged()
    {
        QTemporaryDir dir;
        const auto paths = pathsIn(dir.path());
        writeFile(paths[0], "mine");
        NoteWatcher watcher(nullptr, 50);
        watcher.setPaths(paths);
        watcher.setKnownState(1, NoteDiskState::of(paths[0]));
        QSignalSpy spy(&watcher, &NoteWatcher::noteChangedOnDisk);
        QVERIFY(!watcher.changedOnDisk(1));

        writeFile(paths[0], "theirs");
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), 1);
        QVERIFY(watcher.changedOnDisk(1));
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1); // not repeated on every poll

        watcher.setKnownState(1, NoteDiskState::of(paths[0]));
        QVERIFY(!watcher.changedOnDisk(1));
        writeFile(paths[0], "theirs again");
        QTRY_COMPARE(spy.count(), 2);
    }

    void aFileGoneAndBackAsItWasIsNoChange()
    {
        QTemporaryDir dir;
        const auto paths = pathsIn(dir.path());
        writeFile(paths[1], "kept");
        NoteWatcher watcher(nullptr, 50);
        watcher.setPaths(paths);
        watcher.setKnownState(2, NoteDiskState::of(paths[1]));
        QSignalSpy spy(&watcher, &NoteWatcher::noteChangedOnDisk);
        QVERIFY(QFile::rename(paths[1], dir.filePath("elsewhere")));
        QTRY_COMPARE(spy.count(), 1);
        QVERIFY(QFile::rename(dir.filePath("elsewhere"), paths[1]));
        QTRY_VERIFY(!watcher.changedOnDisk(2));
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1);

        // Changed after coming back: reported again.
        writeFile(paths[1], "changed since");
        QTRY_COMPARE(spy.count(), 2);
    }

    void aFileAppearingWhereNoneWasIsAChange()
    {
        QTemporaryDir dir;
        const auto paths = pathsIn(dir.path());
        NoteWatcher watcher(nullptr, 50);
        watcher.setPaths(paths);
        QSignalSpy spy(&watcher, &NoteWatcher::noteChangedOnDisk);
        writeFile(paths[3], "someone else created it");
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), 4);
    }

    // A folder kept in sync: the sync program's temporary files and our own atomic save's come and
    // go beside the notes and are never a change; a conflict copy of a note is told once while it
    // is there, and again only if it is made anew.
    void syncedFolderTellsConflictCopiesAndIgnoresTemporaryFiles()
    {
        QTemporaryDir dir;
        std::array<QString, 7> paths;
        for (int n = 1; n <= 7; ++n)
            paths[n - 1] = dir.filePath(NoteTabs::tab(n).fileName);
        writeFile(paths[0], "mine");
        NoteWatcher watcher(nullptr, 60000);
        watcher.setPaths(paths);
        watcher.setKnownState(1, NoteDiskState::of(paths[0]));
        QSignalSpy changes(&watcher, &NoteWatcher::noteChangedOnDisk);
        QSignalSpy copies(&watcher, &NoteWatcher::conflictCopyFound);

        writeFile(dir.filePath(".syncthing.notes.rtf.tmp"), "theirs, half delivered");
        writeFile(dir.filePath("notes.rtf.Ab12Cd"), "ours, half written");
        writeFile(dir.filePath(".syncthing.notes.sync-conflict-20261207-130512-ABCDEFG.rtf.tmp"), "x");
        watcher.checkNow();
        QCOMPARE(changes.size(), 0);
        QCOMPARE(copies.size(), 0);

        const QString copy = dir.filePath("notes.sync-conflict-20261207-130512-ABCDEFG.rtf");
        QVERIFY(QFile::rename(dir.filePath(".syncthing.notes.sync-conflict-20261207-130512-ABCDEFG.rtf.tmp"),
                              copy));
        writeFile(dir.filePath("todo.sync-conflict-20261207-130512-ABCDEFG.rtf"), "not a note of ours");
        watcher.checkNow();
        watcher.checkNow();
        QCOMPARE(copies.size(), 1);
        const auto found = copies.first().first().value<ConflictCopy>();
        QCOMPARE(found.note, 1);
        QCOMPARE(found.path, copy);
        QCOMPARE(found.device, "ABCDEFG");

        QSignalSpy gone(&watcher, &NoteWatcher::conflictCopyGone);
        QVERIFY(QFile::remove(copy));
        watcher.checkNow();
        QCOMPARE(gone.size(), 1);
        QCOMPARE(gone.first().first().toString(), copy);
        writeFile(copy, "made again");
        watcher.checkNow();
        QCOMPARE(copies.size(), 2);
        QCOMPARE(changes.size(), 0);
    }

    void directoryGoingAwayAndComingBack()
    {
        QTemporaryDir base;
        const QString dir = base.filePath(QStringLiteral("share"));
        QVERIFY(QDir().mkpath(dir));
        NoteWatcher watcher(nullptr, 50);
        watcher.setPaths(pathsIn(dir));
        QSignalSpy lost(&watcher, &NoteWatcher::directoryLost);
        QSignalSpy back(&watcher, &NoteWatcher::directoryBack);
        QVERIFY(QDir(dir).removeRecursively());
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!watcher.directoryAvailable());
        QVERIFY(QDir().mkpath(dir));
        QTRY_COMPARE(back.count(), 1);
        QCOMPARE(lost.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNoteWatcher)
#include "tst_notewatcher.moc"
