#include "WindowFixture.h"

#include "FileHelpers.h"
#include "NoteFiles.h"
#include "NoteStorage.h"
#include "RecoveryCopies.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTabBar>

#include <csignal>
#include <sys/stat.h>

// Notes are never lost or silently left unsaved: an unreadable note file is kept, a failed write
// is reported and retried, shutdown into an unreachable directory keeps recovery copies, and a
// write killed halfway leaves the previous file whole.
class TestNoteFiles : public QObject
{
    Q_OBJECT

    // A note file the program may open but never read: every read ends in an I/O error, even
    // for root (the tests run as root in CI, where permissions would not stop a read).
    static void makeUnreadable(const QString &path)
    {
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        QVERIFY(FileExists(path));
    }

private slots:
    void unreadableNoteIsKeptUntilTheUserTypes()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        makeUnreadable(notes);
        WindowFixture::writeFile(f.noteDir() + "/web.rtf", WindowFixture::rtf("still loaded"));
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        // The tab starts empty, the others load, and the user is told which file.
        QCOMPARE(w.editor(1)->Text(), QString());
        QCOMPARE(w.editor(2)->Text(), QStringLiteral("still loaded"));
        QCOMPARE(Dialogs::shown().size(), 1);
        QVERIFY(Dialogs::shown().first().text.contains(notes));

        // Leaving the note without typing and closing leave the file alone.
        f.showActive();
        w.editor(1)->setFocus();
        QTRY_VERIFY(w.editor(1)->hasFocus());
        WindowFixture::leaveNote(w);
        w.shutdown();
        QVERIFY(QFileInfo(notes).isSymLink());
        QCOMPARE(QDir(f.noteDir()).entryList({"notes*"}, QDir::Files | QDir::System),
                 QStringList{"notes.rtf"});

