#include "NoteHistory.h"
#include "NoteSet.h"
#include "NoteStorage.h"
#include "NoteText.h"
#include "OpenPgp.h"
#include "Secret.h"
#include "ProgramPlaces.h"

#include <QDirIterator>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// Changes every byte on its way: nothing it writes holds the note's text as it is.
class ScramblingStorage final : public NoteStorage
{
public:
    static QByteArray scrambled(QByteArray bytes)
    {
        for (char &c : bytes)
            c = static_cast<char>(c ^ 0x5a);
        return bytes;
    }
    std::optional<QByteArray> read(const QString &path, QString *error) const override
    {
        std::optional<QByteArray> bytes = NoteStorage::plain().read(path, error);
        if (bytes)
            *bytes = scrambled(*bytes);
        return bytes;
    }
    DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                               DurableFile::Access access) const override
    {
        return NoteStorage::plain().write(path, scrambled(bytes), access);
    }
};

// A disk that fails every write while told to, for the failure given.
class FailingStorage final : public NoteStorage
{
public:
    DurableFile::Failure::Kind failing = DurableFile::Failure::Kind::None;
    std::optional<QByteArray> read(const QString &path, QString *error) const override
    {
        return NoteStorage::plain().read(path, error);
    }
    DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                               DurableFile::Access access) const override
    {
        if (failing != DurableFile::Failure::Kind::None)
            return {failing, QStringLiteral("refused by the test")};
        return NoteStorage::plain().write(path, bytes, access);
    }
};

