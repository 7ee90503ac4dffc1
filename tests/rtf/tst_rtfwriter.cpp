#include "RtfReader.h"
#include "RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

namespace {

struct Run
{
    QString text;
    QTextCharFormat format;
};

// What a user would notice of a character format.
QString describe(const QTextCharFormat &f)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10")
        .arg(f.font().family())
        .arg(f.fontPointSize())
        .arg(f.fontWeight() >= QFont::DemiBold)
        .arg(f.fontItalic())
        .arg(int(f.underlineStyle()))
        .arg(f.fontStrikeOut())
        .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QString())
        .arg(f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QString())
        .arg(int(f.verticalAlignment()))
        .arg(f.isAnchor() ? f.anchorHref() : QString());
}

QString describeBlock(const QTextBlock &b)
{
    const QTextBlockFormat f = b.blockFormat();
    QString list;
    if (QTextList *l = b.textList())
        list = QStringLiteral("list%1/%2").arg(int(l->format().style())).arg(l->format().indent());
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
        .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
        .arg(b.textList() ? 0.0 : f.leftMargin())
        .arg(f.rightMargin())
        .arg(b.textList() ? 0.0 : f.textIndent())
        .arg(f.topMargin())
        .arg(f.bottomMargin())
        .arg(list);
}

// The whole document as text plus every run's and paragraph's formatting.
QStringList describeDocument(const QTextDocument &d)
{
    QStringList out;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
        out << u"P:"_qs + describeBlock(b);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out << it.fragment().text() + u" => "_qs + describe(it.fragment().charFormat());
    }
    return out;
}

// Characters [from, to) with the formatting of each; paragraph breaks as "\n".
QStringList describeCharacters(QTextDocument &d, int from, int to)
{
    QStringList out;
    for (int position = from; position < to; ++position) {
        const QChar ch = d.characterAt(position);
        if (ch == QChar::ParagraphSeparator) {
            out << u"\n"_qs;
            continue;
        }
        QTextCursor c(&d);
        c.setPosition(position + 1); // the format of the character before the cursor
        out << ch + u" => "_qs + describe(c.charFormat());
    }
    return out;
}

QString randomText(QRandomGenerator &r)
{
    static const QString pieces[] = {
        u"word"_qs,    u" "_qs,           u"café"_qs, u"€"_qs, u"Ж"_qs, u"中文"_qs,   u"\U0001F600"_qs,
        u"{brace}"_qs, u"back\\slash"_qs, u"\t"_qs,   u"1"_qs, u"?"_qs, u"\u2028"_qs, u";"_qs};
    QString s;
    const int n = 1 + r.bounded(6);
    for (int i = 0; i < n; ++i)
        s += pieces[r.bounded(int(std::size(pieces)))];
    return s;
}

QTextCharFormat randomFormat(QRandomGenerator &r)
{
    static const char *fonts[] = {"Arial", "Times New Roman", "Courier New", "DejaVu Sans"};
    QTextCharFormat f;
    f.setFontFamilies({QString::fromLatin1(fonts[r.bounded(4)])});
    f.setFontPointSize(6 + r.bounded(40) / 2.0);
    if (r.bounded(2))
        f.setFontWeight(QFont::Bold);
    f.setFontItalic(r.bounded(2));
    static const QTextCharFormat::UnderlineStyle ul[] = {
        QTextCharFormat::NoUnderline, QTextCharFormat::SingleUnderline, QTextCharFormat::DotLine,
        QTextCharFormat::DashUnderline, QTextCharFormat::WaveUnderline};
    f.setUnderlineStyle(ul[r.bounded(5)]);
    f.setFontStrikeOut(r.bounded(4) == 0);
    if (r.bounded(2))
        f.setForeground(QColor::fromRgb(r.bounded(256), r.bounded(256), r.bounded(256)));
    if (r.bounded(4) == 0)
        f.setBackground(QColor::fromRgb(r.bounded(256), r.bounded(256), r.bounded(256)));
    if (r.bounded(5) == 0)
        f.setVerticalAlignment(r.bounded(2) ? QTextCharFormat::AlignSuperScript
                                            : QTextCharFormat::AlignSubScript);
    if (r.bounded(6) == 0) {
        f.setAnchor(true);
        f.setAnchorHref(r.bounded(2) ? u"https://example.org/p?q=\"x\""_qs.replace(u'"', u"%22"_qs)
                                     : u"#mark"_qs);
    }
    return f;
}

