#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    void touch(const QString &name)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        touch(QStringLiteral("notes.rtf"));
        touch(QStringLiteral(".hidden.rtf"));
        touch(QStringLiteral("a[1].rtf"));
        QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
        QDir(m_dir.path()).mkdir(QStringLiteral("onlyhidden"));
        touch(QStringLiteral("onlyhidden/.secret.rtf"));
        QFile::link(m_dir.filePath(QStringLiteral("notes.rtf")), m_dir.filePath(QStringLiteral("link.rtf")));
        QFile::link(m_dir.filePath(QStringLiteral("nowhere")), m_dir.filePath(QStringLiteral("dangling.rtf")));
    }

    void cases_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("ordinary file") << QStringLiteral("notes.rtf") << true;
        QTest::newRow("missing file") << QStringLiteral("web.rtf") << false;
        QTest::newRow("directory") << QStringLiteral("folder") << false;
        QTest::newRow("hidden file") << QStringLiteral(".hidden.rtf") << false;
        QTest::newRow("link to a file") << QStringLiteral("link.rtf") << true;
        QTest::newRow("dangling link") << QStringLiteral("dangling.rtf") << false;
        QTest::newRow("pattern with a match") << QStringLiteral("*.rtf") << true;
        QTest::newRow("pattern without a match") << QStringLiteral("*.txt") << false;
        QTest::newRow("pattern matching only hidden") << QStringLiteral("onlyhidden/*.rtf") << false;
        QTest::newRow("pattern in missing dir") << QStringLiteral("nodir/*.rtf") << false;
        QTest::newRow("file below a file") << QStringLiteral("notes.rtf/x") << false;
        // Only "*" and "?" are wildcards; brackets are part of the name.
        QTest::newRow("name with brackets") << QStringLiteral("a[1].rtf") << true;
        QTest::newRow("brackets are not a set") << QStringLiteral("a[12].rtf") << false;
        QTest::newRow("pattern with brackets") << QStringLiteral("a[1]*") << true;
        QTest::newRow("question mark") << QStringLiteral("a[?].rtf") << true;
        QTest::newRow("doubled separator") << QStringLiteral("/notes.rtf") << true;
    }
    void cases()
    {
        QFETCH(QString, relative);
        QFETCH(bool, exists);
        QCOMPARE(FileExists(m_dir.path() + u'/' + relative), exists);
    }

    void emptyAndUnreachablePathsAreFalse()
    {
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(QStringLiteral("/nonexistent-mount/share/notes.rtf")));
        QVERIFY(!FileExists(QStringLiteral("//server/share/notes.rtf")));
    }
};

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
