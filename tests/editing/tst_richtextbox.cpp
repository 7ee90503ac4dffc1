#include "RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGlyphRun>
#include <QMimeData>
#include <QRawFont>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>

namespace {

// "plain BOLD italic" with BOLD bold and italic italic, 10 pt Sans except BOLD in 14 pt Serif.
void fillMixedLine(RichTextBox &box)
{
    box.setText(QStringLiteral("plain BOLD italic"));
    box.selectAll();
    box.setSelFontName(QStringLiteral("Sans"));
    box.setSelFontSize(10.0);
    box.setSelStart(6);
    box.setSelLength(4);
    box.setSelBold(true);
    box.setSelFontName(QStringLiteral("Serif"));
    box.setSelFontSize(14.0);
    box.setSelStart(11);
    box.setSelLength(6);
    box.setSelItalic(true);
}

void select(RichTextBox &box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

// The size in pixels the word's first letters are drawn at.
qreal shownPixelSize(RichTextBox &box, const QString &word)
{
    const QTextCursor found = box.document()->find(word, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return 0;
    const QTextBlock block = found.block();
    box.document()->documentLayout()->blockBoundingRect(block); // laid out
    const QList<QGlyphRun> runs =
        block.layout()->glyphRuns(found.selectionStart() - block.position(), int(word.size()));
    return runs.isEmpty() ? 0 : runs.constFirst().rawFont().pixelSize();
}

} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT

private slots:
    void characterAttributesReadMixedOnlyWhenTheSelectionDiffers_data();
    void characterAttributesReadMixedOnlyWhenTheSelectionDiffers();
    void caretReadsAndWritesTheTypingFormat();
    void alignmentIsMixedAcrossDifferentParagraphs();
    void bulletsJoinAPartlyBulletedSelectionAndLeaveWithoutMovingText();
    void fontSizeAcceptsNumericTextWithLeadingBlanks_data();
    void fontSizeAcceptsNumericTextWithLeadingBlanks();
    void colourReadsAutomaticRedOrMixed();
    void selTextUsesLineBreaksAndWritesReplaceTheSelection();
    void findHonoursWholeWordAndMatchCase_data();
    void findHonoursWholeWordAndMatchCase();
    void upToAndSpanMarkTheRunBetweenDelimiters();
    void loadReportsOneChangeAndKeepsContentOnFailure();
    void loadTakesOtherFilesAsPlainText();
    void saveIsAtomicAndReportsFailure();
    void mouseAndFocusEventsReachTheSignals();
    void clipboardDataCarriesPlainTextAndRtfEvenWhenEmpty();
    void cutThenPasteRestoresFormatting();
    void pastedPlainTextTakesTheTypingFormat();
    void wrappedTextNeedsNoHorizontalScrollBar_data();
    void wrappedTextNeedsNoHorizontalScrollBar();
    void pastedHtmlLooksTheSameAfterASaveAndReload_data();
    void pastedHtmlLooksTheSameAfterASaveAndReload();
};

void TestRichTextBox::characterAttributesReadMixedOnlyWhenTheSelectionDiffers_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QVariant>("expected"); // invalid QVariant = mixed

    QTest::newRow("bold over plain and bold") << 0 << 10 << "bold" << QVariant();
    QTest::newRow("bold inside bold") << 6 << 4 << "bold" << QVariant(true);
    QTest::newRow("bold inside plain") << 0 << 5 << "bold" << QVariant(false);
    QTest::newRow("italic across all") << 0 << 17 << "italic" << QVariant();
    QTest::newRow("italic inside italic") << 12 << 3 << "italic" << QVariant(true);
    QTest::newRow("underline never set") << 0 << 17 << "underline" << QVariant(false);
    QTest::newRow("two fonts") << 0 << 10 << "name" << QVariant();
    QTest::newRow("one font across two runs") << 0 << 5 << "name" << QVariant(QStringLiteral("Sans"));
    QTest::newRow("two sizes") << 4 << 4 << "size" << QVariant();
    QTest::newRow("bold word size") << 6 << 4 << "size" << QVariant(14.0);
    QTest::newRow("plain and italic share a size") << 11 << 6 << "size" << QVariant(10.0);
}

