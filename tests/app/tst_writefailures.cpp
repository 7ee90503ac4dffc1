// Writes that fail on real file systems: a note directory on a small disk that fills up, one that
// is read-only, missing or a plain file. The note file is never damaged, the tab keeps its text,
// the user is told why in plain words, and the text is written once that becomes possible.
#include "../MountedFolder.h"
#include "WindowFixture.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {
const QString kFull = QStringLiteral("The disk holding your notes is full: \"Notes\" was not saved. "
                                     "Your text is safe in this window and in a recovery copy.");

QString recoveryCopy(int n)
{
    QDirIterator it(ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery"),
                    {QStringLiteral("note%1.rtf").arg(n)}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}
QStringList recoveredNotes()
{
    return QDir(ProgramPlaces::userDataDirectory() + QStringLiteral("/Recovered notes"))
        .entryList(QDir::Files, QDir::Name);
}
QString longText()
{
    QString text;
    for (int i = 0; text.size() < 30 * 1024; ++i)
        text += QStringLiteral("pasted line %1 of a long paste\n").arg(i);
    return text;
}
} // namespace

class TestWriteFailures : public QObject
{
    Q_OBJECT
private slots:
    void init() { QDir(ProgramPlaces::userDataDirectory()).removeRecursively(); }
    void fullDiskKeepsTheNoteAndSavesOnceThereIsSpace_data();
    void fullDiskKeepsTheNoteAndSavesOnceThereIsSpace();
    void recoveryFolderThatCannotBeWrittenIsToldAtOnce();
    void exitOnAFullDiskKeepsEveryChangedNote();
    void unusableNoteDirectoryIsToldAtStart_data();
    void unusableNoteDirectoryIsToldAtStart();
};

void TestWriteFailures::fullDiskKeepsTheNoteAndSavesOnceThereIsSpace_data()
{
    QTest::addColumn<bool>("bigPaste");
    QTest::newRow("30 KB paste on a small disk") << true;
    QTest::newRow("small edit with nothing free") << false;
}

void TestWriteFailures::fullDiskKeepsTheNoteAndSavesOnceThereIsSpace()
{
    QFETCH(bool, bigPaste);
    MountedFolder disk = MountedFolder::tmpfs(24);
    REQUIRE_MOUNTED(disk);
    WindowFixture f;
    f.quietSettings();
    f.settings->SaveSettingValue(QStringLiteral("Network"), disk.path());
    const QString note = disk.path() + QStringLiteral("/notes.rtf");
    const QByteArray before = WindowFixture::rtf("start");
    WindowFixture::writeFile(note, before);
    QVERIFY(f.start());
    f.showActive();
    Quillbox &w = *f.window;
    if (!bigPaste)
        disk.fill();

    const QString added = bigPaste ? longText() : QStringLiteral(" and a word");
    w.editor(1)->setFocus();
    QTRY_VERIFY(w.editor(1)->hasFocus());
    w.editor(1)->moveCursor(QTextCursor::End);
    if (bigPaste)
        w.editor(1)->insertPlainText(added);
    else
        QTest::keyClicks(w.editor(1), added);
    const QString typed = w.editor(1)->Text();
    WindowFixture::leaveNote(w);

    QCOMPARE(WindowFixture::readFile(note), before);
    QCOMPARE(w.editor(1)->Text(), typed);
    QVERIFY(w.NoteChanged(1));
    QCOMPARE(w.notices(), QStringList{kFull});
    QVERIFY(WindowFixture::readFile(recoveryCopy(1)).contains(added.trimmed().left(10).toUtf8()));
    // The watcher's next looks see no change made elsewhere: the tab keeps its text.
    QTest::qWait(3500);
    QCOMPARE(w.editor(1)->Text(), typed);
    QCOMPARE(WindowFixture::readFile(note), before);

    // Space comes back: the note is written without the user doing anything, and the notice goes.
    QFile::remove(disk.path() + QStringLiteral("/filler"));
    if (bigPaste)
        QVERIFY(QProcess::execute("mount", {"-o", "remount,size=256k", disk.path()}) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!w.NoteChanged(1), 15000);
    QVERIFY(WindowFixture::readFile(note).contains(added.right(12).trimmed().toUtf8()));
    QVERIFY(w.notices().isEmpty());
    QVERIFY(recoveryCopy(1).isEmpty());
    QVERIFY(Dialogs::shown().isEmpty());
}

