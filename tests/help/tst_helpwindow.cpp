#include "Dialogs.h"
#include "HelpWindow.h"
#include "ProgramPlaces.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {
void writeFile(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

int openHelpWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += (qobject_cast<HelpWindow *>(w) && w->isVisible()) ? 1 : 0;
    return n;
}
} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void contentsOpensTheManualsFirstPage();
    void contentsAgainReusesTheOpenWindow();
    void missingManualShowsNoMessage();
    void linksFollow_data();
    void linksFollow();
    void backAndForwardRetraceTheWay();
    void contentsButtonReturnsToTheFirstPage();
    void shippedManualHasNoBrokenLinks();

private:
    std::unique_ptr<QTemporaryDir> m_data;
    QList<QUrl> m_outside;
    HelpWindow *open()
    {
        return ShowHelpContents(nullptr, [this](const QUrl &url) { m_outside << url; });
    }
};

void TestHelpWindow::init()
{
    Dialogs::setNeverBlock(true);
    Dialogs::clearSeams();
    m_outside.clear();
    m_data = std::make_unique<QTemporaryDir>();
    const QString manual = m_data->path() + QStringLiteral("/manual/");
    writeFile(manual + QStringLiteral("index.html"),
              QStringLiteral("<html><head><title>Contents</title></head><body>"
                             "<a href=\"tabs.html\">Tabs</a> <a href=\"tabs.html#seven\">Tab 7</a> "
                             "<a href=\"https://quillbox.example.org/\">site</a> "
                             "<a href=\"mailto:someone@example.org\">mail</a> "
                             "<a href=\"gone.html\">gone</a></body></html>"));
    writeFile(manual + QStringLiteral("tabs.html"),
              QStringLiteral("<html><head><title>Tabs</title></head><body><p>The tabs.</p>"
                             "<a name=\"seven\">Seven</a></body></html>"));
    ProgramPlaces::overrideDataDirectory(m_data->path());
}

void TestHelpWindow::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<HelpWindow *>(w))
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProgramPlaces::overrideDataDirectory({});
}

void TestHelpWindow::contentsOpensTheManualsFirstPage()
{
    HelpWindow *help = open();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentPage().fileName(), QStringLiteral("index.html"));
    QVERIFY(help->windowTitle().contains(QStringLiteral("Contents")));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Tabs")));
}

void TestHelpWindow::contentsAgainReusesTheOpenWindow()
{
    HelpWindow *first = open();
    first->followLink(QUrl(QStringLiteral("tabs.html")));
    HelpWindow *second = open();
    QCOMPARE(second, first);
    QCOMPARE(openHelpWindows(), 1);
    QCOMPARE(second->currentPage().fileName(), QStringLiteral("index.html"));
}

void TestHelpWindow::missingManualShowsNoMessage()
{
    QTemporaryDir empty;
    ProgramPlaces::overrideDataDirectory(empty.path());
    QCOMPARE(open(), nullptr);
    QCOMPARE(openHelpWindows(), 0);
    QVERIFY(Dialogs::shown().isEmpty());
}

void TestHelpWindow::linksFollow_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("pageAfter");
    QTest::addColumn<QString>("openedOutside");
    QTest::newRow("another page") << "tabs.html"
                                  << "tabs.html"
                                  << "";
    QTest::newRow("a place in another page") << "tabs.html#seven"
                                             << "tabs.html"
                                             << "";
    QTest::newRow("web site") << "https://quillbox.example.org/"
                              << "index.html"
                              << "https://quillbox.example.org/";
    QTest::newRow("mail address") << "mailto:someone@example.org"
                                  << "index.html"
                                  << "mailto:someone@example.org";
    QTest::newRow("missing page") << "gone.html"
                                  << "index.html"
                                  << "";
}

void TestHelpWindow::linksFollow()
{
    QFETCH(QString, link);
    QFETCH(QString, pageAfter);
    QFETCH(QString, openedOutside);
    HelpWindow *help = open();
    help->followLink(QUrl(link));
    QCOMPARE(help->currentPage().fileName(), pageAfter);
    if (openedOutside.isEmpty())
        QVERIFY(m_outside.isEmpty());
    else
        QCOMPARE(m_outside, QList<QUrl>{QUrl(openedOutside)});
}

void TestHelpWindow::backAndForwardRetraceTheWay()
{
    HelpWindow *help = open();
    QVERIFY(!help->backAction()->isEnabled());
    help->followLink(QUrl(QStringLiteral("tabs.html")));
    QVERIFY(help->backAction()->isEnabled());
    QVERIFY(!help->forwardAction()->isEnabled());
    help->backAction()->trigger();
    QCOMPARE(help->currentPage().fileName(), QStringLiteral("index.html"));
    QVERIFY(help->forwardAction()->isEnabled());
    help->forwardAction()->trigger();
    QCOMPARE(help->currentPage().fileName(), QStringLiteral("tabs.html"));
}

void TestHelpWindow::contentsButtonReturnsToTheFirstPage()
{
    HelpWindow *help = open();
    help->followLink(QUrl(QStringLiteral("tabs.html")));
    help->contentsAction()->trigger();
    QCOMPARE(help->currentPage().fileName(), QStringLiteral("index.html"));
}

void TestHelpWindow::shippedManualHasNoBrokenLinks()
{
    const QDir manual(QStringLiteral(QB_SOURCE_DIR "/data/manual"));
    QVERIFY(QFileInfo::exists(manual.filePath(QStringLiteral("index.html"))));
    const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    int pages = 0;
    QDirIterator it(manual.path(), {QStringLiteral("*.html")});
    while (it.hasNext()) {
        const QString page = it.next();
        ++pages;
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto &m : href.globalMatch(text)) {
            const QUrl target = QUrl::fromLocalFile(page).resolved(QUrl(m.captured(1)));
            if (!target.isLocalFile())
                continue;
            QVERIFY2(QFileInfo::exists(target.toLocalFile()),
                     qPrintable(QFileInfo(page).fileName() + QStringLiteral(" -> ") + m.captured(1)));
            if (target.hasFragment()) {
                QFile linked(target.toLocalFile());
                QVERIFY(linked.open(QIODevice::ReadOnly));
                const QString fragment = QStringLiteral("id=\"%1\"").arg(target.fragment());
                QVERIFY2(QString::fromUtf8(linked.readAll()).contains(fragment),
                         qPrintable(QFileInfo(page).fileName() + QStringLiteral(" -> ") + m.captured(1)));
            }
        }
    }
    QVERIFY(pages >= 2);
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