void TestRichTextBox::characterAttributesReadMixedOnlyWhenTheSelectionDiffers()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, attribute);
    QFETCH(QVariant, expected);

    RichTextBox box;
    fillMixedLine(box);
    select(box, start, length);

    QVariant actual;
    if (attribute == u"bold") {
        if (const auto v = box.SelBold())
            actual = *v;
    } else if (attribute == u"italic") {
        if (const auto v = box.SelItalic())
            actual = *v;
    } else if (attribute == u"underline") {
        if (const auto v = box.SelUnderline())
            actual = *v;
    } else if (attribute == u"name") {
        if (const auto v = box.SelFontName())
            actual = *v;
    } else if (attribute == u"size") {
        if (const auto v = box.SelFontSize())
            actual = *v;
    }
    QCOMPARE(actual, expected);
}

void TestRichTextBox::caretReadsAndWritesTheTypingFormat()
{
    RichTextBox box;
    fillMixedLine(box);
    box.setSelStart(8); // inside BOLD
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontSize(), std::optional<double>(14.0));

    box.setSelStart(17);
    box.setSelUnderline(true);
    box.setSelText(QStringLiteral("!"));
    select(box, 17, 1);
    QCOMPARE(box.SelUnderline(), std::optional<bool>(true));
    select(box, 0, 17);
    QCOMPARE(box.SelUnderline(), std::optional<bool>(false)); // the old text kept its format
}

void TestRichTextBox::alignmentIsMixedAcrossDifferentParagraphs()
{
    RichTextBox box;
    box.setText(QStringLiteral("left\nright\ncentre"));
    select(box, 5, 1);
    box.setSelAlignment(RichTextBox::AlignRight);
    box.setSelStart(12);
    box.setSelAlignment(RichTextBox::AlignCenter);

    box.setSelStart(13);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
    box.setSelStart(1);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignLeft));
    select(box, 1, 6);
    QCOMPARE(box.SelAlignment(), std::nullopt);
    select(box, 6, 2);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignRight));
}

void TestRichTextBox::bulletsJoinAPartlyBulletedSelectionAndLeaveWithoutMovingText()
{
    RichTextBox box;
    box.setText(QStringLiteral("one\ntwo\nthree"));
    QTextBlockFormat indented;
    indented.setIndent(2);
    QTextCursor(box.document()->findBlockByNumber(2)).mergeBlockFormat(indented);

    box.setSelStart(1);
    box.setSelBullet(true);
    QCOMPARE(box.SelBullet(), std::optional<bool>(true));
    select(box, 0, 13);
    QCOMPARE(box.SelBullet(), std::nullopt);

    box.setSelBullet(true);
    QCOMPARE(box.SelBullet(), std::optional<bool>(true));
    const QTextBlock first = box.document()->findBlockByNumber(0);
    QVERIFY(first.textList());
    QCOMPARE(box.document()->findBlockByNumber(2).textList(), first.textList());

    box.setSelBullet(false);
    box.setSelHangingIndent(0);
    QCOMPARE(box.SelBullet(), std::optional<bool>(false));
    QCOMPARE(box.document()->findBlockByNumber(0).blockFormat().indent(), 0);
    QCOMPARE(box.document()->findBlockByNumber(2).blockFormat().indent(), 2);
    QCOMPARE(box.document()->findBlockByNumber(0).blockFormat().textIndent(), 0.0);
    QCOMPARE(box.Text(), QStringLiteral("one\ntwo\nthree"));
}

void TestRichTextBox::fontSizeAcceptsNumericTextWithLeadingBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("size");
    QTest::newRow("box entry") << " 12" << true << 12.0;
    QTest::newRow("fraction") << "10.5" << true << 10.5;
    QTest::newRow("words") << "big" << false << 11.0;
    QTest::newRow("zero") << " 0" << false << 11.0;
    QTest::newRow("empty") << "" << false << 11.0;
}

void TestRichTextBox::fontSizeAcceptsNumericTextWithLeadingBlanks()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, size);
    RichTextBox box;
    box.setText(QStringLiteral("words"));
    box.selectAll();
    box.setSelFontSize(11.0);
    QCOMPARE(box.setSelFontSize(text), accepted);
    QCOMPARE(box.SelFontSize(), std::optional<double>(size));
}

