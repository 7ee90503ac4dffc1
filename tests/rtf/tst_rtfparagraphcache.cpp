// Writing a document again through a paragraph cache gives the bytes of a fresh write, whatever
// was changed in between, and encodes only the paragraphs that changed.
#include "RtfParagraphCache.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

namespace {

QTextCursor selectParagraphs(QTextDocument &doc, int first, int last, int fromOffset = 0, int toOffset = -1)
{
    QTextCursor c(&doc);
    c.setPosition(doc.findBlockByNumber(first).position() + fromOffset);
    const QTextBlock end = doc.findBlockByNumber(last);
    c.setPosition(toOffset < 0 ? end.position() + end.length() - 1 : end.position() + toOffset,
                  QTextCursor::KeepAnchor);
    return c;
}

void merge(QTextDocument &doc, int first, int last, const QTextCharFormat &format, int fromOffset = 0,
           int toOffset = -1)
{
    selectParagraphs(doc, first, last, fromOffset, toOffset).mergeCharFormat(format);
}

QTextCharFormat family(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies({name});
    return f;
}

QImage picture(Qt::GlobalColor color)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Thirteen paragraphs with bold, fonts and a colour used in more than one place, a link, accents,
// a picture and two lists.
void fill(QTextDocument &doc)
{
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    for (int i = 0; i < 12; ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(QStringLiteral("Paragraph %1 with caf\u00e9, 20 \u20ac and {braces}\\.").arg(i));
    }
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    merge(doc, 1, 1, bold, 0, 9);
    merge(doc, 2, 3, bold, 12, 5); // bold runs on into the next paragraph
    merge(doc, 4, 4, family(QStringLiteral("Georgia")));
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    merge(doc, 6, 6, red, 3, 8);
    merge(doc, 8, 8, family(QStringLiteral("Georgia")), 2, 7);
    merge(doc, 8, 8, red, 10, 14);
    merge(doc, 9, 9, family(QStringLiteral("Courier New")), 0, 4);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/"));
    merge(doc, 7, 7, link, 5, 12);
    QTextCursor list(doc.findBlockByNumber(10));
    list.createList(QTextListFormat::ListDecimal);
    // A list of its own after a plain paragraph, one level down.
    c.insertBlock();
    c.insertText(QStringLiteral("Another list"));
    QTextListFormat nested;
    nested.setStyle(QTextListFormat::ListDecimal);
    nested.setIndent(2);
    c.createList(nested);
    c = QTextCursor(doc.findBlockByNumber(0));
    c.movePosition(QTextCursor::EndOfBlock);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture-0")), picture(Qt::red));
    c.insertImage(QStringLiteral("picture-0"));
}

struct Edit
{
    const char *name;
    void (*apply)(QTextDocument &);
};

const Edit kEdits[] = {
    {"typing in a paragraph",
     [](QTextDocument &doc) {
         QTextCursor c(doc.findBlockByNumber(5));
         c.movePosition(QTextCursor::EndOfBlock);
         c.insertText(QStringLiteral(" more words"));
     }},
    {"new paragraph",
     [](QTextDocument &doc) {
         QTextCursor c(doc.findBlockByNumber(3));
         c.movePosition(QTextCursor::NextWord);
         c.insertBlock();
     }},
    {"bold on a range over paragraphs",
     [](QTextDocument &doc) {
         QTextCharFormat bold;
         bold.setFontWeight(QFont::Bold);
         merge(doc, 5, 7, bold, 4, 6);
     }},
    {"bold taken off",
     [](QTextDocument &doc) {
         QTextCharFormat plain;
         plain.setFontWeight(QFont::Normal);
         merge(doc, 1, 3, plain);
     }},
    {"new colour early on",
     [](QTextDocument &doc) {
         QTextCharFormat blue;
         blue.setForeground(QColor(0, 0, 255));
         merge(doc, 0, 0, blue, 0, 4);
     }},
    {"highlight",
     [](QTextDocument &doc) {
         QTextCharFormat yellow;
         yellow.setBackground(QColor(255, 255, 0));
         merge(doc, 6, 8, yellow, 2, 2);
     }},
    {"new font early on",
     [](QTextDocument &doc) { merge(doc, 1, 1, family(QStringLiteral("Verdana")), 2, 6); }},
    {"font replaced by another",
     [](QTextDocument &doc) { merge(doc, 4, 4, family(QStringLiteral("Verdana"))); }},
    {"colour replaced by another",
     [](QTextDocument &doc) {
         QTextCharFormat blue;
         blue.setForeground(QColor(0, 0, 255));
         merge(doc, 6, 6, blue);
     }},
    {"a font no longer used",
     [](QTextDocument &doc) { merge(doc, 4, 4, family(doc.defaultFont().family())); }},
    {"font size",
     [](QTextDocument &doc) {
         QTextCharFormat big;
         big.setFontPointSize(20);
         merge(doc, 8, 8, big);
     }},
    {"bulleted list",
     [](QTextDocument &doc) { selectParagraphs(doc, 2, 4).createList(QTextListFormat::ListDisc); }},
    {"list item removed",
     [](QTextDocument &doc) {
         QTextCursor c(doc.findBlockByNumber(10));
         c.select(QTextCursor::BlockUnderCursor);
         c.removeSelectedText();
     }},
    {"alignment",
     [](QTextDocument &doc) {
         QTextBlockFormat centre;
         centre.setAlignment(Qt::AlignHCenter);
         selectParagraphs(doc, 3, 5).mergeBlockFormat(centre);
     }},
    {"indent",
     [](QTextDocument &doc) {
         QTextBlockFormat indent;
         indent.setIndent(2);
         indent.setTopMargin(6);
         QTextCursor(doc.findBlockByNumber(6)).mergeBlockFormat(indent);
     }},
    {"picture",
     [](QTextDocument &doc) {
         doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture-1")),
                         picture(Qt::darkGreen));
         QTextCursor c(doc.findBlockByNumber(2));
         c.movePosition(QTextCursor::EndOfBlock);
         c.insertImage(QStringLiteral("picture-1"));
     }},
    {"table",
     [](QTextDocument &doc) {
         QTextCursor c(doc.findBlockByNumber(5));
         c.movePosition(QTextCursor::EndOfBlock);
         QTextTable *table = c.insertTable(2, 2);
         table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("cell \u00e9"));
         QTextCharFormat green;
         green.setForeground(QColor(0, 128, 0));
         table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("green"), green);
     }},
    {"delete across paragraphs",
     [](QTextDocument &doc) { selectParagraphs(doc, 3, 6, 5, 7).removeSelectedText(); }},
    {"link",
     [](QTextDocument &doc) {
         QTextCharFormat link;
         link.setAnchor(true);
         link.setAnchorHref(QStringLiteral("#mark"));
         merge(doc, 0, 0, link, 2, 6);
     }},
    {"all text replaced",
     [](QTextDocument &doc) {
         QTextCursor c(&doc);
         c.select(QTextCursor::Document);
         c.insertText(QStringLiteral("Paragraph 1 with caf\u00e9, 20 \u20ac and {braces}\\."));
     }},
};