        // Typing into the note: the unreadable file is kept beside it, then the note is written.
        f.window.reset();
        Dialogs::clearSeams();
        QVERIFY(f.start());
        f.showActive();
        WindowFixture::typeInto(*f.window, 1, "fresh start");
        WindowFixture::leaveNote(*f.window);
        QTRY_VERIFY(!QFileInfo(notes).isSymLink());
        QVERIFY(WindowFixture::readFile(notes).contains("fresh start"));
        const QStringList kept =
            QDir(f.noteDir()).entryList({"notes (unreadable*).rtf"}, QDir::System | QDir::Files);
        QCOMPARE(kept.size(), 1);
        QVERIFY(QFileInfo(f.noteDir() + "/" + kept.first()).isSymLink());
    }

    void unreadableNoteChangedBeforeShutdownIsWrittenAfterKeepingTheFile()
    {
        WindowFixture f;
        f.quietSettings();
        const QString notes = f.noteDir() + "/notes.rtf";
        makeUnreadable(notes);
        QVERIFY(f.start());
        f.window->editor(1)->setText(QStringLiteral("typed before closing"));
        f.window->shutdown();
        QVERIFY(!QFileInfo(notes).isSymLink());
        QVERIFY(WindowFixture::readFile(notes).contains("typed before closing"));
        QCOMPARE(QDir(f.noteDir()).entryList({"notes (unreadable*).rtf"}, QDir::System | QDir::Files).size(),
                 1);
    }

    void failedWriteIsToldOnceAndRetried()
    {
        WindowFixture f;
        f.quietSettings();
        // The note directory lies under an ordinary file: no write can succeed, not even as root.
        WindowFixture::writeFile(f.path("blocker"), "not a directory");
        const QString dir = f.path("blocker/notes");
        f.settings->SaveSettingValue("Network", dir);
        QVERIFY(f.start());
        f.showActive();
        Quillbox &w = *f.window;

        // The start tells that the folder is not there.
        QCOMPARE(w.notices().size(), 1);
        QVERIFY2(w.notices().first().contains(dir + " does not exist"), qPrintable(w.notices().first()));

        WindowFixture::typeInto(w, 1, "important");
        WindowFixture::leaveNote(w);
        // Told beside the note, without a box that would take the keys typed next; this notice
        // takes the place of the one from the start.
        QTRY_COMPARE(w.notices().size(), 1);
        const QString told = w.notices().first();
        QCOMPARE(told, "The note directory " + dir +
                           " does not exist: \"Notes\" was not saved. Your text "
                           "is safe in this window and in a recovery copy.");
        QVERIFY(w.NoteChanged(1));

        // The next save point tries again, without telling the user a second time.
        WindowFixture::typeInto(w, 1, " more");
        WindowFixture::leaveNote(w);
        QTest::qWait(20);
        QCOMPARE(w.notices().size(), 1);
        QVERIFY(w.NoteChanged(1));

        // Once the directory is reachable the next save point writes the note, and the notice goes.
        QVERIFY(QFile::remove(f.path("blocker")));
        QVERIFY(QDir().mkpath(dir));
        WindowFixture::typeInto(w, 1, "!");
        WindowFixture::leaveNote(w);
        QTRY_VERIFY(QFileInfo::exists(dir + "/notes.rtf"));
        QVERIFY(WindowFixture::readFile(dir + "/notes.rtf").contains("important more!"));
        QVERIFY(!w.NoteChanged(1));
        QVERIFY(w.notices().isEmpty());
        QVERIFY(Dialogs::shown().isEmpty());
    }

    void shutdownIntoAnUnreachableDirectoryKeepsRecoveryCopies()
    {
        QDir(RecoveryCopies::directory()).removeRecursively(); // left by an earlier run
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.path("blocker"), "not a directory");
        f.settings->SaveSettingValue("Network", f.path("blocker/notes"));
        QVERIFY(f.start());
        f.window->show();
        f.window->editor(1)->setText(QStringLiteral("shopping list"));
        f.window->editor(4)->setText(QStringLiteral("555 0100"));
        Dialogs::clearSeams();
        f.window->shutdown();
        // Shutdown shows nothing and still stores the window's size.
        QVERIFY(Dialogs::shown().isEmpty());
        QVERIFY(!f.settings->GetSettingValue("Height").isEmpty());
        const QStringList copies = QDir(RecoveryCopies::directory()).entryList(QDir::Files);
        QCOMPARE(copies.size(), 2); // the changed notes; unchanged ones are still on disk as they were
        QVERIFY(copies.filter("notes.rtf").size() == 1 && copies.filter("phone.rtf").size() == 1);
        const QString notesCopy = RecoveryCopies::directory() + "/" + copies.filter("notes.rtf").first();
        QVERIFY(WindowFixture::readFile(notesCopy).contains("shopping list"));

        // The next start puts the text back into its tabs and says where it was kept, without a
        // box; the next close writes it.
        f.window.reset();
        f.settings->SaveSettingValue("Network", f.noteDir());
        QVERIFY(f.start());
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(f.window->editor(1)->Text(), QStringLiteral("shopping list"));
        QCOMPARE(f.window->editor(4)->Text(), QStringLiteral("555 0100"));
        QVERIFY(f.window->NoteChanged(1) && f.window->NoteChanged(4));
        QCOMPARE(f.window->notices().size(), 1);
        QVERIFY2(f.window->notices().first().contains(notesCopy), qPrintable(f.window->notices().first()));
        f.window->shutdown();
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("shopping list"));
        f.window.reset();
        QVERIFY(f.start());
        QVERIFY(Dialogs::shown().isEmpty() && f.window->notices().isEmpty());
        QVERIFY(QDir(RecoveryCopies::directory()).removeRecursively());
    }

    void changingTheNoteDirectorySavesThenLoadsTheNewPlace()
    {
        WindowFixture f;
        f.quietSettings();
        const QString other = f.path("shared");
        QVERIFY(QDir().mkpath(other));
        WindowFixture::writeFile(other + "/web.rtf", WindowFixture::rtf("shared bookmarks"));
        QVERIFY(f.start());
        Quillbox &w = *f.window;
        w.editor(1)->setText(QStringLiteral("written to the old place"));
        w.editor(3)->setText(QStringLiteral("also old"));
        w.changeNoteDirectory(other);
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/notes.rtf").contains("written to the old place"));
        QVERIFY(WindowFixture::readFile(f.noteDir() + "/email.rtf").contains("also old"));
        QCOMPARE(w.NoteDir(), other);
        QCOMPARE(w.notePath(2), other + "/web.rtf");
        QCOMPARE(w.editor(2)->Text(), QStringLiteral("shared bookmarks"));
        QVERIFY(!w.NoteChanged(2));
        // The tabs whose file is not in the new place keep their text and write it there.
        QCOMPARE(w.editor(1)->Text(), QStringLiteral("written to the old place"));
        QCOMPARE(w.editor(3)->Text(), QStringLiteral("also old"));
        QVERIFY(w.NoteChanged(1) && w.NoteChanged(3));
        QVERIFY(Dialogs::shown().isEmpty());
        w.shutdown();
        QVERIFY(WindowFixture::readFile(other + "/notes.rtf").contains("written to the old place"));
        QVERIFY(WindowFixture::readFile(other + "/email.rtf").contains("also old"));
        QVERIFY(WindowFixture::readFile(other + "/web.rtf").contains("shared bookmarks"));
    }

    void changingAwayFromAnUnreachableDirectoryKeepsTheChanges()
    {
        QDir(RecoveryCopies::directory()).removeRecursively(); // left by an earlier run
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.path("blocker"), "not a directory");
        f.settings->SaveSettingValue("Network", f.path("blocker/notes"));
        QVERIFY(f.start());
        f.window->editor(1)->setText(QStringLiteral("must not vanish"));
        f.window->changeNoteDirectory(f.noteDir());
        QTRY_VERIFY(!Dialogs::shown().isEmpty());
        const QStringList copies = QDir(RecoveryCopies::directory()).entryList({"*notes.rtf"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        const QString copy = RecoveryCopies::directory() + "/" + copies.first();
        QVERIFY(WindowFixture::readFile(copy).contains("must not vanish"));
        bool toldWhere = false;
        for (const Dialogs::Shown &s : Dialogs::shown())
            toldWhere = toldWhere || s.text.contains(copy);
        QVERIFY(toldWhere);
        QVERIFY(QDir(RecoveryCopies::directory()).removeRecursively());
    }

    void noteFilesInTheUserDataFolderAreTheOwnersAlone_data()
    {
        QTest::addColumn<bool>("shared");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("expected"); // permission bits, -1 for the usual ones of a new file
        QTest::newRow("per-user folder, new file") << false << false << 0600;
        QTest::newRow("shared folder, new file") << true << false << -1;
        QTest::newRow("shared folder, the user's own permissions") << true << true << 0664;
    }
    void noteFilesInTheUserDataFolderAreTheOwnersAlone()
    {
        QFETCH(bool, shared);
        QFETCH(bool, existing);
        QFETCH(int, expected);
        const QString userData = ProgramPlaces::userDataDirectory();
        QCOMPARE(int(QFileInfo(userData).permissions() & 0x0077), 0); // group and others: nothing
        WindowFixture f;
        const QString dir = shared ? f.noteDir() : userData;
        const QString path = dir + "/tab7.rtf";
        QFile::remove(path);
        if (existing) {
            WindowFixture::writeFile(path, "{\\rtf1 old}");
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther));
        }
        RichTextBox box;
        box.setText("private");
        NoteFiles files(allThrough(NoteStorage::plain()));
        QVERIFY(files.save(7, box.TextRTF(), path));
        const QFileDevice::Permissions perms = QFileInfo(path).permissions();
        const auto unixBits = [](QFileDevice::Permissions p) {
            int bits = 0;
            bits |= p & QFileDevice::ReadOwner ? 0400 : 0;
            bits |= p & QFileDevice::WriteOwner ? 0200 : 0;
            bits |= p & QFileDevice::ReadGroup ? 040 : 0;
            bits |= p & QFileDevice::WriteGroup ? 020 : 0;
            bits |= p & QFileDevice::ReadOther ? 04 : 0;
            bits |= p & QFileDevice::WriteOther ? 02 : 0;
            return bits;
        };
        if (expected >= 0) {
            QCOMPARE(QString::number(unixBits(perms), 8), QString::number(expected, 8));
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(QString::number(unixBits(perms), 8), QString::number(0666 & ~mask, 8));
        }
        QFile::remove(path);
    }

    void asidePathNeverReplacesAnEarlierOne()
    {
        QTemporaryDir dir;
        const QDateTime when(QDate(2026, 12, 7), QTime(8, 30, 0));
        const QString first = NoteFiles::asidePath(dir.filePath("notes.rtf"), when);
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("notes (unreadable 2026-12-07 08-30-00).rtf"));
        WindowFixture::writeFile(first, "x");
        QVERIFY(NoteFiles::asidePath(dir.filePath("notes.rtf"), when) != first);
    }

    void killedWriteLeavesAWholeNote()
    {
        // The writer saves two large notes in turn to the same file as fast as it can; it is
        // killed at random moments, and the file must always be one of the two complete notes.
        QTemporaryDir dir;
        const QString note = dir.filePath("notes.rtf");
        QProcess writer;
        writer.setProgram(QStringLiteral(NOTE_WRITER));
        writer.setArguments({note});
        for (int round = 0; round < 8; ++round) {
            writer.start();
            QVERIFY(writer.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(note + ".b"), 20000);
            QTest::qWait(QRandomGenerator::global()->bounded(5, 60));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            const QByteArray onDisk = WindowFixture::readFile(note);
            const bool whole = onDisk == WindowFixture::readFile(note + ".a") ||
                               onDisk == WindowFixture::readFile(note + ".b");
            QVERIFY2(whole, qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(onDisk.size())));
        }
    }
};

QTEST_MAIN(TestNoteFiles)
#include "tst_notefiles.moc"