QString firstFileUnder(const QString &dir, const QString &pattern)
{
    QDirIterator it(dir, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

void type(NoteSet &notes, int n, const QString &text)
{
    QTextCursor cursor(notes.document(n));
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

// Every file under the folders, with its bytes.
QMap<QString, QByteArray> filesUnder(const QStringList &dirs)
{
    QMap<QString, QByteArray> files;
    for (const QString &dir : dirs) {
        for (QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            files.insert(file, NoteStorage::plain().read(file).value_or(QByteArray()));
        }
    }
    return files;
}

const Secret &passphrase()
{
    static const Secret secret(QStringLiteral("correct horse"));
    return secret;
}

QString textOf(const QByteArray &rtf)
{
    QTextDocument doc;
    NoteText::fill(&doc, rtf);
    return doc.toPlainText();
}

} // namespace

class TestNoteSet : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(ProgramPlaces::userDataDirectory()).removeRecursively();
        QVERIFY(m_dir.isValid());
        m_notesDir = m_dir.filePath(QStringLiteral("notes"));
        QVERIFY(QDir().mkpath(m_notesDir));
    }

    void cleanup() { QDir(m_notesDir).removeRecursively(); }

    // Every file that holds a note's text is written, and read back, through the note set's
    // storage: a storage that scrambles leaves no plain text on the disk.
    void everyByteOfANoteGoesThroughItsStorage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected"); // the text the file holds, read through the storage
        QTest::addColumn<bool>("locked");      // a locked note on the plain storage, not scrambled
        for (const bool locked : {false, true}) {
            const char *how = locked ? "locked " : "scrambled ";
            QTest::addRow("%snote file", how) << "note file" << "first secret" << locked;
            QTest::addRow("%srecovery copy", how) << "recovery copy" << "first secret" << locked;
            QTest::addRow("%shistory", how) << "history" << "first secret" << locked;
            QTest::addRow("%sconflict copy", how) << "conflict copy" << "their secret" << locked;
            QTest::addRow("%srecovered notes", how) << "recovered notes" << "first secret" << locked;
        }
    }
    void everyByteOfANoteGoesThroughItsStorage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QFETCH(bool, locked);
        const ScramblingStorage scrambling;
        const NoteStorage &storage = locked ? NoteStorage::plain() : scrambling;
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), storage);
        notes.load(m_notesDir, 1);
        notes.finishLoading(1);
        if (locked)
            QCOMPARE(notes.lock(1, Secret(QStringLiteral("passphrase"))), QString());
        type(notes, 1, QStringLiteral("first secret"));
        QVERIFY(notes.isChanged(1));

        QString file;
        if (kind == "note file") {
            QVERIFY(notes.save(1));
            file = notes.path(1);
        } else if (kind == "recovery copy") {
            const QString recovery = ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery");
            QTRY_VERIFY_WITH_TIMEOUT(!(file = firstFileUnder(recovery, QStringLiteral("note1.rtf"))).isEmpty() &&
                                         !NoteStorage::plain().read(file).value_or(QByteArray()).isEmpty(),
                                     5 * NoteSafety::RecoveryDelayMs);
        } else if (kind == "history") {
            QVERIFY(notes.save(1));
            type(notes, 1, QStringLiteral(" then more"));
            QVERIFY(notes.save(1));
            const QList<NoteHistory::Version> versions = notes.history().versions(notes.path(1));
            QCOMPARE(versions.size(), 1);
            file = versions.first().path;
            QCOMPARE(textOf(notes.history().bytesOf(versions.first())), expected);
        } else if (kind == "conflict copy") {
            QVERIFY(notes.save(1));
            // Another computer writes the note (as it, too, keeps it); typed here meanwhile.
            const QByteArray theirs = "{\\rtf1 their secret}";
            QVERIFY(!storage.write(notes.path(1),
                                   locked ? OpenPgp::encrypt(theirs, Secret(QStringLiteral("passphrase"))).bytes : theirs,
                                   DurableFile::Access::Kept));
            type(notes, 1, QStringLiteral(" and mine"));
            QVERIFY(notes.save(1));
            file = firstFileUnder(m_notesDir, QStringLiteral("*conflict*"));
        } else if (kind == "recovered notes") {
            // The note directory is gone when the program closes.
            QVERIFY(QDir(m_notesDir).removeRecursively());
            notes.close();
            file = firstFileUnder(ProgramPlaces::userDataDirectory() + QStringLiteral("/Recovered notes"),
                                  QStringLiteral("*notes.rtf*"));
        }
        QVERIFY2(!file.isEmpty(), qPrintable(kind));
        const QByteArray raw = NoteStorage::plain().read(file).value_or(QByteArray());
        QVERIFY(!raw.isEmpty());
        QVERIFY2(!raw.contains("secret"), raw.constData());
        const QByteArray bytes = locked ? OpenPgp::decrypt(raw, Secret(QStringLiteral("passphrase"))).bytes
                                        : storage.read(file, nullptr).value_or(QByteArray());
        QCOMPARE(textOf(bytes), expected);
    }

    // A note nobody changed here follows its file when another program changes it; the text it
    // showed goes to the history.
    void aNoteFollowsItsFileChangedElsewhere()
    {
        const QString path = m_notesDir + QStringLiteral("/notes.rtf");
        QVERIFY(!NoteStorage::plain().write(path, "{\\rtf1 mine}"));
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        QSignalSpy loaded(&notes, &NoteSet::loaded);
        QSignalSpy reloaded(&notes, &NoteSet::reloaded);
        notes.load(m_notesDir, 1);
        QTRY_COMPARE(loaded.count(), 7);
        QCOMPARE(notes.document(1)->toPlainText(), QStringLiteral("mine"));

        QVERIFY(!NoteStorage::plain().write(path, "{\\rtf1 theirs, longer}"));
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 10000);
        QCOMPARE(reloaded.first().first().toInt(), 1);
        QCOMPARE(notes.document(1)->toPlainText(), QStringLiteral("theirs, longer"));
        QVERIFY(!notes.isChanged(1));
        QVERIFY(!notes.isEdited(1));
        const QList<NoteHistory::Version> versions = notes.history().versions(path);
        QCOMPARE(versions.size(), 1);
        QCOMPARE(textOf(notes.history().bytesOf(versions.first())), QStringLiteral("mine"));
    }

    // A save the storage refuses says why, leaves the note changed, and is tried again until the
    // storage takes it.
    void aRefusedSaveSaysWhyAndIsTriedAgain_data()
    {
        QTest::addColumn<int>("failure"); // a DurableFile::Failure::Kind
        QTest::addColumn<QString>("told");
        QTest::newRow("disk full") << int(DurableFile::Failure::Kind::DiskFull) << "is full";
        QTest::newRow("read-only") << int(DurableFile::Failure::Kind::ReadOnly) << "is read-only";
    }
    void aRefusedSaveSaysWhyAndIsTriedAgain()
    {
        QFETCH(int, failure);
        QFETCH(QString, told);
        FailingStorage storage;
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), storage);
        notes.load(m_notesDir, 1);
        notes.finishLoading(1);
        QSignalSpy notSaved(&notes, &NoteSet::notSaved);
        QSignalSpy saved(&notes, &NoteSet::saved);
        type(notes, 1, QStringLiteral("kept here"));
        storage.failing = static_cast<DurableFile::Failure::Kind>(failure);
        QVERIFY(!notes.save(1));
        QCOMPARE(notSaved.count(), 1);
        QVERIFY2(notSaved.first().at(1).toString().contains(told), qPrintable(notSaved.first().at(1).toString()));
        QVERIFY(notes.isChanged(1));
        QVERIFY(!QFileInfo::exists(notes.path(1)));

        storage.failing = DurableFile::Failure::Kind::None;
        QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 3 * NoteSet::RetryWritesMs);
        QVERIFY(!notes.isChanged(1));
        QCOMPARE(textOf(NoteStorage::plain().read(notes.path(1)).value_or(QByteArray())),
                 QStringLiteral("kept here"));
    }

    // A locked note locked again shows nothing until its passphrase is given; one that does not
    // open it (wrong, or the file is damaged) says why and leaves every file as it was.
    void aFailedUnlockSaysWhyAndChangesNothing_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("cutTo"); // the encrypted file cut to this many bytes first (0: whole)
        QTest::addColumn<QString>("told");
        QTest::newRow("wrong passphrase") << "wrong horse" << 0 << "The passphrase is wrong.";
        QTest::newRow("file cut short") << "correct horse" << 120 << "damaged";
    }
    void aFailedUnlockSaysWhyAndChangesNothing()
    {
        QFETCH(QString, given);
        QFETCH(int, cutTo);
        QFETCH(QString, told);
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        notes.load(m_notesDir, 1);
        notes.finishLoading(1);
        type(notes, 1, QStringLiteral("a long enough note to be cut short somewhere in its middle"));
        QVERIFY(notes.save(1));
        QCOMPARE(notes.lock(1, passphrase()), QString());
        QCOMPARE(notes.path(1), m_notesDir + QStringLiteral("/notes.rtf.gpg"));
        QVERIFY(!QFileInfo::exists(m_notesDir + QStringLiteral("/notes.rtf")));
        QSignalSpy sealed(&notes, &NoteSet::sealed);
        QVERIFY(notes.lockNow().isEmpty());
        QCOMPARE(sealed.count(), 1);
        QVERIFY(notes.isSealed(1));
        QVERIFY(notes.document(1)->isEmpty());
        QVERIFY(!notes.document(1)->isUndoAvailable());
        if (cutTo > 0)
            QVERIFY(QFile::resize(notes.path(1), cutTo));
        const QStringList dirs{m_notesDir, ProgramPlaces::userDataDirectory()};
        const QMap<QString, QByteArray> before = filesUnder(dirs);

        QSignalSpy failed(&notes, &NoteSet::unlockFailed);
        notes.unlock(1, Secret(given));
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
        QVERIFY2(failed.first().at(1).toString().contains(told), qPrintable(failed.first().at(1).toString()));
        QVERIFY(notes.isSealed(1));
        QVERIFY(notes.save(1)); // nothing to write
        QCOMPARE(filesUnder(dirs), before);
    }

    // A crash while a locked note is open leaves an encrypted recovery copy; the next start shows
    // the note locked, and offers the copy once the passphrase opens it.
    void aLockedNotesCrashCopyIsOfferedOnceUnlocked()
    {
        {
            NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
            notes.load(m_notesDir, 1);
            notes.finishLoading(1);
            type(notes, 1, QStringLiteral("saved"));
            QCOMPARE(notes.lock(1, passphrase()), QString());
            type(notes, 1, QStringLiteral(" and typed"));
            const QString recovery = ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery");
            QString copy;
            QTRY_VERIFY_WITH_TIMEOUT(!(copy = firstFileUnder(recovery, QStringLiteral("note1.rtf"))).isEmpty() &&
                                         OpenPgp::looksEncrypted(NoteStorage::plain().read(copy).value_or("")),
                                     5 * NoteSafety::RecoveryDelayMs);
        } // gone without closing, as in a crash

        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        QSignalSpy sealed(&notes, &NoteSet::sealed);
        notes.load(m_notesDir, 1);
        QCOMPARE(sealed.count(), 1);
        QVERIFY(notes.recoveryOffers().isEmpty());
        QSignalSpy unlocked(&notes, &NoteSet::unlocked);
        notes.unlock(1, passphrase());
        QTRY_COMPARE_WITH_TIMEOUT(unlocked.count(), 1, 20000);
        QCOMPARE(notes.document(1)->toPlainText(), QStringLiteral("saved"));
        const QList<NoteSafety::Offer> offers = notes.recoveryOffers(1);
        QCOMPARE(offers.size(), 1);
        QCOMPARE(textOf(offers.first().bytes), QStringLiteral("saved and typed"));
    }

    // Removing the lock brings the plain note and its history back, and leaves nothing encrypted
    // that nobody could open any more.
    void removingTheLockLeavesAPlainNote()
    {
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        notes.load(m_notesDir, 1);
        notes.finishLoading(1);
        type(notes, 1, QStringLiteral("first"));
        QVERIFY(notes.save(1));
        type(notes, 1, QStringLiteral(" second"));
        QVERIFY(notes.save(1)); // "first" goes to the history
        QCOMPARE(notes.lock(1, passphrase()), QString());
        QVERIFY(OpenPgp::looksEncrypted(
            NoteStorage::plain().read(notes.history().versions(notes.path(1)).first().path).value_or("")));
        QVERIFY(notes.history().versions(m_notesDir + QStringLiteral("/notes.rtf")).isEmpty());

        QCOMPARE(notes.removeLock(1, Secret(QStringLiteral("wrong horse"))), QStringLiteral("The passphrase is wrong."));
        QCOMPARE(notes.removeLock(1, passphrase()), QString());
        QVERIFY(!notes.isLocked(1));
        QVERIFY(!QFileInfo::exists(m_notesDir + QStringLiteral("/notes.rtf.gpg")));
        QCOMPARE(textOf(NoteStorage::plain().read(notes.path(1)).value_or("")), QStringLiteral("first second"));
        const QList<NoteHistory::Version> versions = notes.history().versions(notes.path(1));
        QCOMPARE(versions.size(), 1);
        QCOMPARE(textOf(NoteHistory::read(versions.first())), QStringLiteral("first"));
    }

    // Locked again while its passphrase is being tried: the note stays locked, and says so.
    void lockNowWhileUnlockingKeepsTheNoteLocked()
    {
        const QByteArray locked = OpenPgp::encrypt("{\\rtf1 locked text}", passphrase()).bytes;
        QVERIFY(!NoteStorage::plain().write(m_notesDir + QStringLiteral("/notes.rtf.gpg"), locked));
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        notes.load(m_notesDir, 1);
        QSignalSpy sealed(&notes, &NoteSet::sealed);
        QSignalSpy unlocked(&notes, &NoteSet::unlocked);
        notes.unlock(1, passphrase());
        QVERIFY(notes.lockNow().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(sealed.count(), 1, 20000);
        QVERIFY(notes.isSealed(1));
        QVERIFY(notes.document(1)->isEmpty());
        QCOMPARE(unlocked.count(), 0);
    }

    // A note in the directory both locked and plain (copied back from a backup, say) shows the
    // locked one and tells; neither file is replaced by the other.
    void aNoteBothLockedAndPlainKeepsBoth()
    {
        const QString plain = m_notesDir + QStringLiteral("/notes.rtf");
        const QByteArray locked = OpenPgp::encrypt("{\\rtf1 locked text}", passphrase()).bytes;
        QVERIFY(!NoteStorage::plain().write(plain, "{\\rtf1 plain text}"));
        QVERIFY(!NoteStorage::plain().write(plain + QStringLiteral(".gpg"), locked));
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), NoteStorage::plain());
        QSignalSpy notice(&notes, &NoteSet::notice);
        notes.load(m_notesDir, 1);
        QVERIFY(notes.isSealed(1));
        QCOMPARE(notice.count(), 1);
        QVERIFY(notice.first().at(1).toString().contains(QStringLiteral("twice")));
        QSignalSpy unlocked(&notes, &NoteSet::unlocked);
        notes.unlock(1, passphrase());
        QTRY_COMPARE_WITH_TIMEOUT(unlocked.count(), 1, 20000);
        QCOMPARE(notes.document(1)->toPlainText(), QStringLiteral("locked text"));
        QVERIFY(notes.removeLock(1, passphrase()).contains(QStringLiteral("does not overwrite")));
        notes.close();
        QCOMPARE(NoteStorage::plain().read(plain).value_or(""), QByteArray("{\\rtf1 plain text}"));
        QCOMPARE(textOf(OpenPgp::decrypt(NoteStorage::plain().read(plain + QStringLiteral(".gpg")).value_or(""),
                                         passphrase()).bytes),
                 QStringLiteral("locked text"));
    }

private:
    QTemporaryDir m_dir;
    QString m_notesDir;
};

QTEST_MAIN(TestNoteSet)
#include "tst_noteset.moc"