QByteArray cachedWrite(const QTextDocument &doc, rtf::ParagraphCache &cache)
{
    return rtf::write(&doc, cache);
}

} // namespace

class TestRtfParagraphCache : public QObject
{
    Q_OBJECT

private slots:
    void editMatchesFreshWrite_data()
    {
        QTest::addColumn<int>("edit");
        for (int i = 0; i < int(std::size(kEdits)); ++i)
            QTest::newRow(kEdits[i].name) << i;
    }

    // Each edit, then its undo and redo, on a document the cache has seen whole.
    void editMatchesFreshWrite()
    {
        QFETCH(int, edit);
        QTextDocument doc;
        fill(doc);
        rtf::ParagraphCache cache;
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        const QByteArray before = rtf::write(&doc);
        QTextCursor step(&doc); // one undo step for the whole edit
        step.beginEditBlock();
        kEdits[edit].apply(doc);
        step.endEditBlock();
        QVERIFY(rtf::write(&doc) != before);
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        doc.undo();
        QCOMPARE(cachedWrite(doc, cache), before);
        doc.redo();
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
    }

    // One document edited in every way in turn, then undone and redone step by step, as a note
    // is between its recovery copies.
    void editsInTurnMatchFreshWrite()
    {
        QTextDocument doc;
        fill(doc);
        rtf::ParagraphCache cache;
        cachedWrite(doc, cache);
        for (const Edit &edit : kEdits) {
            edit.apply(doc);
            QVERIFY2(cachedWrite(doc, cache) == rtf::write(&doc), edit.name);
        }
        int steps = 0;
        while (doc.isUndoAvailable()) {
            doc.undo();
            ++steps;
            QVERIFY2(cachedWrite(doc, cache) == rtf::write(&doc), qPrintable(QString::number(steps)));
        }
        while (doc.isRedoAvailable()) {
            doc.redo();
            QVERIFY(cachedWrite(doc, cache) == rtf::write(&doc));
        }
    }

