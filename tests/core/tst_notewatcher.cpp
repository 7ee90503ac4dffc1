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