void fillRandomDocument(QTextDocument &d, quint32 seed)
{
    QRandomGenerator r(seed);
    QTextCursor c(&d);
    const int blocks = 1 + r.bounded(8);
    for (int b = 0; b < blocks; ++b) {
        if (b > 0)
            c.insertBlock();
        QTextBlockFormat bf;
        static const Qt::Alignment al[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter, Qt::AlignJustify};
        bf.setAlignment(al[r.bounded(4)]);
        bf.setLeftMargin(r.bounded(5) * 12);
        bf.setRightMargin(r.bounded(3) * 8);
        bf.setTextIndent(r.bounded(3) * 6 - 6);
        bf.setTopMargin(r.bounded(3) * 4);
        bf.setBottomMargin(r.bounded(3) * 10);
        c.setBlockFormat(bf);
        if (r.bounded(3) == 0) {
            static const QTextListFormat::Style st[] = {
                QTextListFormat::ListDisc, QTextListFormat::ListDecimal, QTextListFormat::ListLowerAlpha,
                QTextListFormat::ListUpperRoman};
            const QTextBlock prev = c.block().previous();
            // Rich-edit numbering has no way to start a second list right after one of the same
            // kind, so a paragraph after a list item joins that list.
            if (prev.isValid() && prev.textList())
                prev.textList()->add(c.block());
            else
                c.createList(st[r.bounded(4)]);
        }
        const int runs = r.bounded(5);
        for (int i = 0; i < runs; ++i)
            c.insertText(randomText(r), randomFormat(r));
    }
}

