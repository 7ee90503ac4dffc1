#include "ConflictCopy.h"
#include "NoteDiskState.h"
#include "SyncthingFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Telling the second versions of a note, and the files on their way to becoming one, from the
// notes and from everything else in a synced note directory.
class TestConflictCopy : public QObject
{
    Q_OBJECT

    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void recognisesConflictCopiesOfTheNotes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("note");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("when");
        QTest::addColumn<bool>("bySyncthing");
        QTest::newRow("sync: notes") << "notes.sync-conflict-20261207-130512-ABCDEFG.rtf" << 1 << "ABCDEFG"
                                     << "2026-12-07 13:05:12" << true;
        QTest::newRow("sync: tab 7") << "tab7.sync-conflict-20250101-000001-7IK7VKK.rtf" << 7 << "7IK7VKK"
                                     << "2025-01-01 00:00:01" << true;
        QTest::newRow("ours") << "web (conflict laptop 2026-12-07 1305).rtf" << 2 << "laptop"
                              << "2026-12-07 13:05:00" << false;
        QTest::newRow("ours, numbered")
            << "phone (conflict my-pc.local 2026-12-07 1305) 3.rtf" << 4 << "my-pc.local"
            << "2026-12-07 13:05:00" << false;
        QTest::newRow("no note of ours") << "todo.sync-conflict-20261207-130512-ABCDEFG.rtf" << 0 << ""
                                         << "" << false;
        QTest::newRow("other suffix") << "notes.sync-conflict-20261207-130512-ABCDEFG.txt" << 0 << ""
                                      << "" << false;
        QTest::newRow("copy of a copy")
            << "notes.sync-conflict-20261207-130512-ABCDEFG.sync-conflict-20261207-140000-BCDEFGH.rtf" << 0
            << ""
            << "" << false;
        QTest::newRow("device ID not base32") << "notes.sync-conflict-20261207-130512-abcdefg.rtf" << 0 << ""
                                              << "" << false;
        QTest::newRow("the note itself") << "notes.rtf" << 0 << ""
                                         << "" << false;
        QTest::newRow("the sync program's temp file") << ".syncthing.notes.rtf.tmp" << 0 << ""
                                                      << "" << false;
    }
    void recognisesConflictCopiesOfTheNotes()
    {
        QFETCH(QString, name);
        QFETCH(int, note);
        QFETCH(QString, device);
        QFETCH(QString, when);
        QFETCH(bool, bySyncthing);
        const std::optional<ConflictCopy> copy = ConflictCopy::fromPath("/notes dir/" + name);
        QCOMPARE(copy.has_value(), note != 0);
        if (!copy)
            return;
        QCOMPARE(copy->note, note);
        QCOMPARE(copy->path, "/notes dir/" + name);
        QCOMPARE(copy->device, device);
        QCOMPARE(copy->when, QDateTime::fromString(when, "yyyy-MM-dd HH:mm:ss"));
        QCOMPARE(copy->bySyncthing, bySyncthing);
    }

    // This computer here is "My-PC.local/2".
    void savedByNamesTheDeviceOrThisComputer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("savedBy");
        QTest::newRow("sync program") << "notes.sync-conflict-20261207-130512-ABCDEFG.rtf"
                                      << "device ABCDEFG";
        QTest::newRow("another computer") << "web (conflict laptop 2026-12-07 1305).rtf"
                                          << "laptop";
        QTest::newRow("this computer") << "phone (conflict my-pc.local_2 2026-12-07 1305) 3.rtf"
                                       << "this computer";
    }
    void savedByNamesTheDeviceOrThisComputer()
    {
        QFETCH(QString, name);
        QFETCH(QString, savedBy);
        const std::optional<ConflictCopy> copy = ConflictCopy::fromPath("/notes/" + name);
        QVERIFY(copy);
        QCOMPARE(copy->savedBy("My-PC.local/2"), savedBy);
    }

    void ourOwnConflictCopyNamesAreRecognised()
    {
        // The names this program gives its own copies, taken names included, are read back.
        QTemporaryDir dir;
        const QDateTime when(QDate(2026, 12, 7), QTime(9, 41));
        const QString first = conflictCopyPath(dir.filePath("other.rtf"), "desk top/2", when);
        touch(first);
        const QString second = conflictCopyPath(dir.filePath("other.rtf"), "desk top/2", when);
        QVERIFY(first != second);
        for (const QString &path : {first, second}) {
            const std::optional<ConflictCopy> copy = ConflictCopy::fromPath(path);
            QVERIFY2(copy, qPrintable(path));
            QCOMPARE(copy->note, 5);
            QCOMPARE(copy->device, "desk top_2");
            QCOMPARE(copy->when, when);
        }
    }

    void findsTheCopiesInADirectoryOldestFirst()
    {
        QTemporaryDir dir;
        for (const char *name :
             {"notes.rtf", "web.sync-conflict-20261207-130512-ABCDEFG.rtf",
              "notes.sync-conflict-20261206-080000-BCDEFGH.rtf", ".syncthing.web.rtf.tmp",
              "todo (conflict laptop 2026-12-01 1000).rtf", "email (conflict laptop 2026-12-07 1200).rtf"})
            touch(dir.filePath(name));
        QDir(dir.path()).mkdir("tab6.sync-conflict-20261207-130512-ABCDEFG.rtf"); // a folder, not a copy
        QStringList found;
        for (const ConflictCopy &copy : ConflictCopy::in(dir.path()))
            found << QFileInfo(copy.path).fileName();
        QCOMPARE(found, QStringList({"notes.sync-conflict-20261206-080000-BCDEFGH.rtf",
                                     "email (conflict laptop 2026-12-07 1200).rtf",
                                     "web.sync-conflict-20261207-130512-ABCDEFG.rtf"}));
    }

    void temporaryFilesAreNoNotes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("temporary");
        QTest::newRow("sync program") << ".syncthing.notes.rtf.tmp" << true;
        QTest::newRow("sync program, hashed long name") << ".syncthing.f2a9c0e1.tmp" << true;
        QTest::newRow("atomic save") << "notes.rtf.Ab12Cd" << true;
        QTest::newRow("atomic save of tab 7") << "tab7.rtf.zzzzzz" << true;
        QTest::newRow("a note") << "notes.rtf" << false;
        QTest::newRow("a conflict copy") << "notes.sync-conflict-20261207-130512-ABCDEFG.rtf" << false;
        QTest::newRow("someone else's file") << "report.rtf.Ab12Cd" << false;
        QTest::newRow("no tmp suffix") << ".syncthing.notes.rtf" << false;
    }
    void temporaryFilesAreNoNotes()
    {
        QFETCH(QString, name);
        QFETCH(bool, temporary);
        QCOMPARE(isTemporaryNoteFile(name), temporary);
    }

    void findsTheSyncedFolderAboveANoteDirectory_data()
    {
        QTest::addColumn<QString>("marker");  // where ".stfolder" is, relative to the temp dir
        QTest::addColumn<QString>("noteDir"); // the chosen directory
        QTest::addColumn<QString>("synced");  // the folder found; empty for none
        QTest::newRow("in the directory itself") << "Sync"
                                                 << "Sync"
                                                 << "Sync";
        QTest::newRow("two levels up") << "Sync"
                                       << "Sync/work/notes"
                                       << "Sync";
        QTest::newRow("not created yet") << "Sync"
                                         << "Sync/new"
                                         << "Sync";
        QTest::newRow("beside it, not above") << "Other"
                                              << "Sync/notes"
                                              << "";
        QTest::newRow("below it") << "Sync/notes/deeper"
                                  << "Sync/notes"
                                  << "";
    }
    void findsTheSyncedFolderAboveANoteDirectory()
    {
        QFETCH(QString, marker);
        QFETCH(QString, noteDir);
        QFETCH(QString, synced);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(marker + "/.stfolder"));
        QDir(dir.path()).mkpath("Sync/work/notes");
        const QString expected = synced.isEmpty() ? QString() : dir.filePath(synced);
        QCOMPARE(syncthingFolderAbove(dir.filePath(noteDir)), expected);
        QCOMPARE(syncthingFolderAbove("  " + dir.filePath(noteDir) + "/  "), expected);
    }
};

QTEST_GUILESS_MAIN(TestConflictCopy)
#include "tst_conflictcopy.moc"
