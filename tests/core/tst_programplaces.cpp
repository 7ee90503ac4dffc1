// Where the notes go when no note directory is set: beside the program only for a portable copy.
#include "ProgramPlaces.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramPlaces : public QObject
{
    Q_OBJECT
private slots:
    void notesStayBesideOnlyAPortableCopy_data()
    {
        QTest::addColumn<QString>("beside"); // a file beside the executable, or none
        QTest::addColumn<bool>("portable");
        QTest::newRow("a build folder") << QString() << false;
        QTest::newRow("marked portable") << QStringLiteral("portable") << true;
        QTest::newRow("notes of an earlier version") << QStringLiteral("web.rtf") << true;
        QTest::newRow("some other file") << QStringLiteral("notes.txt") << false;
    }
    void notesStayBesideOnlyAPortableCopy()
    {
        QFETCH(QString, beside);
        QFETCH(bool, portable);
        QTemporaryDir exeDir;
        if (!beside.isEmpty())
            QFile(exeDir.filePath(beside)).open(QIODevice::WriteOnly);
        QCOMPARE(ProgramPlaces::programDirectoryFor(exeDir.path()),
                 portable ? exeDir.path() : ProgramPlaces::userDataDirectory());
    }

    void systemProgramFoldersAreNeverPortable()
    {
        QCOMPARE(ProgramPlaces::programDirectoryFor(QStringLiteral("/usr/bin")),
                 ProgramPlaces::userDataDirectory());
    }
};

QTEST_GUILESS_MAIN(TestProgramPlaces)
#include "tst_programplaces.moc"