const QTextTable *firstTable(const QTextDocument &d)
{
    for (QTextFrame *frame : d.rootFrame()->childFrames()) {
        if (const auto *table = qobject_cast<const QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

// A table as it looks: the padding of its cells ("left/top" in twips), then the sides of each
// cell that Qt draws a line on, rows apart by '|'.
QString tableLook(const QTextTable &table)
{
    const QTextTableFormat format = table.format();
    const QTextTableCellFormat first = table.cellAt(0, 0).format().toTableCellFormat();
    const auto padding = [&](QTextFormat::Property side, qreal own) {
        return qRound((first.hasProperty(side) ? own : format.cellPadding()) * 15);
    };
    const bool grid = format.border() > 0 && format.borderStyle() != QTextFrameFormat::BorderStyle_None;
    struct Side
    {
        char name;
        QTextFormat::Property width;
        QTextFormat::Property style;
    };
    static const Side sides[] = {
        {'T', QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle},
        {'L', QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle},
        {'B', QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle},
        {'R', QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle}};
    QStringList rows;
    for (int row = 0; row < table.rows(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextFormat cell = table.cellAt(row, column).format();
            QString lines;
            for (const Side &side : sides) {
                const bool drawn = cell.hasProperty(side.width) ? cell.doubleProperty(side.width) > 0 &&
                                                                      cell.intProperty(side.style) !=
                                                                          QTextFrameFormat::BorderStyle_None
                                                                : grid;
                if (drawn)
                    lines += QLatin1Char(side.name);
            }
            cells << (lines.isEmpty() ? u"-"_qs : lines);
        }
        rows << cells.join(u' ');
    }
    return QStringLiteral("%1/%2 ")
               .arg(padding(QTextFormat::TableCellLeftPadding, first.leftPadding()))
               .arg(padding(QTextFormat::TableCellTopPadding, first.topPadding())) +
           rows.join(u'|');
}

// The width each column is given; none given is automatic.
QList<QTextLength> columnWidths(const QTextTable &table)
{
    QList<QTextLength> widths = table.format().columnWidthConstraints();
    widths.resize(table.columns());
    return widths;
}

// Tab stops as "position:kind" in pixels, L, R, C or D for left, right, centre and decimal.
QString tabsOf(const QTextBlockFormat &format)
{
    QStringList tabs;
    for (const QTextOption::Tab &tab : format.tabPositions())
        tabs << QStringLiteral("%1:%2").arg(tab.position).arg(QLatin1Char("LRCD"[tab.type]));
    return tabs.join(u' ');
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT
private slots:
    void randomDocumentsSurviveRoundTrip_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 60; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomDocumentsSurviveRoundTrip()
    {
        QFETCH(quint32, seed);
        QTextDocument original;
        fillRandomDocument(original, seed);
        const QByteArray rtf = rtf::write(&original);
        QTextDocument read;
        QVERIFY(rtf::readInto(&read, rtf).wasRtf);
        QCOMPARE(read.toPlainText(), original.toPlainText());
        QCOMPARE(describeDocument(read), describeDocument(original));
        const QByteArray again = rtf::write(&read); // and writing it again gives the same bytes
        if (again != rtf) {
            qsizetype i = 0;
            while (i < rtf.size() && i < again.size() && rtf[i] == again[i])
                ++i;
            QCOMPARE(again.mid(i - 80, 200), rtf.mid(i - 80, 200));
        }
    }

    void headerIsRichEditStyle()
    {
        QTextDocument d;
        d.setPlainText(u"x"_qs);
        const QByteArray rtf = rtf::write(&d);
        QVERIFY(rtf.startsWith(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "));
        QVERIFY(rtf.contains("\\viewkind4\\uc1 "));
        QVERIFY(rtf.trimmed().endsWith("\\par\r\n}"));
    }

    void charactersOutsideTheCodePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("cp1252 as hex") << u"é€"_qs << QByteArray("\\'e9\\'80");
        QTest::newRow("cyrillic as \\u with fallback") << u"Ж"_qs << QByteArray("\\u1046?");
        QTest::newRow("high BMP is signed") << u"\uF0B7"_qs << QByteArray("\\u-3913?");
        QTest::newRow("astral as two halves") << u"\U0001F600"_qs << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("specials escaped") << u"{\\}"_qs << QByteArray("\\{\\\\\\}");
        QTest::newRow("optional hyphen as its control symbol")
            << u"hy\u00ADphen"_qs << QByteArray("hy\\-phen");
    }
    void charactersOutsideTheCodePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QTextDocument d;
        d.setPlainText(text);
        const QByteArray rtf = rtf::write(&d);
        QVERIFY2(rtf.contains(written), rtf.constData());
        QTextDocument back;
        rtf::readInto(&back, rtf);
        QCOMPARE(back.toPlainText(), text);
    }

    // Readers take a symbol font's bytes as glyph numbers; its characters must survive anyway.
    void textInASymbolFontKeepsItsCharacters()
    {
        QTextDocument d;
        QTextCursor c(&d);
        QTextCharFormat f;
        f.setFontFamilies({u"Symbol"_qs});
        c.insertText(u"\u2022\tBé"_qs, f);
        QTextDocument back;
        rtf::readInto(&back, rtf::write(&d));
        QCOMPARE(back.toPlainText(), u"\u2022\tBé"_qs);
    }

    void selectionWritesOnlyTheSelection()
    {
        QTextDocument d;
        d.setPlainText(u"first line\nsecond line\nthird"_qs);
        QTextCursor c(&d);
        c.setPosition(6);
        c.setPosition(17, QTextCursor::KeepAnchor); // "line\nsecond"
        QTextDocument back;
        QTextCursor into(&back);
        rtf::insertAt(into, rtf::writeSelection(c));
        QCOMPARE(back.toPlainText(), u"line\nsecond"_qs);

        c.clearSelection();
        QTextDocument empty;
        rtf::readInto(&empty, rtf::writeSelection(c));
        QVERIFY(empty.isEmpty());
    }

    // Selections start and end inside formatting runs and paragraphs: only their characters,
    // each with its own formatting, are written.
    void selectionsWriteTheirCharactersWithTheirFormatting_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 30; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void selectionsWriteTheirCharactersWithTheirFormatting()
    {
        QFETCH(quint32, seed);
        QTextDocument original;
        fillRandomDocument(original, seed);
        const int end = original.characterCount() - 1;
        QRandomGenerator r(seed);
        // A cursor never stops between the halves of a surrogate pair.
        const auto boundary = [&](int position) {
            return original.characterAt(position).isLowSurrogate() ? position - 1 : position;
        };
        for (int i = 0; i < 6; ++i) {
            const int from = boundary(r.bounded(end + 1));
            const int to = boundary(from + r.bounded(end - from + 1));
            if (from == to)
                continue;
            QTextCursor c(&original);
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            QTextDocument read;
            QTextCursor into(&read);
            QVERIFY(rtf::insertAt(into, rtf::writeSelection(c)).wasRtf);
            const QStringList written = describeCharacters(read, 0, read.characterCount() - 1);
            QCOMPARE(written, describeCharacters(original, from, to));
        }
    }

    void imagesAreWrittenBack()
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        QTextDocument d;
        d.addResource(QTextDocument::ImageResource, QUrl(u"mem:img"_qs), image);
        QTextCursor c(&d);
        c.insertText(u"a"_qs);
        QTextImageFormat f;
        f.setName(u"mem:img"_qs);
        f.setWidth(8);
        f.setHeight(8);
        c.insertImage(f);
        const QByteArray rtf = rtf::write(&d);
        QVERIFY(rtf.contains("{\\*\\shppict{\\pict\\pngblip"));
        QTextDocument back;
        rtf::readInto(&back, rtf);
        QTextCursor bc(&back);
        bc.setPosition(2);
        QVERIFY(bc.charFormat().isImageFormat());
        QCOMPARE(bc.charFormat().toImageFormat().width(), 8.0);
        QImage loaded;
        loaded.loadFromData(
            back.resource(QTextDocument::ImageResource, QUrl(bc.charFormat().toImageFormat().name()))
                .toByteArray());
        QCOMPARE(loaded.pixelColor(1, 1), QColor(Qt::blue));
    }

    void picturesWeCannotDrawAreWrittenBackAsTheyCame()
    {
        const QByteArray metafile =
            "{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\r\n0102{\\*\\x}ab\r\n}";
        QTextDocument d;
        rtf::readInto(&d, "{\\rtf1\\ansi before " + metafile + " after\\par}");
        QTextCursor c(&d);
        c.movePosition(QTextCursor::End);
        c.insertText(u" typed"_qs);
        const QByteArray once = rtf::write(&d);
        QVERIFY2(once.contains(metafile), once.constData());
        QTextDocument back;
        rtf::readInto(&back, once);
        QCOMPARE(back.toPlainText(), u"before \uFFFC after typed"_qs);
        QCOMPARE(rtf::write(&back), once);

        // Text before the picture in its group is the note's text, not part of the picture.
        rtf::readInto(&d, "{\\rtf1 a{x\\pict\\wmetafile8 0102}b}");
        QVERIFY(rtf::write(&d).contains("x{\\pict\\wmetafile8 0102}b"));
        QCOMPARE(d.toPlainText(), u"ax\uFFFCb"_qs);

        // Raw bytes inside such a picture go back as hex, which every reader takes.
        rtf::readInto(&d, "{\\rtf1{\\pict\\wmetafile8\\picwgoal300\\pichgoal300 \\bin3 }{\\}}");
        QVERIFY(rtf::write(&d).contains("{\\pict\\wmetafile8\\picwgoal300\\pichgoal300  7d7b5c}"));
    }

    // Levels, bullet shapes and list boundaries come back, and Word's list table is written beside
    // rich edit's numbering.
    void nestedListsComeBackWithTheirLevels()
    {
        QTextDocument d;
        QTextCursor c(&d);
        auto item = [&c](const QString &text, QTextListFormat::Style style, int indent, QTextList *join) {
            if (!c.block().text().isEmpty() || c.block().textList())
                c.insertBlock(QTextBlockFormat());
            c.insertText(text);
            if (join) {
                join->add(c.block());
                return join;
            }
            QTextListFormat f;
            f.setStyle(style);
            f.setIndent(indent);
            return c.createList(f);
        };
        QTextList *top = item(u"one"_qs, QTextListFormat::ListDisc, 1, nullptr);
        QTextList *sub = item(u"sub"_qs, QTextListFormat::ListCircle, 2, nullptr);
        item(u"sub 2"_qs, {}, 0, sub);
        item(u"two"_qs, {}, 0, top);
        item(u"first"_qs, QTextListFormat::ListDecimal, 1, nullptr);
        item(u"other"_qs, QTextListFormat::ListDecimal, 1, nullptr); // a separate list right after
        const QByteArray rtf = rtf::write(&d);
        QVERIFY2(rtf.contains("{\\*\\listtable"), rtf.constData());
        QVERIFY(rtf.contains("{\\listoverride\\listid3\\listoverridecount0\\ls3}"));
        QVERIFY(rtf.contains("{\\*\\pn\\pnlvlblt\\pnlvl2"));
        QVERIFY(rtf.contains("\\ls1\\ilvl1"));

        QTextDocument back;
        rtf::readInto(&back, rtf);
        QCOMPARE(back.toPlainText(), d.toPlainText());
        for (int i = 0; i < d.blockCount(); ++i) {
            const QTextList *was = d.findBlockByNumber(i).textList();
            const QTextList *is = back.findBlockByNumber(i).textList();
            QVERIFY(is);
            QCOMPARE(is->format().style(), was->format().style());
            QCOMPARE(is->format().indent(), was->format().indent());
            QCOMPARE(is->itemNumber(back.findBlockByNumber(i)), was->itemNumber(d.findBlockByNumber(i)));
        }
        QCOMPARE(back.findBlockByNumber(3).textList(), back.findBlockByNumber(0).textList());
        QVERIFY(back.findBlockByNumber(5).textList() != back.findBlockByNumber(4).textList());
    }

    void tablesComeBackAsTables()
    {
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(u"above"_qs);
        QTextTableFormat format;
        format.setColumnWidthConstraints(
            {QTextLength(QTextLength::FixedLength, 80), QTextLength(QTextLength::FixedLength, 160)});
        QTextTable *table = c.insertTable(2, 2, format);
        const QStringList texts{u"a1"_qs, u"b1"_qs, u"a2"_qs, u"b2 {x}"_qs};
        for (int i = 0; i < 4; ++i) {
            c.setPosition(table->cellAt(i / 2, i % 2).firstPosition());
            c.insertText(texts[i]);
        }
        c.setPosition(table->cellAt(1, 1).lastPosition());
        c.insertBlock();
        c.insertText(u"more"_qs);
        c.setPosition(table->lastPosition() + 1);
        c.insertText(u"below"_qs);
        const QByteArray rtf = rtf::write(&d);
        QVERIFY2(rtf.contains("\\trowd") && rtf.contains("\\cellx1200") && rtf.contains("\\cellx3600"),
                 rtf.constData());
        QVERIFY(rtf.contains("\\pard\\intbl"));
        QCOMPARE(rtf.count("\\row"), 2);
        QCOMPARE(rtf::plainText(rtf), u"above\na1\tb1\na2\tb2 {x}\nmore\nbelow"_qs);

        QTextDocument back;
        rtf::readInto(&back, rtf);
        QTextCursor bc(&back);
        bc.setPosition(int(back.toPlainText().indexOf(u"a1"_qs)));
        const QTextTable *read = bc.currentTable();
        QVERIFY(read);
        QCOMPARE(read->rows(), 2);
        QCOMPARE(read->columns(), 2);
        QCOMPARE(read->format().columnWidthConstraints(), format.columnWidthConstraints());
        QCOMPARE(back.toPlainText(), d.toPlainText());
        QCOMPARE(rtf::write(&back), rtf);
    }

    // A table's padding, the lines around its cells and its columns come back from a save as the
    // producer wrote them, and other readers find the same padding in what we write.
    void tablesKeepTheirPaddingAndLines_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("look");
        QTest::newRow("LibreOffice, 28-twip padding")
            << u"libreoffice/lo74-notes-sample"_qs << u"28/28 TLBR TLBR|LBR LBR"_qs;
        QTest::newRow("pandoc, header rule only")
            << u"pandoc/pandoc217-notes-sample"_qs << u"120/0 B B|- -|- -"_qs;
        QTest::newRow("pandoc, no lines") << u"pandoc/pandoc-table_simple"_qs << u"0/0 - - - -|- - - -"_qs;
        QTest::newRow("Word, full grid") << u"richedit/tika-testRTFTableCellSeparation"_qs
                                         << u"108/0 TLBR TLBR|TLBR TLBR|TLBR TLBR|TLBR TLBR"_qs;
    }
    void tablesKeepTheirPaddingAndLines()
    {
        QFETCH(QString, file);
        QFETCH(QString, look);
        QFile source(QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus/") + file + u".rtf"_qs);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QTextDocument read;
        rtf::readInto(&read, source.readAll());
        QVERIFY(firstTable(read));
        QCOMPARE(tableLook(*firstTable(read)), look);

        const QByteArray written = rtf::write(&read);
        static const QRegularExpression gapWord(QStringLiteral("\\\\trgaph(-?\\d+)"));
        const QString gap = look.section(u'/', 0, 0);
        int rows = 0;
        for (auto it = gapWord.globalMatch(QString::fromLatin1(written)); it.hasNext(); ++rows)
            QCOMPARE(it.next().captured(1), gap);
        QVERIFY2(rows >= firstTable(read)->rows(), written.constData());

        QTextDocument back;
        rtf::readInto(&back, written);
        QVERIFY(firstTable(back));
        QCOMPARE(tableLook(*firstTable(back)), look);
        QCOMPARE(columnWidths(*firstTable(back)), columnWidths(*firstTable(read)));
        QCOMPARE(rtf::write(&back), written);
    }

    // Tab stops are used on screen and written back; pandoc sets one where its list text starts.
    void tabStopsAreKept_data()
    {
        QTest::addColumn<QByteArray>("paragraph");
        QTest::addColumn<QString>("tabs");
        QTest::newRow("pandoc list item")
            << QByteArray("{\\pard \\ql \\f0 \\sa0 \\li360 \\fi-360 \\bullet \\tx360\\tab First bullet\\par}")
            << u"24:L"_qs;
        QTest::newRow("every kind, out of order")
            << QByteArray("\\pard\\tqr\\tx4320\\tqc\\tx2880\\tqdec\\tx5040\\tx720 a\\tab b\\par")
            << u"48:L 192:C 288:R 336:D"_qs;
    }
    void tabStopsAreKept()
    {
        QFETCH(QByteArray, paragraph);
        QFETCH(QString, tabs);
        QTextDocument read;
        rtf::readInto(&read, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}" + paragraph + '}');
        QCOMPARE(tabsOf(read.firstBlock().blockFormat()), tabs);
        // The text after the first tab starts at the first stop.
        read.setTextWidth(800);
        const QTextBlock block = read.firstBlock();
        read.documentLayout()->blockBoundingRect(block);
        const int afterTab = int(block.text().indexOf(u'\t')) + 1;
        QCOMPARE(block.layout()->lineAt(0).cursorToX(afterTab),
                 block.blockFormat().tabPositions().constFirst().position);

        const QByteArray written = rtf::write(&read);
        QTextDocument back;
        rtf::readInto(&back, written);
        QCOMPARE(tabsOf(back.firstBlock().blockFormat()), tabs);
        QCOMPARE(rtf::write(&back), written);
    }

    // What the editor does to a bulleted paragraph (alignment, the paragraph's own indent, the
    // hanging indent) is still there after a save and reload.
    void bulletParagraphLayoutSurvives_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<qreal>("leftMargin");
        QTest::addColumn<qreal>("textIndent");
        QTest::addColumn<int>("blockIndent");
        QTest::newRow("centred") << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0;
        QTest::newRow("centred, indented") << int(Qt::AlignHCenter) << 24.0 << 0.0 << 0;
        QTest::newRow("centred, block indent") << int(Qt::AlignHCenter) << 0.0 << 0.0 << 1;
        QTest::newRow("right, hanging") << int(Qt::AlignRight) << 0.0 << -12.0 << 0;
        QTest::newRow("left, indented and hanging") << int(Qt::AlignLeft) << 48.0 << -12.0 << 0;
    }
    void bulletParagraphLayoutSurvives()
    {
        QFETCH(int, alignment);
        QFETCH(qreal, leftMargin);
        QFETCH(qreal, textIndent);
        QFETCH(int, blockIndent);
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(u"item"_qs);
        QTextBlockFormat f;
        f.setAlignment(Qt::Alignment(alignment));
        f.setLeftMargin(leftMargin);
        f.setTextIndent(textIndent);
        f.setIndent(blockIndent);
        c.setBlockFormat(f);
        c.createList(QTextListFormat::ListDisc);
        const QTextBlockFormat was = d.firstBlock().blockFormat();
        QTextDocument back;
        rtf::readInto(&back, rtf::write(&d));
        const QTextBlockFormat is = back.firstBlock().blockFormat();
        QVERIFY(back.firstBlock().textList());
        QCOMPARE(back.firstBlock().textList()->format().indent(),
                 d.firstBlock().textList()->format().indent());
        QCOMPARE(int(is.alignment()), int(was.alignment()));
        QCOMPARE(is.leftMargin() + is.indent() * d.indentWidth(),
                 was.leftMargin() + was.indent() * d.indentWidth());
        QCOMPARE(is.textIndent(), was.textIndent());
    }

    void bulletsCarryTheirLabelForSimpleReaders()
    {
        QTextDocument d;
        QTextCursor c(&d);
        c.insertText(u"item"_qs);
        c.createList(QTextListFormat::ListDisc);
        const QByteArray rtf = rtf::write(&d);
        QVERIFY(rtf.contains("{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1"));
        QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset2 Symbol;}"));
    }
};

QTEST_MAIN(TestRtfWriter) // tab stops are checked where the text is laid out
#include "tst_rtfwriter.moc"