void TestRichTextBox::colourReadsAutomaticRedOrMixed()
{
    RichTextBox box;
    box.setText(QStringLiteral("red black"));
    select(box, 0, 3);
    QCOMPARE(box.SelColor(), std::optional<QColor>(QColor()));
    box.setSelColor(QColor(255, 0, 0));
    QCOMPARE(box.SelColor(), std::optional<QColor>(QColor(255, 0, 0)));
    select(box, 0, 9);
    QCOMPARE(box.SelColor(), std::nullopt);
    box.setSelColor(QColor());
    QCOMPARE(box.SelColor(), std::optional<QColor>(QColor()));
}

void TestRichTextBox::selTextUsesLineBreaksAndWritesReplaceTheSelection()
{
    RichTextBox box;
    box.setText(QStringLiteral("first\nsecond"));
    select(box, 3, 5);
    QCOMPARE(box.SelText(), QStringLiteral("st\nse"));
    box.setSelText(QStringLiteral("X"));
    QCOMPARE(box.Text(), QStringLiteral("firXcond"));
    QCOMPARE(box.SelStart(), 4);
    QCOMPARE(box.SelLength(), 0);
}

void TestRichTextBox::findHonoursWholeWordAndMatchCase_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");
    QTest::newRow("inside a word") << "concatenate cat"
                                   << "cat" << 0 << 0 << 3;
    QTest::newRow("whole word skips concatenate") << "concatenate cat"
                                                  << "cat" << 0 << 2 << 12;
    QTest::newRow("whole word only inside") << "concatenate"
                                            << "cat" << 0 << 2 << -1;
    QTest::newRow("case ignored") << "Cat"
                                  << "cat" << 0 << 0 << 0;
    QTest::newRow("match case") << "Cat"
                                << "cat" << 0 << 4 << -1;
    QTest::newRow("both options") << "Cat cats cat"
                                  << "cat" << 0 << 6 << 9;
    QTest::newRow("from a start") << "cat cat"
                                  << "cat" << 1 << 0 << 4;
    QTest::newRow("empty text") << "cat"
                                << "" << 0 << 0 << -1;
    QTest::newRow("start past the end") << "cat"
                                        << "cat" << 50 << 0 << -1;
    QTest::newRow("second paragraph") << "dog\ncat"
                                      << "cat" << 0 << 0 << 4;
}

void TestRichTextBox::findHonoursWholeWordAndMatchCase()
{
    QFETCH(QString, note);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, options);
    QFETCH(int, found);
    RichTextBox box;
    box.setText(note);
    QCOMPARE(box.Find(what, start, options), found);
    if (found >= 0) {
        QCOMPARE(box.SelStart(), found);
        QCOMPARE(box.SelLength(), what.size());
    }
}

void TestRichTextBox::upToAndSpanMarkTheRunBetweenDelimiters()
{
    RichTextBox box;
    box.setText(QStringLiteral("mail john@example.com\nnow"));
    box.setSelStart(12);
    box.UpTo(QStringLiteral(" \r\n"), false, false);
    QCOMPARE(box.SelStart(), 5);
    QCOMPARE(box.SelLength(), 0);
    box.Span(QStringLiteral(" \r\n"), true, true);
    QCOMPARE(box.SelText(), QStringLiteral("john@example.com"));

    box.setSelStart(0);
    box.UpTo(QStringLiteral("abcdefghijklmnopqrstuvwxyz"), true, true); // to the first non-letter
    QCOMPARE(box.SelStart(), 4);
    box.Span(QStringLiteral(" "), true, false);
    QCOMPARE(box.SelLength(), 1);
}

