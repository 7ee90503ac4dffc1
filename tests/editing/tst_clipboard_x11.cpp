// Runs on a real X server (Xvfb): another program, xclip, reads what Copy put on the clipboard
// and offers what we paste, the way a word processor on this desktop does.
#include "EditCommands.h"
#include "RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

// Runs xclip while our event loop keeps answering the X server's clipboard requests.
QByteArray runXclip(const QStringList &args, const QByteArray &input = {})
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), args);
    if (!xclip.waitForStarted(5000))
        return "xclip did not start";
    if (!input.isNull()) {
        xclip.write(input);
        xclip.closeWriteChannel();
    }
    QSignalSpy finished(&xclip, &QProcess::finished);
    if (!finished.wait(10000))
        return "xclip did not finish";
    return xclip.readAllStandardOutput();
}

} // namespace

class TestClipboardX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void anotherProgramReadsPlainTextAndRtf();
    void pasteTakesRtfFromAnotherProgram_data();
    void pasteTakesRtfFromAnotherProgram();
    void pasteTakesPlainTextFromAnotherProgram();
};

void TestClipboardX11::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void TestClipboardX11::anotherProgramReadsPlainTextAndRtf()
{
    RichTextBox box;
    box.setText(QStringLiteral("shared words"));
    box.setSelStart(0);
    box.setSelLength(6);
    box.setSelBold(true);
    EditCommands commands({[&box] { return &box; }, {}, {}});
    commands.copy();

    const QByteArray targets = runXclip({"-selection", "clipboard", "-t", "TARGETS", "-o"});
    QVERIFY2(targets.contains("text/rtf"), targets.constData());
    QCOMPARE(runXclip({"-selection", "clipboard", "-t", "UTF8_STRING", "-o"}), QByteArray("shared"));
    QCOMPARE(runXclip({"-selection", "clipboard", "-t", "text/rtf", "-o"}), box.SelRTF());
}

void TestClipboardX11::pasteTakesRtfFromAnotherProgram_data()
{
    QTest::addColumn<QString>("type");
    QTest::newRow("text/rtf") << "text/rtf";
    QTest::newRow("text/richtext") << "text/richtext";
}

void TestClipboardX11::pasteTakesRtfFromAnotherProgram()
{
    QFETCH(QString, type);
    RichTextBox source;
    source.setText(QStringLiteral("from outside"));
    source.selectAll();
    source.setSelItalic(true);
    const QByteArray rtf = source.TextRTF();

    runXclip({"-selection", "clipboard", "-t", type, "-i"}, rtf);
    RichTextBox box;
    EditCommands commands({[&box] { return &box; }, {}, {}});
    // Our own earlier Copy also offered RTF: wait until xclip has really taken the clipboard over.
    QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->ownsClipboard() &&
                                 QGuiApplication::clipboard()->mimeData()->hasFormat(type),
                             5000);
    commands.paste();
    QVERIFY2(box.Text().startsWith(QStringLiteral("from outside")), qPrintable(box.Text()));
    box.setSelStart(0);
    box.setSelLength(12);
    QCOMPARE(box.SelItalic(), std::optional<bool>(true));
}

void TestClipboardX11::pasteTakesPlainTextFromAnotherProgram()
{
    runXclip({"-selection", "clipboard", "-i"}, "plain words");
    RichTextBox box;
    box.setSelBold(true);
    EditCommands commands({[&box] { return &box; }, {}, {}});
    QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->text() == QStringLiteral("plain words"), 5000);
    commands.paste();
    QCOMPARE(box.Text(), QStringLiteral("plain words"));
    box.selectAll();
    QCOMPARE(box.SelBold(), std::optional<bool>(true)); // the typing format of the box
}

QTEST_MAIN(TestClipboardX11)
#include "tst_clipboard_x11.moc"
