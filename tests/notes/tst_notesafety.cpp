#include "NoteDiskState.h"
#include "NoteHistory.h"
#include "RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

class TestNoteSafety : public QObject
{
    Q_OBJECT

private slots:
    void diskStateSeesChangesOfSameSize()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.rtf"));
        QVERIFY(!NoteDiskState::of(path).exists);
        writeFile(path, "{\\rtf1 aaaa}");
        const NoteDiskState before = NoteDiskState::of(path);
        QVERIFY(before.exists);
        QVERIFY(before.sameContentAs(NoteDiskState::ofContent("{\\rtf1 aaaa}", {})));
        // Another machine writes the same number of bytes within the same second.
        writeFile(path, "{\\rtf1 bbbb}");
        QVERIFY(!before.sameContentAs(NoteDiskState::of(path)));
        QFile::remove(path);
        QVERIFY(!before.sameContentAs(NoteDiskState::of(path)));
        QVERIFY(NoteDiskState().sameContentAs(NoteDiskState::of(path)));
    }

    void conflictCopyNamesHostAndTimeAndNeverOverwrites()
    {
        QTemporaryDir dir;
        const QString note = dir.filePath(QStringLiteral("notes.rtf"));
        const QDateTime when(QDate(2026, 12, 7), QTime(16, 7));
        const QString first = conflictCopyPath(note, QStringLiteral("desk/1"), when);
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("notes (conflict desk_1 2026-12-07 1607).rtf"));
        writeFile(first, "x");
        const QString second = conflictCopyPath(note, QStringLiteral("desk/1"), when);
        QVERIFY(second != first);
        QVERIFY(!QFile::exists(second));
    }

    void historyKeepsNewestTwentyWithinThirtyDays()
    {
        QTemporaryDir dir;
        NoteHistory history(dir.filePath(QStringLiteral("history")));
        const QString note = dir.filePath(QStringLiteral("notes/notes.rtf"));
        const QDateTime now = QDateTime::currentDateTime();
        // Two old versions, then 25 recent ones.
        QVERIFY(history.keep(note, "old1", now.addDays(-40)));
        QVERIFY(history.keep(note, "old2", now.addDays(-31)));
        for (int i = 0; i < 25; ++i)
            QVERIFY(history.keep(note, QByteArray::number(i), now.addSecs(i - 100)));
        const auto versions = history.versions(note);
        QCOMPARE(versions.size(), 20);
        QCOMPARE(NoteHistory::read(versions.first()), QByteArray("24")); // newest first
        QCOMPARE(NoteHistory::read(versions.last()), QByteArray("5"));
        for (const auto &v : versions)
            QVERIFY(v.when > now.addDays(-30));
    }

    void historyStaysWithinItsSizeAndSkipsRepeats()
    {
        QTemporaryDir dir;
        NoteHistory history(dir.filePath(QStringLiteral("history")), 20, 30, 1000);
        const QString note = dir.filePath(QStringLiteral("notes/notes.rtf"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int i = 0; i < 6; ++i)
            QVERIFY(history.keep(note, QByteArray(300, char('a' + i)), now.addSecs(i)));
        // 1000 bytes hold the newest three; the oldest went first.
        auto versions = history.versions(note);
        QCOMPARE(versions.size(), 3);
        QCOMPARE(NoteHistory::read(versions.last()), QByteArray(300, 'd'));

        // The same content again is no new version.
        QVERIFY(history.keep(note, QByteArray(300, 'f'), now.addSecs(10)));
        QCOMPARE(history.versions(note).size(), 3);

        // One version larger than the whole allowance is still kept, alone.
        QVERIFY(history.keep(note, QByteArray(2000, 'z'), now.addSecs(20)));
        versions = history.versions(note);
        QCOMPARE(versions.size(), 1);
        QCOMPARE(NoteHistory::read(versions.first()).size(), 2000);
    }

    // Saves while editing keep one version per ten minutes, the newest standing for the stretch;
    // a version kept for another reason (replaced elsewhere, a command, a restore) stays apart.
    void historyKeepsOneVersionPerTenMinutesOfEditing()
    {
        QTemporaryDir dir;
        NoteHistory history(dir.filePath(QStringLiteral("history")));
        const QString note = dir.filePath(QStringLiteral("notes.rtf"));
        const QDateTime t0 = QDateTime::currentDateTime().addSecs(-3600);
        const auto contents = [&] {
            QStringList all;
            for (const NoteHistory::Version &v : history.versions(note))
                all << QString::fromLatin1(NoteHistory::read(v));
            return all;
        };
        QVERIFY(history.keepEdit(note, "a", t0));
        QVERIFY(history.keepEdit(note, "b", t0.addSecs(60)));
        QVERIFY(history.keepEdit(note, "c", t0.addSecs(540)));
        QCOMPARE(contents(), (QStringList{"c"}));
        QVERIFY(history.keepEdit(note, "d", t0.addSecs(600)));
        QCOMPARE(contents(), (QStringList{"d", "c"}));
        QVERIFY(history.keep(note, "replaced elsewhere", t0.addSecs(660)));
        QVERIFY(history.keepEdit(note, "e", t0.addSecs(720)));
        QCOMPARE(contents(), (QStringList{"e", "replaced elsewhere", "d", "c"}));
    }

    void historyOfTwoNoteDirectoriesDoesNotMix()
    {
        QTemporaryDir dir;
        NoteHistory history(dir.filePath(QStringLiteral("history")));
        QVERIFY(history.keep(dir.filePath(QStringLiteral("a/notes.rtf")), "from a"));
        QVERIFY(history.keep(dir.filePath(QStringLiteral("b/notes.rtf")), "from b"));
        QCOMPARE(history.versions(dir.filePath(QStringLiteral("a/notes.rtf"))).size(), 1);
        QCOMPARE(NoteHistory::read(history.versions(dir.filePath(QStringLiteral("b/notes.rtf"))).first()),
                 QByteArray("from b"));
    }

    void historyKeepsVersionsWrittenInTheSameMillisecond()
    {
        QTemporaryDir dir;
        NoteHistory history(dir.filePath(QStringLiteral("h")));
        const QString note = dir.filePath(QStringLiteral("notes.rtf"));
        const QDateTime when = QDateTime::currentDateTime();
        QVERIFY(history.keep(note, "one", when));
        QVERIFY(history.keep(note, "two", when));
        QCOMPARE(history.versions(note).size(), 2);
    }

    void recoveryOffersOnlyCopiesNewerThanTheirNote()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
        const auto notePath = [&](int n) { return dir.filePath(QStringLiteral("note%1.rtf").arg(n)); };
        writeFile(notePath(1), "saved later");
        QVERIFY(!store.save(1, "typed"));
        QVERIFY(!store.save(2, "typed into a note that has no file yet"));
        // Note 1's file was written after its recovery copy: nothing to offer for it.
        QFile f(notePath(1));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        f.close();
        const auto offered = store.newerThanNotes(notePath);
        QCOMPARE(offered.size(), 1);
        QCOMPARE(offered.first().note, 2);
        QCOMPARE(store.read(2), QByteArray("typed into a note that has no file yet"));
        store.removeAll();
        QVERIFY(store.newerThanNotes(notePath).isEmpty());
    }

    void copiesLeftInTheOneFolderOfEarlierVersionsAreStillOffered()
    {
        QTemporaryDir dir;
        const QString base = dir.filePath(QStringLiteral("recovery"));
        const auto notePath = [&](int n) { return dir.filePath(QStringLiteral("note%1.rtf").arg(n)); };
        // An earlier version kept every copy of the user's right in the recovery folder.
        QVERIFY(QDir().mkpath(base));
        writeFile(base + QStringLiteral("/note3.rtf"), "typed before a crash");
        const QDateTime crashed = QDateTime::currentDateTime().addSecs(-30);
        {
            QFile f(base + QStringLiteral("/note3.rtf"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(crashed, QFileDevice::FileModificationTime));
        }
        writeFile(notePath(3), "saved before that");
        {
            QFile f(notePath(3));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(crashed.addSecs(-60), QFileDevice::FileModificationTime));
        }

        RecoveryStore store(base);
        store.setNoteSet(dir.path(), dir.filePath(QStringLiteral("settings.ini")));
        const auto offered = store.newerThanNotes(notePath);
        QCOMPARE(offered.size(), 1);
        QCOMPARE(offered.first().note, 3);
        QCOMPARE(offered.first().saved, crashed);
        QCOMPARE(store.read(3), QByteArray("typed before a crash"));
        // Taken over by this note set: another one started later finds nothing of it.
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/note3.rtf")));
        RecoveryStore other(base);
        other.setNoteSet(dir.path(), dir.filePath(QStringLiteral("other.ini")));
        QVERIFY(other.newerThanNotes(notePath).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNoteSafety)
#include "tst_notesafety.moc"
