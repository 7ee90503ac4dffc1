#include "Dialogs.h"
#include "NotePrinting.h"
#include "PrintRichText.h"
#include "tst_notecommands_window.h"
#include "tst_printing_pdfpages.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// Printing laid out on PDF "printers" in a temporary folder, one file per job, read back with
// pdftotext. The spooler itself is exercised by the printing_cups test.
class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headingLineNamesTabAndLongDate();
    void longNoteRunsOverPagesInsideTheMargins();
    void emptyNotePrintsOnePageWithTheHeadingOnly();
    void printAllTabsMakesOneJobPerShownTabInOrder();
    void titleSaysPrintingOnlyWhilePrinting();
    void longJobKeepsTheProgramRunningAndCanBeCancelled();
    void failedJobsShowTheMessageOncePerTab_data();
    void failedJobsShowTheMessageOncePerTab();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeNoteWindow> m_window;
    QStringList m_jobs;          // output files, in the order the jobs were started
    QStringList m_titlesAtStart; // the window title as each job started

    NotePrinting::PrinterSource pdfPrinters();
    QList<printedpages::Page> pagesOf(const QString &pdf);
};

void TestPrinting::init()
{
    Dialogs::setNeverBlock(true);
    Dialogs::clearSeams();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<FakeNoteWindow>();
    m_window->window()->setWindowTitle(QStringLiteral("Quillbox Plus"));
    m_jobs.clear();
    m_titlesAtStart.clear();
}

void TestPrinting::cleanup()
{
    Dialogs::clearSeams();
    m_window.reset();
}

NotePrinting::PrinterSource TestPrinting::pdfPrinters()
{
    return [this](QString *) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(QPageSize::A4));
        const QString file = m_dir->filePath(QStringLiteral("job%1.pdf").arg(m_jobs.size() + 1));
        printer->setOutputFileName(file);
        m_jobs << file;
        m_titlesAtStart << m_window->window()->windowTitle();
        return printer;
    };
}

QList<printedpages::Page> TestPrinting::pagesOf(const QString &pdf)
{
    QString error;
    const auto pages = printedpages::read(pdf, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return pages.value_or(QList<printedpages::Page>());
}

void TestPrinting::headingLineNamesTabAndLongDate()
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(printHeadingLine(QStringLiteral("Notes"), QDate(2026, 12, 6), english),
             QStringLiteral("Vek Quillbox Plus - Notes     Sunday, December 6, 2026 "));
}

void TestPrinting::longNoteRunsOverPagesInsideTheMargins()
{
    printedpages::fillLongNote(m_window->editor(1)->document(), 150);
    NotePrinting printing(*m_window, pdfPrinters());

    printing.PrintCurrentTab();

    QVERIFY(Dialogs::shown().isEmpty());
    QCOMPARE(m_jobs.size(), 1);
    const auto pages = pagesOf(m_jobs.at(0));
    QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
    const QString problem = printedpages::layoutProblem(pages, QStringLiteral("Vek Quillbox Plus - Notes"));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(
        pages.at(0).text().contains(QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat)));
    // No line lost or printed twice where the pages break.
    QList<int> expected;
    for (int i = 1; i <= 150; ++i)
        expected << i;
    QCOMPARE(printedpages::lineNumbers(pages), expected);
}

void TestPrinting::emptyNotePrintsOnePageWithTheHeadingOnly()
{
    m_window->show(3);
    NotePrinting printing(*m_window, pdfPrinters());

    printing.PrintCurrentTab();

    QCOMPARE(m_jobs.size(), 1);
    const auto pages = pagesOf(m_jobs.at(0));
    QCOMPARE(pages.size(), 1);
    const QString heading = QStringLiteral("Vek Quillbox Plus - E-Mail Addresses");
    QVERIFY2(printedpages::layoutProblem(pages, heading).isEmpty(),
             qPrintable(printedpages::layoutProblem(pages, heading)));
    QVERIFY(
        pages.at(0).text().endsWith(QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat)));
}

