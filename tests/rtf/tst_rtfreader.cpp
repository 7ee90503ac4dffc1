#include "DocumentText.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

namespace {

QByteArray doc(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 "
           "Arial;}{\\f1\\fnil\\fcharset204 Times;}"
           "{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fnil\\fcharset128 MS Gothic;}{\\f4\\fnil\\cpg65001 Utf;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard " +
           body + "}";
}

// The character format at the first occurrence of the text.
QTextCharFormat formatOf(const QTextDocument &d, const QString &text)
{
    QTextCursor c = d.find(text, 0, QTextDocument::FindCaseSensitively);
    if (c.isNull())
        return {};
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

QByteArray imageBytes(const char *format)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void textDecodesEscapesAndCodePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("fallback after \\u is skipped, not the next letter")
            << doc("caf\\u233?s") << u"cafés"_qs;
        QTest::newRow("\\uc0 has no fallback") << doc("\\uc0\\u1050\\u1086  x") << u"Ко x"_qs;
        QTest::newRow("\\uc2 fallback of two hex escapes") << doc("{\\uc2\\u24180\\'94\\'4fN}") << u"年N"_qs;
        QTest::newRow("fallback ends at the group's end") << doc("{\\uc3\\u228 a}b") << u"äb"_qs;
        QTest::newRow("negative value wraps") << doc("\\u-3913?") << QString(QChar(0xF0B7));
        QTest::newRow("surrogate pair joined") << doc("\\u-10179?\\u-8704?") << u"\U0001F600"_qs;
        QTest::newRow("lone surrogate becomes replacement") << doc("a\\u-10179?b") << u"a\uFFFDb"_qs;
        QTest::newRow("font charset beats \\ansicpg") << doc("\\f1\\'cf\\'f0\\'e8") << u"При"_qs;
        QTest::newRow("charset switch inside a group re-decodes")
            << doc("\\'e9{\\f1\\'e9}\\'e9") << u"éйé"_qs;
        QTest::newRow("font table read after its font was used")
            << QByteArray("{\\rtf1\\ansi\\f1\\'e9{\\fonttbl{\\f1\\fcharset204 T;}}\\f1\\'e9}") << u"éй"_qs;
        QTest::newRow("document page changed after a font was used")
            << QByteArray("{\\rtf1\\ansi\\f0\\'e9\\ansicpg1251\\f0\\'e9}") << u"éй"_qs;
        QTest::newRow("raw 8-bit characters within and at the end of long runs")
            << doc("abcdefgh\x80 ijklmnop\x93qrstuvw 12345678\x94") << u"abcdefgh€ ijklmnop“qrstuvw 12345678”"_qs;
        QTest::newRow("double-byte pair across two escapes") << doc("\\f3\\'82\\'a0") << u"あ"_qs;
        QTest::newRow("\\cpg65001 font reads UTF-8") << doc("\\f4\\'e4\\'b8\\'ad") << u"中"_qs;
        QTest::newRow("symbols") << doc("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote")
                                 << u"—–•‘’“”"_qs;
        QTest::newRow("nbsp, optional and non-breaking hyphen")
            << doc("a\\~b\\-c\\_d") << u"a b\u00ADc\u2011d"_qs;
        QTest::newRow("escaped braces and backslash") << doc("\\{\\}\\\\") << u"{}\\"_qs;
        QTest::newRow("only a space ends a control word") << doc("\\b1x\\b0\r\ny") << u"xy"_qs;
        QTest::newRow("raw line breaks are not text") << doc("a\r\nb\nc") << u"abc"_qs;
        QTest::newRow("escaped line break is a paragraph") << doc("a\\\r\nb") << u"a\nb"_qs;
        QTest::newRow("tab and line") << doc("a\\tab b\\line c") << u"a\tb\nc"_qs;
        QTest::newRow("\\bin data with braces is skipped") << doc("a{\\*\\shprslt\\bin4 }{}{}b") << u"ab"_qs;
        QTest::newRow("unknown starred group skipped") << doc("a{\\*\\unknownthing secret}b") << u"ab"_qs;
        QTest::newRow("\\* in the middle of a group means nothing")
            << doc("{\\b\\*\\cs7 shown}") << u"shown"_qs;
        QTest::newRow("header, info and footnote text not shown")
            << doc("{\\header H}{\\info{\\title T}}a{\\footnote F}") << u"a"_qs;
        QTest::newRow("field result kept, instruction not")
            << doc("{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}") << u"7"_qs;
        QTest::newRow("hidden text") << doc("a{\\v hidden}b") << u"ab"_qs;
        QTest::newRow("table cells separated by tabs")
            << doc("\\trowd\\cellx100\\cellx200\\intbl A\\cell B\\cell\\row\\pard C") << u"A\tB\nC"_qs;
        QTest::newRow("closing \\par adds no empty paragraph") << doc("a\\par b\\par") << u"a\nb"_qs;
        QTest::newRow("empty last paragraph kept") << doc("a\\par\\par") << u"a\n"_qs;
        QTest::newRow("text after the final brace ignored") << QByteArray("{\\rtf1 a}b") << u"a"_qs;
        QTest::newRow("invalid hex counts as the fallback")
            << QByteArray("{\\rtf1 x\\u345\\'3?x}") << u"xřx"_qs;
    }
    void textDecodesEscapesAndCodePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(rtf::plainText(rtf), text);
        QTextDocument d;
        QVERIFY(rtf::readInto(&d, rtf).wasRtf);
        QCOMPARE(textWithRowsAsLines(d), trimmedLines(QString(text).replace(QChar(0xA0), u' ')));
    }

    void characterFormatting()
    {
        QTextDocument d;
        rtf::readInto(&d,
                      doc("\\fs28 {\\b B}{\\i I}{\\ul U}{\\uldash D}{\\strike S}{\\cf1 R}{\\highlight2 H}"
                          "{\\super P}{\\sub Q}{\\f1\\fs21 F}{\\b\\plain N}{\\b Z\\b0 z}{\\ul W\\ulnone w}"));
        QCOMPARE(formatOf(d, u"B"_qs).fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(d, u"I"_qs).fontItalic());
        QCOMPARE(formatOf(d, u"U"_qs).underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(formatOf(d, u"D"_qs).underlineStyle(), QTextCharFormat::DashUnderline);
        QVERIFY(formatOf(d, u"S"_qs).fontStrikeOut());
        QCOMPARE(formatOf(d, u"R"_qs).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(d, u"H"_qs).background().color(), QColor(0, 0, 255));
        QCOMPARE(formatOf(d, u"P"_qs).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatOf(d, u"Q"_qs).verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatOf(d, u"F"_qs).fontPointSize(), 10.5);
        QCOMPARE(formatOf(d, u"F"_qs).font().family(), u"Times"_qs);
        QCOMPARE(formatOf(d, u"B"_qs).fontPointSize(), 14.0);
        QCOMPARE(formatOf(d, u"B"_qs).font().family(), u"Arial"_qs);
        QCOMPARE(formatOf(d, u"N"_qs).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(d, u"N"_qs).fontPointSize(), 12.0);
        QCOMPARE(formatOf(d, u"Z"_qs).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(d, u"z"_qs).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(d, u"w"_qs).underlineStyle(), QTextCharFormat::NoUnderline);
        // Group ends restore what was in force before.
        QVERIFY(!formatOf(d, u"I"_qs).hasProperty(QTextFormat::FontWeight) ||
                formatOf(d, u"I"_qs).fontWeight() == QFont::Normal);
    }

    // A big note repeats a few styles many times; each style must be stored once, or memory
    // grows with every formatting change.
    void repeatedStylesAreStoredOnce()
    {
        QByteArray body;
        for (int round = 0; round < 30; ++round) {
            for (int style = 0; style < 24; ++style) // more styles than any short-lived cache holds
                body += "{\\fs" + QByteArray::number(16 + style) + (style % 2 ? "\\b" : "\\i") + " word}";
            body += "\\par ";
        }
        QTextDocument d;
        rtf::readInto(&d, doc(body));
        QVERIFY(d.toPlainText().startsWith(u"wordword"_qs));
        QVERIFY2(d.allFormats().size() <= 24 + 8, qPrintable(QString::number(d.allFormats().size())));
    }

    void paragraphFormatting()
    {
        QTextDocument d;
        rtf::readInto(&d, doc("\\qc\\li720\\ri360\\fi-180\\sb120\\sa240\\sl360\\slmult1 C\\par\\pard\\qr "
                              "R\\par\\pard\\qj J\\par\\pard L"));
        const QTextBlockFormat c = d.findBlockByNumber(0).blockFormat();
        QCOMPARE(c.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(c.leftMargin(), 48.0);
        QCOMPARE(c.rightMargin(), 24.0);
        QCOMPARE(c.textIndent(), -12.0);
        QCOMPARE(c.topMargin(), 8.0);
        QCOMPARE(c.bottomMargin(), 16.0);
        QCOMPARE(c.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(c.lineHeight(), 150.0);
        QCOMPARE(d.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(d.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignJustify);
        QCOMPARE(d.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(d.findBlockByNumber(3).blockFormat().leftMargin(), 0.0); // \pard reset it
    }

    void listsBecomeTextLists_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("text");
        QTest::newRow("rich edit bullets")
            << doc("{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-"
                   "360\\li720 one\\par"
                   "{\\pntext\\f2\\'B7\\tab}two\\par\\pard after")
            << int(QTextListFormat::ListDisc) << u"one\ntwo\nafter"_qs;
        QTest::newRow("rich edit numbers, repeated definition")
            << doc("{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta.}}one\\par\\pard"
                   "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta.}}two\\par\\pard after")
            << int(QTextListFormat::ListDecimal) << u"one\ntwo\nafter"_qs;
        QTest::newRow("Word list table")
            << doc("{\\*\\listtable{\\list{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'00);}}"
                   "\\listid7}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                   "{\\listtext a)\\tab}\\ls1\\ilvl0 one\\par\\pard{\\listtext b)\\tab}\\ls1 two\\par\\pard "
                   "after")
            << int(QTextListFormat::ListLowerAlpha) << u"one\ntwo\nafter"_qs;
    }
    void listsBecomeTextLists()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, style);
        QFETCH(QString, text);
        QTextDocument d;
        rtf::readInto(&d, rtf);
        QCOMPARE(d.toPlainText(), text); // the producer's labels are not doubled into the text
        QTextList *list = d.findBlockByNumber(0).textList();
        QVERIFY(list);
        QCOMPARE(int(list->format().style()), style);
        QCOMPARE(d.findBlockByNumber(1).textList(), list);
        QCOMPARE(list->itemNumber(d.findBlockByNumber(1)), 1);
        QVERIFY(!d.findBlockByNumber(2).textList());
    }

    // Each level of a list keeps its own bullet and indent, as the producer's list table says.
    void listLevelsKeepTheirBullets_data()
    {
        QTest::addColumn<QByteArray>("levels");
        auto level = [](const char *text) {
            return QByteArray("{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\leveltemplateid7\\'01") +
                   text + ";}{\\levelnumbers;}}";
        };
        QTest::newRow("LibreOffice") << level("\\u8226 ?") + level("\\u9702 ?") + level("\\u9642 ?");
        QTest::newRow("LibreOffice's OpenSymbol")
            << level("\\u8226 ?") + level("\\u57353 ?") + level("\\u57354 ?");
        QTest::newRow("Word symbol fonts") << level("{\\f2\\u-3913 ?}") + level("o") + level("\\u-3929 ?");
    }
    void listLevelsKeepTheirBullets()
    {
        QFETCH(QByteArray, levels);
        QTextDocument d;
        rtf::readInto(&d, doc("{\\*\\listtable{\\list" + levels +
                              "\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5\\ls2}}"
                              "\\ls2\\ilvl0 one\\par\\pard\\ls2\\ilvl1 sub\\par\\pard\\ls2\\ilvl2 deeper\\par"
                              "\\pard\\ls2\\ilvl0 two\\par\\pard\\ls2\\ilvl1 new sub"));
        const QList<int> styles{QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                                QTextListFormat::ListSquare, QTextListFormat::ListDisc,
                                QTextListFormat::ListCircle};
        const QList<int> indents{1, 2, 3, 1, 2};
        for (int i = 0; i < styles.size(); ++i) {
            const QTextList *list = d.findBlockByNumber(i).textList();
            QVERIFY(list);
            QCOMPARE(int(list->format().style()), styles[i]);
            QCOMPARE(list->format().indent(), indents[i]);
        }
        QCOMPARE(d.findBlockByNumber(3).textList(), d.findBlockByNumber(0).textList());
        // A sublist after a new item of its parent is a list of its own.
        QVERIFY(d.findBlockByNumber(4).textList() != d.findBlockByNumber(1).textList());
    }

    void tableRowsBecomeATable()
    {
        QTextDocument d;
        rtf::readInto(&d, doc("before\\par\\trowd\\trgaph108\\cellx1440\\cellx4320 \\pard\\intbl "
                              "A\\cell\\pard\\intbl {\\b B}\\par second\\cell"
                              "\\row\\trowd\\cellx1440\\cellx4320\\cellx5000\\pard\\intbl C\\cell\\cell "
                              "E\\cell\\row\\pard after"));
        QTextCursor c(&d);
        c.setPosition(int(d.toPlainText().indexOf(u'A')));
        QTextTable *table = c.currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 3); // the second row's third cell adds a column
        auto cellText = [&](int row, int column) {
            const QTextTableCell cell = table->cellAt(row, column);
            QTextCursor span(&d);
            span.setPosition(cell.firstPosition());
            span.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
            return span.selectedText().replace(QChar(QChar::ParagraphSeparator), u'\n');
        };
        QCOMPARE(cellText(0, 0), u"A"_qs);
        QCOMPARE(cellText(0, 1), u"B\nsecond"_qs);
        QCOMPARE(cellText(1, 0), u"C"_qs);
        QCOMPARE(cellText(1, 1), QString());
        QCOMPARE(cellText(1, 2), u"E"_qs);
        QVERIFY(formatOf(d, u"B"_qs).fontWeight() == QFont::Bold);
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 3);
        QCOMPARE(widths[0].rawValue(), 96.0);
        QCOMPARE(widths[1].rawValue(), 192.0);
        QVERIFY(d.firstBlock().text() == u"before"_qs);
        QCOMPARE(d.lastBlock().text(), u"after"_qs);
        QVERIFY(!QTextCursor(d.lastBlock()).currentTable());
        // The quick extraction keeps a row per line, its cells apart by tabs.
        QCOMPARE(rtf::plainText(doc("\\trowd\\cellx100\\cellx200\\pard\\intbl A\\cell B\\cell\\row")),
                 u"A\tB"_qs);
    }

    void richEditBulletCharacterGivesTheShape()
    {
        QTextDocument d;
        rtf::readInto(&d, doc("{\\*\\pn\\pnlvlblt\\pnlvl2{\\pntxtb o}}circle\\par"));
        QVERIFY(d.firstBlock().textList());
        QCOMPARE(d.firstBlock().textList()->format().style(), QTextListFormat::ListCircle);
        QCOMPARE(d.firstBlock().textList()->format().indent(), 2);
    }

    // Qt 6.4 cannot start a list at another number, so the producer's label is kept as text.
    void numberingThatStartsElsewhereKeepsItsLabel()
    {
        QTextDocument d;
        rtf::readInto(&d,
                      doc("{\\pntext 3.\\tab}{\\*\\pn\\pnlvlbody\\pnstart3\\pndec{\\pntxta.}}three\\par"));
        QCOMPARE(d.toPlainText(), u"3.\tthree"_qs);
        QVERIFY(!d.firstBlock().textList());
    }

    void hyperlinkFieldBecomesLink()
    {
        QTextDocument d;
        rtf::readInto(&d, doc("see {\\field{\\*\\fldinst{HYPERLINK "
                              "\"https://example.org/a?b=1\"}}{\\fldrslt{\\ul site}}} or "
                              "{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt top}}"));
        QCOMPARE(d.toPlainText(), u"see site or top"_qs);
        QVERIFY(formatOf(d, u"site"_qs).isAnchor());
        QCOMPARE(formatOf(d, u"site"_qs).anchorHref(), u"https://example.org/a?b=1"_qs);
        QCOMPARE(formatOf(d, u"top"_qs).anchorHref(), u"#top"_qs);
        QVERIFY(!formatOf(d, u"see"_qs).isAnchor());
    }

    void picturesAreShownAtTheirSize_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("suffix");
        const QByteArray png = imageBytes("PNG").toHex();
        const QByteArray jpeg = imageBytes("JPEG").toHex();
        QTest::newRow("png at its goal size")
            << doc("a{\\pict\\pngblip\\picw3\\pich2\\picwgoal90\\pichgoal60 " + png + "}b") << u"a\uFFFCb"_qs
            << QSize(6, 4) << u".png"_qs;
        QTest::newRow("own size when no goal") << doc("{\\pict\\pngblip\\picw3\\pich2 " + png + "}")
                                               << u"\uFFFC"_qs << QSize(3, 2) << u".png"_qs;
        QTest::newRow("scaled")
            << doc("{\\pict\\jpegblip\\picscalex50\\picscaley200\\picwgoal300\\pichgoal150 " + jpeg + "}")
            << u"\uFFFC"_qs << QSize(10, 20) << u".jpg"_qs;
        QTest::newRow("shape picture, its fallback left out")
            << doc("x{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn a}{\\sv "
                   "b}}}\\pngblip\\picwgoal45\\pichgoal30 " +
                   png + "}}{\\nonshppict{\\pict\\wmetafile8\\picwgoal45\\pichgoal30 0102}}y")
            << u"x\uFFFCy"_qs << QSize(3, 2) << u".png"_qs;
        QTest::newRow("metafile kept as a placeholder of its size")
            << doc("{\\pict\\wmetafile8\\picw2540\\pich1270 0102}") << u"\uFFFC"_qs << QSize(96, 48)
            << u".rtf"_qs;
        QTest::newRow("enhanced metafile at its goal size")
            << doc("{\\*\\shppict{\\pict\\emfblip\\picwgoal1500\\pichgoal750 0102}}") << u"\uFFFC"_qs
            << QSize(100, 50) << u".rtf"_qs;
    }
    void picturesAreShownAtTheirSize()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(QString, suffix);
        QTextDocument d;
        rtf::readInto(&d, rtf);
        QCOMPARE(d.toPlainText(), text);
        QTextCursor c(&d);
        c.setPosition(int(text.indexOf(QChar(0xFFFC))) + 1);
        QVERIFY(c.charFormat().isImageFormat());
        const QTextImageFormat f = c.charFormat().toImageFormat();
        QCOMPARE(QSizeF(f.width(), f.height()), QSizeF(size));
        QVERIFY(f.name().endsWith(suffix));
        const QVariant resource = d.resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage shown = resource.userType() == QMetaType::QImage ? resource.value<QImage>()
                                                                : QImage::fromData(resource.toByteArray());
        QVERIFY(!shown.isNull());
    }

    void plainTextFileIsNotRtf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("Grüße\nline 2") << u"Grüße\nline 2"_qs;
        QTest::newRow("windows-1252") << QByteArray("caf\xe9 \x80") << u"café €"_qs;
        QTest::newRow("looks almost like rtf") << QByteArray("{\\rt x}") << u"{\\rt x}"_qs;
    }
    void plainTextFileIsNotRtf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(!rtf::looksLikeRtf(bytes));
        QTextDocument d;
        const rtf::ReadResult r = rtf::readInto(&d, bytes);
        QVERIFY(r.ok);
        QVERIFY(!r.wasRtf);
        QCOMPARE(d.toPlainText(), text);
    }

    void insertReplacesSelectionAsOneUndoStep()
    {
        QTextDocument d;
        d.setPlainText(u"hello world"_qs);
        QTextCursor c(&d);
        c.setPosition(6);
        c.setPosition(11, QTextCursor::KeepAnchor);
        rtf::insertAt(c, doc("{\\b there}"));
        QCOMPARE(d.toPlainText(), u"hello there"_qs);
        QCOMPARE(c.position(), 11);
        QCOMPARE(formatOf(d, u"there"_qs).fontWeight(), int(QFont::Bold));
        d.undo();
        QCOMPARE(d.toPlainText(), u"hello world"_qs);
    }

    void insertedParagraphsSplitTheHostParagraph()
    {
        QTextDocument d;
        d.setPlainText(u"AB"_qs);
        QTextCursor c(&d);
        c.setPosition(1);
        rtf::insertAt(c, doc("x\\par y\\par"));
        QCOMPARE(d.toPlainText(), u"Ax\ny\nB"_qs);
    }

    void loadingLeavesNothingToUndo()
    {
        QTextDocument d;
        d.setPlainText(u"old"_qs);
        rtf::readInto(&d, doc("new"));
        QVERIFY(d.isUndoRedoEnabled());
        QVERIFY(!d.isUndoAvailable());
    }

    // The editor lays out and repaints on every content change; a note with thousands of
    // formatting runs must reach it as one change (after the old note is cleared), not one per run.
    void loadingReachesTheEditorAsOneChange()
    {
        QTextDocument d;
        QByteArray body;
        for (int i = 0; i < 200; ++i)
            body += "\\b bold\\b0  plain {\\i italic} " + QByteArray(i % 20 == 19 ? "\\par " : "");
        QSignalSpy changes(&d, &QTextDocument::contentsChanged);
        rtf::readInto(&d, doc(body));
        QVERIFY2(changes.count() <= 2, qPrintable(QString::number(changes.count())));
        QVERIFY(d.toPlainText().startsWith(u"bold plain italic bold"_qs));
    }

    // Damaged and hostile input: read what can be read, never crash or hang.
    void damagedInputIsReadAsFarAsItGoes_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("mustContain");
        QTest::newRow("missing closing braces")
            << QByteArray("{\\rtf1 {\\b bold {\\i more") << u"bold more"_qs;
        QTest::newRow("extra closing brace") << QByteArray("{\\rtf1 a}}}} b") << u"a"_qs;
        QTest::newRow("deep nesting")
            << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "}"
            << u"deep"_qs;
        QTest::newRow("unclosed deep nesting")
            << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x" << u"x"_qs;
        QTest::newRow("huge numbers")
            << QByteArray(
                   "{\\rtf1 \\fs99999999999999999999\\li-99999999999999\\u99999999999?ok\\uc999999999}")
            << u"ok"_qs;
        QTest::newRow("\\bin past the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << u"a"_qs;
        QTest::newRow("\\bin without count") << QByteArray("{\\rtf1 a\\bin b}") << u"ab"_qs;
        QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_qs;
        QTest::newRow("hex at the end") << QByteArray("{\\rtf1 a\\'4") << u"a"_qs;
        QTest::newRow("\\u at the end") << QByteArray("{\\rtf1 a\\u") << u"a"_qs;
        QTest::newRow("many fonts and colours")
            << QByteArray("{\\rtf1{\\fonttbl") + QByteArray("{\\f2147483647 A;}").repeated(5000) +
                   "}{\\colortbl" + QByteArray(";").repeated(100000) + "}z}"
            << u"z"_qs;
        QTest::newRow("unclosed font table")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;} \\pard text\\par}") << u"text"_qs;
    }
    void damagedInputIsReadAsFarAsItGoes()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, mustContain);
        QTextDocument d;
        const rtf::ReadResult r = rtf::readInto(&d, rtf);
        QVERIFY(r.ok);
        QVERIFY(d.toPlainText().contains(mustContain));
        QVERIFY(rtf::plainText(rtf).contains(mustContain));
    }

    void truncatedFileIsReportedAsDamaged()
    {
        QTextDocument d;
        QVERIFY(!rtf::readInto(&d, doc("fine")).warning.size());
        QVERIFY(!rtf::readInto(&d, "{\\rtf1 cut {\\b off").warning.isEmpty());
    }

    void randomBytesNeverCrash()
    {
        QRandomGenerator random(20240611);
        static const char alphabet[] = "{}\\'*abuc0123456789- ;\r\nxyzbinpardfs\xe9\x82";
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes("{\\rtf1 ");
            const int n = random.bounded(2000);
            for (int i = 0; i < n; ++i)
                bytes += random.bounded(4) == 0 ? char(random.bounded(256))
                                                : alphabet[random.bounded(int(sizeof alphabet) - 1)];
            QTextDocument d;
            QVERIFY(rtf::readInto(&d, bytes).ok);
            rtf::plainText(bytes);
        }
    }

    // Plain-text extraction reads without building a document and without splitting runs where
    // the formatting changes; it must still give exactly the text the loaded note shows.
    void plainTextIsTheLoadedNotesText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("formatting changes inside a word") << doc("ab{\\b cd}\\i ef\\i0 gh") << u"abcdefgh"_qs;
        QTest::newRow("escapes between plain text")
            << doc("caf\\'e9 {\\b na\\'efve} \\u8364?5") << u"café naïve €5"_qs;
        QTest::newRow("hidden text between formatted runs") << doc("a{\\b b{\\v hidden}c}d") << u"abcd"_qs;
        QTest::newRow("cells that start with new formatting")
            << doc("\\trowd\\cellx100\\cellx200\\cellx300\\intbl A\\cell{\\b B}\\cell\\cf1 "
                   "C\\cell\\row\\pard D")
            << u"A\tB\tC\nD"_qs;
        QTest::newRow("empty list item in a cell before a plain one")
            << doc("\\trowd\\cellx100\\cellx200\\pard\\intbl{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{"
                   "\\pntxtb\\'b7}}\\cell"
                   "\\pard\\intbl B\\cell\\row\\pard D")
            << u"\tB\nD"_qs;
        QTest::newRow("label of a list that is not kept")
            << doc("{\\pntext\\b 7.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart7}\\i item\\par")
            << u"7.\titem"_qs;
        QTest::newRow("line breaks and spaces in formatted text")
            << doc("{\\b a\\line b}\\~{\\i c\\tab d}") << u"a\nb c\td"_qs;
        QTest::newRow("symbol font beside text")
            << doc("{\\f2\\'b7}\\f0 x{\\f3\\'82\\'a0}") << u"\u2022xあ"_qs;
        QTest::newRow("link result in formatted pieces")
            << doc("{\\field{\\*\\fldinst HYPERLINK \"http://a.example\"}{\\fldrslt{\\ul li}nk}} after")
            << u"link after"_qs;
        QTest::newRow("unknown words that start like known ones")
            << doc("\\pare a\\parb c\\bx d\\b e") << u"acde"_qs;
        QTest::newRow("overlong unknown destination skipped")
            << doc("a{\\*\\" + QByteArray(300, 'x') + " secret}b") << u"ab"_qs;
        QTest::newRow("paragraphs with changing formatting")
            << doc("\\b a\\par\\b0 b\\par\\qc{\\i c}") << u"a\nb\nc"_qs;
    }
    void plainTextIsTheLoadedNotesText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(rtf::plainText(rtf), text);
        QTextDocument d;
        rtf::readInto(&d, rtf);
        QCOMPARE(textWithRowsAsLines(d), trimmedLines(text.replace(QChar(0xA0), u' ')));
    }

    // Inputs the fuzzer once found troublesome stay in the suite.
    void regressionInputsRead_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(QStringLiteral(QB_TEST_DATA_DIR "/rtf-regressions"), QDir::Files);
        while (it.hasNext()) {
            const QString p = it.next();
            QTest::newRow(qPrintable(QFileInfo(p).fileName())) << p;
        }
        QTest::newRow("(corpus file stands in when none are kept)")
            << QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus/malformed/rtfpipe-Issue50-2.rtf");
    }
    void regressionInputsRead()
    {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QTextDocument d;
        QVERIFY(rtf::readInto(&d, bytes).ok);
        QCOMPARE(textWithRowsAsLines(d), trimmedLines(rtf::plainText(bytes).replace(QChar(0xA0), u' ')));
        // What we write of it reads back to the same text, apart from control characters (a
        // plain-text file may hold them; a note has no place for them).
        QTextDocument back;
        rtf::readInto(&back, rtf::write(&d));
        QString shown = textWithRowsAsLines(d);
        shown.removeIf([](QChar c) { return (c < u' ' && c != u'\t' && c != u'\n') || c == QChar(0x7F); });
        QCOMPARE(textWithRowsAsLines(back), shown);
    }
};

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
