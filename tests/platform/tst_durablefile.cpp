// Writing whole files on real file systems that fail: a full disk, a read-only mount, a missing
// folder, a file where the folder should be. The old file must stay byte for byte and no
// temporary file may be left behind.
#include "../MountedFolder.h"
#include "DurableFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using Kind = DurableFile::Failure::Kind;
Q_DECLARE_METATYPE(DurableFile::Failure::Kind)

namespace {
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
mode_t modeOf(const QString &path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}
} // namespace

class TestDurableFile : public QObject
{
    Q_OBJECT
private slots:
    void failedWriteLeavesTheOldFile_data();
    void failedWriteLeavesTheOldFile();
    void missingOrFileInPlaceOfFolder_data();
    void missingOrFileInPlaceOfFolder();
    void permissionsAndLinks();
};

void TestDurableFile::failedWriteLeavesTheOldFile_data()
{
    QTest::addColumn<int>("newBytes");
    QTest::addColumn<bool>("fillFirst");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<Kind>("kind");
    // A paste bigger than the free space: the first blocks go through, then ENOSPC.
    QTest::newRow("disk fills during the write") << 30 * 1024 << false << false << Kind::DiskFull;
    QTest::newRow("small edit on a disk with nothing free") << 200 << true << false << Kind::DiskFull;
    QTest::newRow("read-only mount") << 200 << false << true << Kind::ReadOnly;
}

void TestDurableFile::failedWriteLeavesTheOldFile()
{
    QFETCH(int, newBytes);
    QFETCH(bool, fillFirst);
    QFETCH(bool, readOnly);
    QFETCH(Kind, kind);
    const QByteArray old = "{\\rtf1 the note as it was\\par}";

    QTemporaryDir source;
    MountedFolder disk = readOnly ? MountedFolder::readOnlyView(source.path()) : MountedFolder::tmpfs(24);
    REQUIRE_MOUNTED(disk);
    const QString dir = readOnly ? source.path() : disk.path();
    put(dir + QStringLiteral("/notes.rtf"), old);
    if (fillFirst)
        disk.fill();
    const QStringList before = entries(disk.path());

    const QString note = disk.path() + QStringLiteral("/notes.rtf");
    const DurableFile::Failure failure = DurableFile::write(note, QByteArray(newBytes, 'n'));
    QCOMPARE(failure.kind, kind);
    QVERIFY(!failure.detail.isEmpty());
    QCOMPARE(contents(note), old);
    QCOMPARE(entries(disk.path()), before);
    QCOMPARE(DurableFile::folderProblem(disk.path()).kind, fillFirst || readOnly ? kind : Kind::None);
}

void TestDurableFile::missingOrFileInPlaceOfFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<Kind>("kind");
    QTest::newRow("missing folder") << QStringLiteral("gone") << Kind::FolderMissing;
    QTest::newRow("file named like the folder") << QStringLiteral("plain") << Kind::NotAFolder;
}

void TestDurableFile::missingOrFileInPlaceOfFolder()
{
    QFETCH(QString, folder);
    QFETCH(Kind, kind);
    QTemporaryDir base;
    put(base.filePath(QStringLiteral("plain")), "not a folder");
    const QString dir = base.filePath(folder);
    QCOMPARE(DurableFile::write(dir + QStringLiteral("/notes.rtf"), "text").kind, kind);
    QCOMPARE(DurableFile::folderProblem(dir).kind, kind);
    QCOMPARE(entries(base.path()), QStringList{QStringLiteral("plain")});
}

void TestDurableFile::permissionsAndLinks()
{
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("shared.rtf"));
    put(shared, "old");
    QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QVERIFY(!DurableFile::write(shared, "new"));
    QCOMPARE(contents(shared), QByteArray("new"));
    QCOMPARE(modeOf(shared), mode_t(0640));

    const QString secret = dir.filePath(QStringLiteral("secret.rtf"));
    put(secret, "old");
    QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    QVERIFY(!DurableFile::write(secret, "new", DurableFile::Access::OwnerOnly));
    QCOMPARE(modeOf(secret), mode_t(0600));

    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath(QStringLiteral("fresh.rtf"));
    QVERIFY(!DurableFile::write(fresh, "made"));
    QCOMPARE(modeOf(fresh), mode_t(0644));
    ::umask(mask);

    // A note kept elsewhere through a link: the file it points to is written, the link stays.
    const QString link = dir.filePath(QStringLiteral("link.rtf"));
    QVERIFY(QFile::link(shared, link));
    QVERIFY(!DurableFile::write(link, "through the link"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contents(shared), QByteArray("through the link"));
    QCOMPARE(entries(dir.path()).size(), 4);
}

QTEST_GUILESS_MAIN(TestDurableFile)
#include "tst_durablefile.moc"