void TestWriteFailures::recoveryFolderThatCannotBeWrittenIsToldAtOnce()
{
    MountedFolder disk = MountedFolder::tmpfs(16);
    REQUIRE_MOUNTED(disk);
    WindowFixture f;
    f.quietSettings();
    f.settings->SaveSettingValue(QStringLiteral("Network"), disk.path());
    QVERIFY(QDir().mkpath(ProgramPlaces::userDataDirectory()));
    // The recovery folder is on a full disk of its own.
    MountedFolder recoveryDisk = MountedFolder::tmpfs(8);
    REQUIRE_MOUNTED(recoveryDisk);
    QVERIFY(
        QFile::link(recoveryDisk.path(), ProgramPlaces::userDataDirectory() + QStringLiteral("/recovery")));
    recoveryDisk.fill();
    QVERIFY(f.start());
    f.showActive();
    Quillbox &w = *f.window;

    WindowFixture::typeInto(w, 1, "typed");
    // No save point yet: the failed recovery copy is told as soon as it is tried.
    QTRY_VERIFY_WITH_TIMEOUT(!w.notices().isEmpty(), 5000);
    QVERIFY2(w.notices().first().contains("recovery copy"), qPrintable(w.notices().join('\n')));
    QVERIFY2(w.notices().first().contains("full"), qPrintable(w.notices().join('\n')));

    disk.fill();
    WindowFixture::leaveNote(w);
    QTRY_VERIFY(w.notices().join('\n').contains("safe in this window only"));
    QCOMPARE(w.editor(1)->Text(), QStringLiteral("typed"));
    w.shutdown();
}

void TestWriteFailures::exitOnAFullDiskKeepsEveryChangedNote()
{
    MountedFolder disk = MountedFolder::tmpfs(16);
    REQUIRE_MOUNTED(disk);
    WindowFixture f;
    f.quietSettings();
    f.settings->SaveSettingValue(QStringLiteral("Network"), disk.path());
    const QByteArray before = WindowFixture::rtf("start");
    WindowFixture::writeFile(disk.path() + QStringLiteral("/notes.rtf"), before);
    QVERIFY(f.start());
    f.showActive();
    disk.fill();
    f.window->editor(1)->moveCursor(QTextCursor::End);
    WindowFixture::typeInto(*f.window, 1, " one");
    WindowFixture::typeInto(*f.window, 2, "two");
    f.window->shutdown();

    QCOMPARE(WindowFixture::readFile(disk.path() + QStringLiteral("/notes.rtf")), before);
    QVERIFY(!QFileInfo::exists(disk.path() + QStringLiteral("/web.rtf")));
    QCOMPARE(recoveredNotes().size(), 2);

    // The next start, with space again, puts the text back into its tabs and says from where.
    f.window.reset();
    QFile::remove(disk.path() + QStringLiteral("/filler"));
    QVERIFY(f.start());
    Quillbox &w = *f.window;
    QCOMPARE(w.editor(1)->Text(), QStringLiteral("start one"));
    QCOMPARE(w.editor(2)->Text(), QStringLiteral("two"));
    QVERIFY(w.NoteChanged(1) && w.NoteChanged(2));
    const QString told = w.notices().join('\n') + Dialogs::shown().value(0).text;
    QVERIFY2(told.contains("Recovered notes"), qPrintable(told));
    w.shutdown();
    QVERIFY(WindowFixture::readFile(disk.path() + QStringLiteral("/notes.rtf")).contains("start one"));
    QVERIFY(WindowFixture::readFile(disk.path() + QStringLiteral("/web.rtf")).contains("two"));
}

void TestWriteFailures::unusableNoteDirectoryIsToldAtStart_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("words");
    QTest::newRow("read-only") << QStringLiteral("read-only") << QStringLiteral("read-only");
    QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("does not exist");
    QTest::newRow("a plain file") << QStringLiteral("file") << QStringLiteral("not a folder");
}

void TestWriteFailures::unusableNoteDirectoryIsToldAtStart()
{
    QFETCH(QString, how);
    QFETCH(QString, words);
    WindowFixture f;
    f.quietSettings();
    QTemporaryDir source;
    WindowFixture::writeFile(source.filePath("notes.rtf"), WindowFixture::rtf("kept"));
    std::optional<MountedFolder> view;
    QString dir = f.path("elsewhere");
    if (how == "read-only") {
        view.emplace(MountedFolder::readOnlyView(source.path()));
        REQUIRE_MOUNTED(*view);
        dir = view->path();
    } else if (how == "file") {
        WindowFixture::writeFile(dir, "a file");
    }
    f.settings->SaveSettingValue(QStringLiteral("Network"), dir);
    QVERIFY(f.start());
    f.showActive();
    Quillbox &w = *f.window;
    QCOMPARE(w.notices().size(), 1);
    QVERIFY2(w.notices().first().contains(words), qPrintable(w.notices().first()));
    QVERIFY(w.notices().first().contains(dir));

    WindowFixture::typeInto(w, 2, "typed anyway");
    w.shutdown();
    QCOMPARE(recoveredNotes().size(), 1);
    f.window.reset();
    QVERIFY(f.start());
    QCOMPARE(f.window->editor(2)->Text(), QStringLiteral("typed anyway"));
    if (how == "read-only")
        QCOMPARE(f.window->editor(1)->Text(), QStringLiteral("kept"));
}

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