    // Changes that are no edit of a paragraph yet reach into it.
    void documentChangeMatchesFreshWrite_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("default font") << 0;
        QTest::newRow("default size") << 1;
        QTest::newRow("indent width") << 2;
        QTest::newRow("picture replaced under its name") << 3;
        QTest::newRow("emptied and filled anew") << 4;
    }

    void documentChangeMatchesFreshWrite()
    {
        QFETCH(int, change);
        QTextDocument doc;
        fill(doc);
        QTextBlockFormat indent;
        indent.setIndent(1);
        QTextCursor(doc.findBlockByNumber(3)).mergeBlockFormat(indent);
        // A paragraph ending in the default size named outright, before one whose second run
        // names no size.
        QTextCharFormat defaultSize;
        defaultSize.setFontPointSize(doc.defaultFont().pointSizeF());
        merge(doc, 1, 1, defaultSize);
        QTextCharFormat large;
        large.setFontPointSize(17);
        merge(doc, 2, 2, large, 0, 5);
        rtf::ParagraphCache cache;
        cachedWrite(doc, cache);
        const QByteArray before = rtf::write(&doc);
        switch (change) {
        case 0:
            doc.setDefaultFont(QFont(QStringLiteral("Georgia"), int(doc.defaultFont().pointSizeF())));
            break;
        case 1:
            doc.setDefaultFont(QFont(doc.defaultFont().family(), 17));
            break;
        case 2:
            doc.setIndentWidth(doc.indentWidth() + 17);
            break;
        case 3:
            doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture-0")),
                            picture(Qt::blue));
            break;
        case 4: {
            // The same words in another format, which takes the number the first one had.
            doc.clear();
            QTextCursor c(&doc);
            QTextCharFormat italic;
            italic.setFontItalic(true);
            c.insertText(QStringLiteral("same words"), italic);
            const QByteArray italicOnly = rtf::write(&doc);
            cachedWrite(doc, cache);
            doc.clear();
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            QTextCursor(&doc).insertText(QStringLiteral("same words"), bold);
            QVERIFY(rtf::write(&doc) != italicOnly);
            break;
        }
        }
        QVERIFY(rtf::write(&doc) != before);
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
    }

    // Notes from other programs, with their tables, fields, pictures and lists, edited in the
    // middle.
    void corpusNoteMatchesFreshWrite_data()
    {
        QTest::addColumn<QString>("path");
        const QString corpus = QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus");
        QDirIterator it(corpus, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(QDir(corpus).relativeFilePath(path))) << path;
        }
    }

    void corpusNoteMatchesFreshWrite()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument doc;
        rtf::readInto(&doc, file.readAll());
        rtf::ParagraphCache cache;
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        QTextCursor c(&doc);
        c.setPosition(doc.characterCount() / 2);
        c.insertText(QStringLiteral("typed \u00e9"));
        c.setPosition(std::max(0, c.position() - 20), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        doc.undo();
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
    }

    void onlyChangedParagraphsAreEncoded()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        for (int i = 0; i < 300; ++i)
            c.insertText(QStringLiteral("Line %1 of a long note.\n").arg(i));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        merge(doc, 10, 10, bold, 0, 4);
        rtf::ParagraphCache cache;
        cachedWrite(doc, cache);
        QCOMPARE(cache.encodedLastTime(), doc.blockCount());

        cachedWrite(doc, cache);
        QCOMPARE(cache.encodedLastTime(), 0);

        QTextCursor typing(doc.findBlockByNumber(150));
        typing.insertText(QStringLiteral("typed "));
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        QCOMPARE(cache.encodedLastTime(), 1);

        merge(doc, 20, 22, bold, 3, 3);
        QCOMPARE(cachedWrite(doc, cache), rtf::write(&doc));
        QCOMPARE(cache.encodedLastTime(), 3);
    }
};

QTEST_GUILESS_MAIN(TestRtfParagraphCache)
#include "tst_rtfparagraphcache.moc"