void TestPrinting::printAllTabsMakesOneJobPerShownTabInOrder()
{
    m_window->removeTab(5);
    m_window->removeTab(6);
    // A tab renamed in the preferences prints under its new name.
    m_window->tabStrip()->setTabText(1, QStringLiteral("Bookmarks"));
    for (int n = 1; n <= 7; ++n)
        m_window->editor(n)->setText(QStringLiteral("Contents of note %1").arg(n));
    NotePrinting printing(*m_window, pdfPrinters());

    printing.PrintAllTabs();

    QVERIFY(Dialogs::shown().isEmpty());
    const QList<std::pair<int, QString>> expected{
        {1, "Notes"}, {2, "Bookmarks"}, {3, "E-Mail Addresses"}, {4, "Phone/Fax Numbers"}, {7, "Other 3"}};
    QCOMPARE(m_jobs.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const auto pages = pagesOf(m_jobs.at(i));
        QCOMPARE(pages.size(), 1);
        const QString heading = QStringLiteral("Vek Quillbox Plus - ") + expected.at(i).second;
        QVERIFY2(printedpages::layoutProblem(pages, heading).isEmpty(),
                 qPrintable(printedpages::layoutProblem(pages, heading)));
        QVERIFY2(pages.at(0).text().contains(QStringLiteral("Contents of note %1").arg(expected.at(i).first)),
                 qPrintable(pages.at(0).text()));
    }
}

void TestPrinting::titleSaysPrintingOnlyWhilePrinting()
{
    NotePrinting printing(*m_window, pdfPrinters());

    printing.PrintCurrentTab();
    printing.PrintAllTabs();

    QCOMPARE(m_titlesAtStart.size(), 1 + 7);
    for (const QString &title : std::as_const(m_titlesAtStart))
        QCOMPARE(title, QStringLiteral("Quillbox Plus - Printing"));
    QCOMPARE(m_window->window()->windowTitle(), QStringLiteral("Quillbox Plus"));
}

// Between pages the program's events run (a timer here, painting for the user) and the progress
// dialog's Cancel ends the whole command without an error message.
void TestPrinting::longJobKeepsTheProgramRunningAndCanBeCancelled()
{
    printedpages::fillLongNote(m_window->editor(1)->document(), 600);
    NotePrinting printing(*m_window, pdfPrinters());
    int pagesSeen = 0;
    QTimer canceller;
    canceller.setInterval(0);
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *progress = qobject_cast<QProgressDialog *>(w);
            if (progress && progress->value() >= 2) {
                pagesSeen = progress->value();
                progress->cancel();
            }
        }
    });
    canceller.start();

    printing.PrintAllTabs();

    QVERIFY(pagesSeen >= 2);
    QCOMPARE(m_jobs.size(), 1); // the other tabs were not printed
    QVERIFY(Dialogs::shown().isEmpty());
    QCOMPARE(m_window->window()->windowTitle(), QStringLiteral("Quillbox Plus"));
}

void TestPrinting::failedJobsShowTheMessageOncePerTab_data()
{
    QTest::addColumn<bool>("allTabs");
    QTest::addColumn<bool>("noPrinter"); // else a printer whose output cannot be written
    QTest::addColumn<int>("messages");
    QTest::newRow("current tab, no printer") << false << true << 1;
    QTest::newRow("all tabs, no printer") << true << true << 7;
    QTest::newRow("current tab, job fails") << false << false << 1;
    QTest::newRow("all tabs, jobs fail") << true << false << 7;
}

void TestPrinting::failedJobsShowTheMessageOncePerTab()
{
    QFETCH(bool, allTabs);
    QFETCH(bool, noPrinter);
    QFETCH(int, messages);
    printedpages::fillLongNote(m_window->editor(1)->document(), 10);
    int asked = 0;
    const QString unwritable = m_dir->filePath(QStringLiteral("no such folder/job.pdf"));
    NotePrinting printing(*m_window, [&](QString *error) -> std::unique_ptr<QPrinter> {
        ++asked;
        if (noPrinter) {
            *error = QStringLiteral("no default printer");
            return nullptr;
        }
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(unwritable);
        return printer;
    });

    allTabs ? printing.PrintAllTabs() : printing.PrintCurrentTab();

    QCOMPARE(asked, messages); // every tab is tried, a failure does not stop the rest
    const auto shown = Dialogs::shown();
    QCOMPARE(shown.size(), messages);
    for (const auto &message : shown) {
        QCOMPARE(message.title, QStringLiteral("Quillbox Plus"));
        QCOMPARE(message.text, QStringLiteral("Unexpected Error in printing"));
    }
    QCOMPARE(m_window->window()->windowTitle(), QStringLiteral("Quillbox Plus"));
    QVERIFY(!QFile::exists(unwritable));
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
