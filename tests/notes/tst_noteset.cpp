#include "NoteHistory.h"
#include "NoteSet.h"
#include "NoteStorage.h"
#include "NoteText.h"
#include "ProgramPlaces.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// Stands in for a locked note's storage: nothing it writes holds the note's text as it is.
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
        QTest::newRow("note file") << "note file" << "first secret";
        QTest::newRow("recovery copy") << "recovery copy" << "first secret";
        QTest::newRow("history") << "history" << "first secret";
        QTest::newRow("conflict copy") << "conflict copy" << "their secret";
        QTest::newRow("recovered notes") << "recovered notes" << "first secret";
    }
    void everyByteOfANoteGoesThroughItsStorage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const ScramblingStorage storage;
        NoteSet notes(m_dir.filePath(QStringLiteral("settings.ini")), storage);
        notes.load(m_notesDir, 1);
        notes.finishLoading(1);
        type(notes, 1, QStringLiteral("first secret"));
        QVERIFY(notes.isChanged(1));

        QString file;
        if (kind == "note file") {
            QVERIFY(notes.save(1));
            file = notes.path(1);
        } else if (kind == "recovery copy") {
            const QString recovery = ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery");
            QTRY_VERIFY_WITH_TIMEOUT(!(file = firstFileUnder(recovery, QStringLiteral("note1.rtf"))).isEmpty(),
                                     3 * NoteSafety::RecoveryDelayMs);
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
            QVERIFY(!storage.write(notes.path(1), "{\\rtf1 their secret}", DurableFile::Access::Kept));
            type(notes, 1, QStringLiteral(" and mine"));
            QVERIFY(notes.save(1));
            file = firstFileUnder(m_notesDir, QStringLiteral("*conflict*"));
        } else if (kind == "recovered notes") {
            // The note directory is gone when the program closes.
            QVERIFY(QDir(m_notesDir).removeRecursively());
            notes.close();
            file = firstFileUnder(ProgramPlaces::userDataDirectory() + QStringLiteral("/Recovered notes"),
                                  QStringLiteral("*notes.rtf"));
        }
        QVERIFY2(!file.isEmpty(), qPrintable(kind));
        const QByteArray raw = NoteStorage::plain().read(file).value_or(QByteArray());
        QVERIFY(!raw.isEmpty());
        QVERIFY2(!raw.contains("secret"), raw.constData());
        QCOMPARE(textOf(storage.read(file, nullptr).value_or(QByteArray())), expected);
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

private:
    QTemporaryDir m_dir;
    QString m_notesDir;
};

QTEST_MAIN(TestNoteSet)
#include "tst_noteset.moc"
