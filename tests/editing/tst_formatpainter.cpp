#include "EditingFixture.h"
#include "FormatPainter.h"
#include "FormatToolbarController.h"

#include <QSignalSpy>
#include <QTest>

class TestFormatPainter : public QObject
{
    Q_OBJECT

private slots:
    void sizesRoundHalfToEven_data();
    void sizesRoundHalfToEven();
    void captureThenDragPaintsTheWholeCharacterFormat();
    void singleClickPaintsTheTypingFormat();
    void mixedAttributesKeepThePreviousCapture();
    void releaseAfterApplyingChangesNothing();
    void paintsIntoTheTabShownAfterASwitch();
    void pointerShowsThePainterOnlyBetweenCaptureAndApplication();
};

void TestFormatPainter::sizesRoundHalfToEven_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("rounded");
    QTest::newRow("10.5") << 10.5 << 10;
    QTest::newRow("11.5") << 11.5 << 12;
    QTest::newRow("10.4") << 10.4 << 10;
    QTest::newRow("10.6") << 10.6 << 11;
    QTest::newRow("12") << 12.0 << 12;
    QTest::newRow("8.5") << 8.5 << 8;
}

void TestFormatPainter::sizesRoundHalfToEven()
{
    QFETCH(double, points);
    QFETCH(int, rounded);
    QCOMPARE(FormatPainter::roundHalfToEven(points), rounded);
}

namespace {

// "Arial word" bold red 12 pt over "plain text" in 10 pt Sans, italic and underlined.
void fillSource(RichTextBox &box)
{
    box.setText(QStringLiteral("word plain text"));
    box.selectAll();
    box.setSelFontName(QStringLiteral("Sans"));
    box.setSelFontSize(10.0);
    box.setSelItalic(true);
    box.setSelUnderline(true);
    box.setSelStrikeThru(true);
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelFontName(QStringLiteral("Arial"));
    box.setSelFontSize(12.0);
    box.setSelBold(true);
    box.setSelItalic(false);
    box.setSelUnderline(false);
    box.setSelStrikeThru(false);
    box.setSelColor(QColor(255, 0, 0));
}

} // namespace

void TestFormatPainter::captureThenDragPaintsTheWholeCharacterFormat()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    FormatToolbarController toolbar(f.access(), &painter);
    toolbar.setButton(QStringLiteral("FPt"), f.buttons.value(QStringLiteral("FPt")));
    RichTextBox &box = f.box(1);
    fillSource(box);

    toolbar.click(QStringLiteral("FPt"));
    QCOMPARE(painter.FormatPainterState(), int(FormatPainter::Captured));
    QCOMPARE(box.SelLength(), 0);
    QCOMPARE(box.SelStart(), 0);
    QVERIFY(f.pressed("FPt"));

    box.setSelStart(5);
    box.setSelLength(10);
    painter.run(); // the mouse release that ends the drag
    QCOMPARE(painter.FormatPainterState(), int(FormatPainter::Applied));
    QVERIFY(!f.pressed("FPt"));
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelItalic(), std::optional<bool>(false));
    QCOMPARE(box.SelUnderline(), std::optional<bool>(false));
    QCOMPARE(box.SelStrikeThru(), std::optional<bool>(false));
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Arial")));
    QCOMPARE(box.SelFontSize(), std::optional<double>(12.0));
    QCOMPARE(box.SelColor(), std::optional<QColor>(QColor(255, 0, 0)));
}

void TestFormatPainter::singleClickPaintsTheTypingFormat()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    RichTextBox &box = f.box(1);
    fillSource(box);
    box.setSelStart(0);
    box.setSelLength(4);
    painter.arm();
    painter.run();
    box.setSelStart(15);
    painter.run();
    box.setSelText(QStringLiteral("new"));
    box.setSelStart(15);
    box.setSelLength(3);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Arial")));
}

void TestFormatPainter::mixedAttributesKeepThePreviousCapture()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    RichTextBox &box = f.box(1);
    fillSource(box);

    box.setSelStart(0);
    box.setSelLength(10); // two fonts, two sizes, bold and not
    painter.arm();
    painter.run();
    QCOMPARE(painter.capturedFormat().fontName, QString()); // nothing to keep on first use
    QCOMPARE(painter.capturedFormat().fontSize, 0);
    QCOMPARE(painter.capturedFormat().bold, false);
    box.setSelStart(5);
    box.setSelLength(5);
    painter.run();
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Sans"))); // no name painted

    box.setSelStart(0);
    box.setSelLength(4);
    painter.arm();
    painter.run();
    box.setSelStart(0);
    box.setSelLength(10);
    painter.arm();
    painter.run();
    QCOMPARE(painter.capturedFormat().fontName, QStringLiteral("Arial"));
    QCOMPARE(painter.capturedFormat().fontSize, 12);
    QCOMPARE(painter.capturedFormat().bold, true);
}

void TestFormatPainter::releaseAfterApplyingChangesNothing()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    QSignalSpy applied(&painter, &FormatPainter::applied);
    RichTextBox &box = f.box(1);
    fillSource(box);
    box.setSelStart(0);
    box.setSelLength(4);
    painter.arm();
    painter.run();
    box.setSelStart(5);
    box.setSelLength(5);
    painter.run();
    box.setSelStart(11);
    box.setSelLength(4);
    painter.run();
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    QCOMPARE(applied.count(), 1);
}

void TestFormatPainter::paintsIntoTheTabShownAfterASwitch()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    fillSource(f.box(1));
    f.box(1).setSelStart(0);
    f.box(1).setSelLength(4);
    painter.arm();
    painter.run();
    f.active = 3;
    f.box(3).setText(QStringLiteral("other note"));
    f.box(3).selectAll();
    painter.run();
    QCOMPARE(f.box(3).SelBold(), std::optional<bool>(true));
    QCOMPARE(f.box(3).SelFontName(), std::optional<QString>(QStringLiteral("Arial")));
}

void TestFormatPainter::pointerShowsThePainterOnlyBetweenCaptureAndApplication()
{
    EditingFixture f;
    FormatPainter painter(f.access());
    painter.setEditors({&f.box(1), &f.box(2)});
    f.box(1).setText(QStringLiteral("x"));
    painter.arm();
    painter.run();
    QCOMPARE(f.box(2).viewport()->cursor().shape(), Qt::BitmapCursor);
    painter.run();
    QCOMPARE(f.box(2).viewport()->cursor().shape(), Qt::IBeamCursor);
}

QTEST_MAIN(TestFormatPainter)
#include "tst_formatpainter.moc"