void TestRichTextBox::loadReportsOneChangeAndKeepsContentOnFailure()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.setText(QStringLiteral("kept"));
    QSignalSpy changes(&box, &RichTextBox::Change);
    QString error;
    QVERIFY(!box.LoadFile(dir.filePath(QStringLiteral("missing.rtf")), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(box.Text(), QStringLiteral("kept"));
    QCOMPARE(changes.count(), 0);

    const QString path = dir.filePath(QStringLiteral("note.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("line one\nline two\n");
    f.close();
    QVERIFY(box.LoadFile(path, &error));
    QCOMPARE(box.Text(), QStringLiteral("line one\nline two\n"));
    QCOMPARE(changes.count(), 1);
    QVERIFY(!box.document()->isUndoAvailable()); // a load is not undone into the old note
}

void TestRichTextBox::loadTakesOtherFilesAsPlainText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<b>caf\xc3\xa9</b>");
    f.close();
    RichTextBox box;
    QVERIFY(box.LoadFile(path));
    QCOMPARE(box.Text(), QString::fromUtf8("<b>caf\xc3\xa9</b>")); // markup stays text
}

void TestRichTextBox::saveIsAtomicAndReportsFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.rtf"));
    RichTextBox box;
    box.setText(QStringLiteral("first version"));
    QString error;
    QVERIFY(box.SaveFile(path, &error));
    RichTextBox reread;
    QVERIFY(reread.LoadFile(path));
    QCOMPARE(reread.Text(), QStringLiteral("first version"));

    QVERIFY(!box.SaveFile(dir.filePath(QStringLiteral("no/such/dir/notes.rtf")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 1); // no stray temporary file
}

void TestRichTextBox::mouseAndFocusEventsReachTheSignals()
{
    RichTextBox box;
    box.setText(QStringLiteral("hello world"));
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy ups(&box, &RichTextBox::MouseUp);
    QSignalSpy doubles(&box, &RichTextBox::DblClick);
    QSignalSpy selections(&box, &RichTextBox::SelChange);

    const QPoint inText = box.cursorRect(box.textCursor()).center() + QPoint(3, 0);
    QTest::mouseClick(box.viewport(), Qt::RightButton, {}, inText);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(ups.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, inText);
    QCOMPARE(doubles.count(), 1);

    selections.clear();
    box.setSelStart(4);
    QCOMPARE(selections.count(), 1); // one move, one notification
}

void TestRichTextBox::clipboardDataCarriesPlainTextAndRtfEvenWhenEmpty()
{
    RichTextBox box;
    box.setText(QStringLiteral("copy me"));
    select(box, 0, 4);
    box.setSelBold(true);
    std::unique_ptr<QMimeData> data(box.selectionMimeData());
    QCOMPARE(data->text(), QStringLiteral("copy"));
    QVERIFY(data->hasFormat(RichTextBox::RtfMimeType));
    QCOMPARE(data->data(RichTextBox::RtfMimeType), box.SelRTF());
    // HTML too, for web mail and browser editors, with its formatting.
    QTextDocument pasted;
    pasted.setHtml(data->html());
    QCOMPARE(pasted.toPlainText(), QStringLiteral("copy"));
    QCOMPARE(pasted.begin().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));

    box.setSelStart(2);
    data.reset(box.selectionMimeData());
    QVERIFY(data->hasText());
    QVERIFY(data->text().isEmpty());
    QVERIFY(data->hasFormat(RichTextBox::RtfMimeType));
}

void TestRichTextBox::cutThenPasteRestoresFormatting()
{
    RichTextBox box;
    fillMixedLine(box);
    select(box, 6, 4);
    std::unique_ptr<QMimeData> data(box.selectionMimeData());
    box.setSelText(QString());
    QCOMPARE(box.Text(), QStringLiteral("plain  italic"));
    QVERIFY(box.insertMimeData(data.get()));
    QCOMPARE(box.Text(), QStringLiteral("plain BOLD italic"));
    select(box, 6, 4);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Serif")));
}

void TestRichTextBox::pastedPlainTextTakesTheTypingFormat()
{
    RichTextBox box;
    box.setText(QStringLiteral("x"));
    box.setSelStart(1);
    box.setSelItalic(true);
    QMimeData data;
    data.setText(QStringLiteral("typed"));
    QVERIFY(box.insertMimeData(&data));
    select(box, 1, 5);
    QCOMPARE(box.SelText(), QStringLiteral("typed"));
    QCOMPARE(box.SelItalic(), std::optional<bool>(true));

    QMimeData empty;
    QVERIFY(!box.insertMimeData(&empty));
    QCOMPARE(box.Text(), QStringLiteral("xtyped"));
}

void TestRichTextBox::wrappedTextNeedsNoHorizontalScrollBar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("loadedWhileHidden");
    QString words;
    for (int i = 0; i < 400; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    QTest::newRow("long paragraph") << words << false;
    QTest::newRow("unbroken address")
        << QStringLiteral("https://example.com/") + QString(600, u'x') + QStringLiteral(" after") << false;
    QTest::newRow("large note") << QString(words + u'\n').repeated(500) << false;
    QTest::newRow("large note loaded while hidden") << QString(words + u'\n').repeated(500) << true;
}

void TestRichTextBox::wrappedTextNeedsNoHorizontalScrollBar()
{
    QFETCH(QString, text);
    QFETCH(bool, loadedWhileHidden);
    RichTextBox box;
    box.resize(480, 300);
    if (loadedWhileHidden)
        box.setText(text);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    if (!loadedWhileHidden)
        box.setText(text);
    // The layout of a large note runs on after the text is set: look until it is done.
    QTRY_VERIFY(box.document()->documentLayout()->documentSize().height() > 0);
    QCoreApplication::processEvents();
    QVERIFY(box.lineWrapMode() == QTextEdit::WidgetWidth);
    QVERIFY(!box.horizontalScrollBar()->isVisible());
    QVERIFY(box.document()->documentLayout()->documentSize().width() <= box.viewport()->width());
}

// What a browser's HTML brings (headings, sizes in pixels, tables) looks the same once the note
// is saved and read again as it did when pasted.
void TestRichTextBox::pastedHtmlLooksTheSameAfterASaveAndReload_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("word");
    QTest::addColumn<qreal>("points"); // in a note whose base size is 10 points

    QTest::newRow("heading") << u"<h1>Heading</h1><p>body text</p>"_qs << u"Heading"_qs << 20.0;
    QTest::newRow("small heading") << u"<h3>Minor</h3>"_qs << u"Minor"_qs << 12.0;
    QTest::newRow("pixel size") << u"<p>some <span style=\"font-size:20px\">Twenty</span> px</p>"_qs
                                << u"Twenty"_qs << 15.0;
    QTest::newRow("table without widths")
        << u"<table border=\"1\"><tr><th>Name</th><th>Value</th></tr><tr><td>Alpha</td><td>1</td></tr></table>"_qs
        << u"Alpha"_qs << 10.0;
    QTest::newRow("table across the page")
        << u"<table width=\"100%\"><tr><td width=\"30%\">Beta</td><td>2</td></tr></table>"_qs << u"Beta"_qs
        << 10.0;
}

void TestRichTextBox::pastedHtmlLooksTheSameAfterASaveAndReload()
{
    QFETCH(QString, html);
    QFETCH(QString, word);
    QFETCH(qreal, points);
    const auto showNote = [](RichTextBox &box) {
        box.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        box.resize(480, 300);
        box.show();
        return QTest::qWaitForWindowExposed(&box);
    };
    RichTextBox pasted;
    QVERIFY(showNote(pasted));
    const qreal pixels = qRound(points * pasted.viewport()->logicalDpiY() / 72); // as fonts are drawn
    pasted.setText(QStringLiteral("note "));
    pasted.setSelStart(5);
    QMimeData data;
    data.setHtml(html);
    QVERIFY(pasted.insertMimeData(&data));
    QCOMPARE(shownPixelSize(pasted, word), pixels);

    RichTextBox reloaded;
    QVERIFY(showNote(reloaded));
    reloaded.setTextRTF(pasted.TextRTF());
    QCOMPARE(reloaded.Text(), pasted.Text());
    QCOMPARE(shownPixelSize(reloaded, word), pixels);
    if (const QTextTable *table = QTextCursor(pasted.document()->find(word)).currentTable()) {
        // Columns sized by their content or by a share of the note stay so.
        const QTextTable *read = QTextCursor(reloaded.document()->find(word)).currentTable();
        QVERIFY(read);
        QCOMPARE(read->format().columnWidthConstraints(), table->format().columnWidthConstraints());
        QCOMPARE(read->format().width(), table->format().width());
    }
    QTRY_VERIFY(reloaded.document()->documentLayout()->documentSize().height() > 0);
    QCoreApplication::processEvents();
    QVERIFY(reloaded.document()->documentLayout()->documentSize().width() <= reloaded.viewport()->width());
    QVERIFY(!reloaded.horizontalScrollBar()->isVisible());
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
