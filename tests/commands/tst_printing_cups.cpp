#include "Dialogs.h"
#include "NotePrinting.h"
#include "tst_notecommands_window.h"
#include "tst_printing_pdfpages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <algorithm>

// Driven by printing_cups.sh, which runs cupsd with the cups-pdf printer "PDF" as the default and
// tells us where its PDF files land; every job the program spools comes back as one file there.
class TestPrintingCups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void longNoteSpoolsPagesInsideTheMargins();
    void printAllTabsSpoolsOneJobPerShownTabInOrder();
    // Run by the script after it stopped the spooler.
    void withoutTheSpoolerEachTabGetsTheMessage();

private:
    QDir m_pdfDir;
    QDateTime m_started;
    QStringList m_before;

    // The PDF files that appeared since the test began, oldest first.
    QFileInfoList newJobs() const;
    static bool spoolerIdle();
    bool waitForJobs(int count);
};

void TestPrintingCups::initTestCase()
{
    const QString dir = qEnvironmentVariable("QB_CUPS_PDF_DIR");
    QVERIFY2(!dir.isEmpty(), "run through printing_cups.sh, which sets QB_CUPS_PDF_DIR");
    m_pdfDir = QDir(dir);
    Dialogs::setNeverBlock(true);
}

void TestPrintingCups::init()
{
    Dialogs::clearSeams();
    m_before = m_pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    m_started = QDateTime::currentDateTime();
}

QFileInfoList TestPrintingCups::newJobs() const
{
    QFileInfoList jobs;
    for (const QFileInfo &file : m_pdfDir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
        if (!m_before.contains(file.fileName()) || file.lastModified() >= m_started)
            jobs << file;
    }
    std::sort(jobs.begin(), jobs.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    return jobs;
}

bool TestPrintingCups::spoolerIdle()
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return lpstat.waitForFinished(10000) && lpstat.readAllStandardOutput().trimmed().isEmpty();
}

bool TestPrintingCups::waitForJobs(int count)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 120000) {
        if (newJobs().size() >= count && spoolerIdle())
            return true;
        QTest::qWait(250);
    }
    return false;
}

void TestPrintingCups::longNoteSpoolsPagesInsideTheMargins()
{
    FakeNoteWindow window;
    printedpages::fillLongNote(window.editor(1)->document(), 150);
    NotePrinting printing(window);

    printing.PrintCurrentTab();

    QVERIFY2(Dialogs::shown().isEmpty(), "the job was refused");
    QVERIFY2(waitForJobs(1), "no PDF came out of the spooler");
    const QFileInfoList jobs = newJobs();
    QCOMPARE(jobs.size(), 1);
    QString error;
    const auto pages = printedpages::read(jobs.at(0).absoluteFilePath(), &error);
    QVERIFY2(pages.has_value(), qPrintable(error));
    QVERIFY2(pages->size() >= 3, qPrintable(QString::number(pages->size())));
    const QString problem = printedpages::layoutProblem(*pages, QStringLiteral("Vek Quillbox Plus - Notes"));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QList<int> expected;
    for (int i = 1; i <= 150; ++i)
        expected << i;
    QCOMPARE(printedpages::lineNumbers(*pages), expected);
    QFile::remove(jobs.at(0).absoluteFilePath());
}

void TestPrintingCups::printAllTabsSpoolsOneJobPerShownTabInOrder()
{
    FakeNoteWindow window;
    window.removeTab(5);
    window.removeTab(6);
    for (int n = 1; n <= 7; ++n)
        window.editor(n)->setText(QStringLiteral("Contents of note %1").arg(n));
    NotePrinting printing(window);

    printing.PrintAllTabs();

    QVERIFY2(Dialogs::shown().isEmpty(), "a job was refused");
    QVERIFY2(waitForJobs(5), qPrintable(QStringLiteral("%1 PDF(s) came out").arg(newJobs().size())));
    const QFileInfoList jobs = newJobs();
    QCOMPARE(jobs.size(), 5);
    const QList<std::pair<int, QString>> expected{
        {1, "Notes"}, {2, "Web Pages"}, {3, "E-Mail Addresses"}, {4, "Phone/Fax Numbers"}, {7, "Other 3"}};
    for (int i = 0; i < jobs.size(); ++i) {
        QString error;
        const auto pages = printedpages::read(jobs.at(i).absoluteFilePath(), &error);
        QVERIFY2(pages.has_value(), qPrintable(error));
        QCOMPARE(pages->size(), 1);
        const QString heading = QStringLiteral("Vek Quillbox Plus - ") + expected.at(i).second;
        const QString problem = printedpages::layoutProblem(*pages, heading);
        QVERIFY2(problem.isEmpty(), qPrintable(jobs.at(i).fileName() + QStringLiteral(": ") + problem));
        QVERIFY(
            pages->at(0).text().contains(QStringLiteral("Contents of note %1").arg(expected.at(i).first)));
    }
    for (const QFileInfo &job : jobs)
        QFile::remove(job.absoluteFilePath());
}

void TestPrintingCups::withoutTheSpoolerEachTabGetsTheMessage()
{
    FakeNoteWindow window;
    window.removeTab(6);
    window.removeTab(7);
    window.window()->setWindowTitle(QStringLiteral("Quillbox Plus"));
    NotePrinting printing(window);
    QElapsedTimer timer;
    timer.start();

    printing.PrintAllTabs();
    printing.PrintCurrentTab();

    QVERIFY2(timer.elapsed() < 60000, "printing hung without a spooler");
    const auto shown = Dialogs::shown();
    QCOMPARE(shown.size(), 5 + 1);
    for (const auto &message : shown)
        QCOMPARE(message.text, QStringLiteral("Unexpected Error in printing"));
    QCOMPARE(window.window()->windowTitle(), QStringLiteral("Quillbox Plus"));
    QCOMPARE(newJobs().size(), 0);
}

QTEST_MAIN(TestPrintingCups)
#include "tst_printing_cups.moc"
