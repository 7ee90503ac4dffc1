// Writing a document again through a paragraph cache gives the bytes of a fresh write, whatever
// was changed in between, and encodes only the paragraphs that changed. Every case runs on a bare
// document, whose cache finds paragraphs by what they hold, and on a note's editor, whose layout
// tells the cache what changed so that untouched paragraphs are not even read.
#include "RichTextBox.h"
#include "RtfParagraphCache.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPlainTextDocumentLayout>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
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

// A document written again and again through a cache: a bare one, or the one in an editor.
class Note
{
public:
    explicit Note(bool tracked)
    {
        if (tracked)
            m_box = std::make_unique<RichTextBox>();
    }

    QTextDocument &doc() { return m_box ? *m_box->document() : m_doc; }
    RichTextBox *box() { return m_box.get(); }
    QByteArray cachedWrite() { return m_box ? m_box->TextRTF() : rtf::write(&m_doc, m_cache); }
    int encodedLastTime() const
    {
        return m_box ? m_box->paragraphsEncodedLastTime() : m_cache.encodedLastTime();
    }
    int readLastTime() const { return m_box ? m_box->paragraphsReadLastTime() : m_cache.readLastTime(); }

private:
    QTextDocument m_doc;
    rtf::ParagraphCache m_cache;
    std::unique_ptr<RichTextBox> m_box;
};

// Rows for a bare document and for an editor's.
void addRowsForBoth(const char *name, const std::function<void(QTestData &)> &values = {})
{
    for (const bool tracked : {false, true}) {
        QTestData &row = QTest::addRow("%s %s", tracked ? "tracked:" : "keyed:", name) << tracked;
        if (values)
            values(row);
    }
}

QTextCursor at(QTextDocument &doc, int paragraph, int offset = 0)
{
    QTextCursor c(&doc);
    c.setPosition(doc.findBlockByNumber(paragraph).position() + offset);
    return c;
}

// A note of `count` numbered paragraphs with a bold word in every seventh and a table after the
// sixth.
void fillLines(QTextDocument &doc, int count)
{
    QTextCursor c(&doc);
    for (int i = 0; i < count; ++i)
        c.insertText(QStringLiteral("Line %1 of a long note.%2").arg(i).arg(i + 1 < count ? "\n" : ""));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 3; i < count; i += 7)
        merge(doc, i, i, bold, 0, 4);
    c = QTextCursor(doc.findBlockByNumber(5));
    c.movePosition(QTextCursor::EndOfBlock);
    QTextTable *table = c.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("cell"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("other\ncell"));
}

// Moves the text of paragraph `from` to before paragraph `to` (as they are numbered before).
void moveParagraph(QTextDocument &doc, int from, int to)
{
    QTextCursor c = at(doc, from);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    const QTextDocumentFragment moved = c.selection();
    at(doc, to).insertFragment(moved);
    c.removeSelectedText();
}

// Edits that add, join, split and remove paragraphs or only restyle them, at the start, in the
// middle and at the end of a note, including whole-content changes and edits nobody hears of.
const Edit kStructuralEdits[] = {
    {"paragraph added at the start", [](QTextDocument &doc) { at(doc, 0).insertBlock(); }},
    {"paragraph added in the middle", [](QTextDocument &doc) { at(doc, 20, 5).insertText("new\nlines\n"); }},
    {"paragraph added at the end",
     [](QTextDocument &doc) {
         QTextCursor c(&doc);
         c.movePosition(QTextCursor::End);
         c.insertText(QStringLiteral("\nlast words"));
     }},
    {"first paragraph joined to the second",
     [](QTextDocument &doc) {
         QTextCursor c = at(doc, 1);
         c.deletePreviousChar();
     }},
    {"paragraphs joined in the middle",
     [](QTextDocument &doc) { selectParagraphs(doc, 17, 19, 8, 3).removeSelectedText(); }},
    {"last paragraph joined to the one before",
     [](QTextDocument &doc) { at(doc, doc.blockCount() - 1).deletePreviousChar(); }},
    {"paragraphs deleted at the start",
     [](QTextDocument &doc) { selectParagraphs(doc, 0, 4, 0, 0).removeSelectedText(); }},
    {"paragraphs deleted in the middle",
     [](QTextDocument &doc) {
         QTextCursor c = selectParagraphs(doc, 10, 25);
         c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
         c.removeSelectedText();
     }},
    {"paragraphs deleted at the end",
     [](QTextDocument &doc) {
         QTextCursor c = at(doc, doc.blockCount() - 6);
         c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
         c.removeSelectedText();
     }},
    {"paragraph moved down", [](QTextDocument &doc) { moveParagraph(doc, 12, 40); }},
    {"paragraph moved up", [](QTextDocument &doc) { moveParagraph(doc, 40, 12); }},
    {"a word restyled",
     [](QTextDocument &doc) {
         QTextCharFormat italic;
         italic.setFontItalic(true);
         merge(doc, 30, 30, italic, 5, 7);
     }},
    {"a paragraph's end restyled with its mark",
     [](QTextDocument &doc) {
         QTextCursor c = at(doc, 12, 16);
         c.setPosition(doc.findBlockByNumber(13).position(), QTextCursor::KeepAnchor);
         QTextCharFormat big;
         big.setFontPointSize(30);
         c.mergeCharFormat(big);
     }},
    {"paragraph format of the last paragraph",
     [](QTextDocument &doc) {
         QTextBlockFormat right;
         right.setAlignment(Qt::AlignRight);
         at(doc, doc.blockCount() - 1).mergeBlockFormat(right);
     }},
    {"bold over everything",
     [](QTextDocument &doc) {
         QTextCursor c(&doc);
         c.select(QTextCursor::Document);
         QTextCharFormat bold;
         bold.setFontWeight(QFont::Bold);
         c.mergeCharFormat(bold);
     }},
    {"everything replaced by one paragraph",
     [](QTextDocument &doc) {
         QTextCursor c(&doc);
         c.select(QTextCursor::Document);
         c.insertText(QStringLiteral("Line 3 of a long note."));
     }},
    {"everything pasted over the middle",
     [](QTextDocument &doc) {
         const QTextDocumentFragment all(&doc);
         at(doc, 25, 3).insertFragment(all);
     }},
    {"typing with the document's signals blocked",
     [](QTextDocument &doc) {
         const QSignalBlocker quiet(&doc);
         at(doc, 33, 2).insertText(QStringLiteral("quiet\nwords"));
         QTextCharFormat italic;
         italic.setFontItalic(true);
         merge(doc, 40, 40, italic, 0, 3);
     }},
    {"retyped and restyled with the document's signals blocked",
     [](QTextDocument &doc) {
         // As many paragraphs as before: only being told of it tells the change.
         const QSignalBlocker quiet(&doc);
         QTextCursor c = at(doc, 33, 2);
         c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 4);
         c.insertText(QStringLiteral("QUIE"));
         QTextCharFormat italic;
         italic.setFontItalic(true);
         merge(doc, 40, 40, italic, 0, 3);
     }},
    {"plain text set",
     [](QTextDocument &doc) { doc.setPlainText(QStringLiteral("Line 0 of a long note.\nnew")); }},
    {"emptied", [](QTextDocument &doc) { doc.clear(); }},
};

} // namespace

class TestRtfParagraphCache : public QObject
{
    Q_OBJECT

private slots:
    void editMatchesFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        QTest::addColumn<int>("edit");
        for (int i = 0; i < int(std::size(kEdits)); ++i)
            addRowsForBoth(kEdits[i].name, [i](QTestData &row) { row << i; });
    }

    // Each edit, then its undo and redo, on a document the cache has seen whole.
    void editMatchesFreshWrite()
    {
        QFETCH(bool, tracked);
        QFETCH(int, edit);
        Note note(tracked);
        QTextDocument &doc = note.doc();
        fill(doc);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        const QByteArray before = rtf::write(&doc);
        QTextCursor step(&doc); // one undo step for the whole edit
        step.beginEditBlock();
        kEdits[edit].apply(doc);
        step.endEditBlock();
        QVERIFY(rtf::write(&doc) != before);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        doc.undo();
        QCOMPARE(note.cachedWrite(), before);
        doc.redo();
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
    }

    void editsInTurnMatchFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        addRowsForBoth("every edit");
    }

    // One document edited in every way in turn, then undone and redone step by step, as a note
    // is between its recovery copies.
    void editsInTurnMatchFreshWrite()
    {
        QFETCH(bool, tracked);
        Note note(tracked);
        QTextDocument &doc = note.doc();
        fill(doc);
        note.cachedWrite();
        for (const Edit &edit : kEdits) {
            edit.apply(doc);
            QVERIFY2(note.cachedWrite() == rtf::write(&doc), edit.name);
        }
        int steps = 0;
        while (doc.isUndoAvailable()) {
            doc.undo();
            ++steps;
            QVERIFY2(note.cachedWrite() == rtf::write(&doc), qPrintable(QString::number(steps)));
        }
        while (doc.isRedoAvailable()) {
            doc.redo();
            QVERIFY(note.cachedWrite() == rtf::write(&doc));
        }
    }

    void structuralEditMatchesFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        QTest::addColumn<int>("edit");
        for (int i = 0; i < int(std::size(kStructuralEdits)); ++i)
            addRowsForBoth(kStructuralEdits[i].name, [i](QTestData &row) { row << i; });
    }

    // Each edit written alone, then undone and redone step by step, then the same edit again
    // with typing around it and a copy taken in the middle of it.
    void structuralEditMatchesFreshWrite()
    {
        QFETCH(bool, tracked);
        QFETCH(int, edit);
        Note note(tracked);
        QTextDocument &doc = note.doc();
        fillLines(doc, 60);
        doc.clearUndoRedoStacks();
        const QByteArray before = note.cachedWrite();
        QCOMPARE(before, rtf::write(&doc));
        kStructuralEdits[edit].apply(doc);
        QVERIFY(rtf::write(&doc) != before);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        if (doc.isUndoAvailable()) {
            while (doc.isUndoAvailable())
                doc.undo();
            QCOMPARE(note.cachedWrite(), before);
            while (doc.isRedoAvailable()) {
                doc.redo();
                QCOMPARE(note.cachedWrite(), rtf::write(&doc));
            }
            while (doc.isUndoAvailable())
                doc.undo();
            QCOMPARE(note.cachedWrite(), before);
        } else {
            doc.clear();
            fillLines(doc, 60);
            QCOMPARE(note.cachedWrite(), before);
        }

        QTextCursor step(&doc);
        step.beginEditBlock();
        at(doc, doc.blockCount() / 2, 2).insertText(QStringLiteral("typed first"));
        QCOMPARE(note.cachedWrite(), rtf::write(&doc)); // written before the edit is over
        kStructuralEdits[edit].apply(doc);
        at(doc, doc.blockCount() - 1).insertText(QStringLiteral("typed after\n"));
        step.endEditBlock();
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        at(doc, 0).insertText(QStringLiteral("and more"));
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
    }

    void randomEditsMatchFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        addRowsForBoth("typing, formats, paragraphs, undo and redo");
    }

    // Edits of every size anywhere in a note, written after one to four of them at a time.
    void randomEditsMatchFreshWrite()
    {
        QFETCH(bool, tracked);
        Note note(tracked);
        QTextDocument &doc = note.doc();
        fillLines(doc, 80);
        QRandomGenerator random(14);
        const auto position = [&] { return int(random.bounded(doc.characterCount())); };
        for (int step = 0; step < 400; ++step) {
            QTextCursor c(&doc);
            c.setPosition(position());
            switch (random.bounded(8)) {
            case 0:
                c.insertText(QStringLiteral("typed "));
                break;
            case 1:
                c.insertBlock();
                break;
            case 2:
                c.insertText(QStringLiteral("one\ntwo\nthree"));
                break;
            case 3:
                c.setPosition(std::min(c.position() + int(random.bounded(300)), doc.characterCount() - 1),
                              QTextCursor::KeepAnchor);
                c.removeSelectedText();
                break;
            case 4: {
                c.setPosition(std::min(c.position() + int(random.bounded(200)), doc.characterCount() - 1),
                              QTextCursor::KeepAnchor);
                QTextCharFormat format;
                format.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
                if (random.bounded(3) == 0)
                    format.setForeground(QColor::fromRgb(random.bounded(4) * 60, 0, 0));
                c.mergeCharFormat(format);
                break;
            }
            case 5: {
                QTextBlockFormat format;
                format.setAlignment(random.bounded(2) ? Qt::AlignHCenter : Qt::AlignLeft);
                c.mergeBlockFormat(format);
                break;
            }
            case 6:
                doc.undo();
                break;
            default:
                doc.redo();
                break;
            }
            if (random.bounded(3) == 0)
                QVERIFY2(note.cachedWrite() == rtf::write(&doc), qPrintable(QString::number(step)));
        }
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
    }

    // Changes that are no edit of a paragraph yet reach into it.
    void documentChangeMatchesFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        QTest::addColumn<int>("change");
        addRowsForBoth("default font", [](QTestData &row) { row << 0; });
        addRowsForBoth("default size", [](QTestData &row) { row << 1; });
        addRowsForBoth("indent width", [](QTestData &row) { row << 2; });
        addRowsForBoth("picture replaced under its name", [](QTestData &row) { row << 3; });
        addRowsForBoth("emptied and filled anew", [](QTestData &row) { row << 4; });
    }

    void documentChangeMatchesFreshWrite()
    {
        QFETCH(bool, tracked);
        QFETCH(int, change);
        Note note(tracked);
        QTextDocument &doc = note.doc();
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
        note.cachedWrite();
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
            note.cachedWrite();
            doc.clear();
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            QTextCursor(&doc).insertText(QStringLiteral("same words"), bold);
            QVERIFY(rtf::write(&doc) != italicOnly);
            break;
        }
        }
        QVERIFY(rtf::write(&doc) != before);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
    }

    void editorChangeMatchesFreshWrite_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("document read elsewhere and adopted") << 0;
        QTest::newRow("layout replaced") << 1;
        QTest::newRow("document replaced") << 2;
        QTest::newRow("plain text set") << 3;
        QTest::newRow("RTF set") << 4;
        QTest::newRow("adopted untouched after a tracked write") << 5;
        QTest::newRow("adopted after a tracked write and a new format") << 6;
        QTest::newRow("adopted after a tracked write and typing") << 7;
    }

    // The editor's document or its layout changes hands: what was reported for the old one is
    // never taken for the new one.
    void editorChangeMatchesFreshWrite()
    {
        QFETCH(int, change);
        RichTextBox box;
        fillLines(*box.document(), 60);
        box.TextRTF();
        QTextDocument other; // outlives the box once it shows it
        switch (change) {
        case 0: {
            // Read and written on the loader's side, then shown: its paragraphs come along.
            auto read = std::make_unique<QTextDocument>();
            fillLines(*read, 60);
            QTextCursor(read->findBlockByNumber(30)).insertText(QStringLiteral("read "));
            rtf::ParagraphCache written;
            rtf::write(read.get(), written);
            at(*read, 0).insertText(QStringLiteral("changed after it was written "));
            box.adoptDocument(std::move(read), std::move(written));
            break;
        }
        case 5:
        case 6:
        case 7: {
            // As the loader does it: written while tracked, handed on with its numbers, which
            // hold only while nothing changed it meanwhile.
            auto read = std::make_unique<QTextDocument>();
            fillLines(*read, 60);
            rtf::ParagraphCache written;
            written.trackChanges(read.get());
            rtf::write(read.get(), written);
            if (change == 6) {
                QTextCharFormat bold;
                bold.setFontWeight(QFont::Bold);
                QTextCursor c = at(*read, 20, 1);
                c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 4);
                c.mergeCharFormat(bold);
            } else if (change == 7) {
                at(*read, 40).insertText(QStringLiteral("typed before it was shown "));
            }
            box.adoptDocument(std::move(read), std::move(written));
            break;
        }
        case 1:
            box.document()->setDocumentLayout(new QPlainTextDocumentLayout(box.document()));
            break;
        case 2:
            fillLines(other, 60);
            at(other, 0).insertText(QStringLiteral("other "));
            box.setDocument(&other);
            break;
        case 3:
            box.setText(QStringLiteral("Line 0 of a long note.\nLine 1"));
            break;
        case 4:
            box.setTextRTF(rtf::write(box.document()).replace("Line 7", "Line seven"));
            break;
        }
        QTextDocument &doc = *box.document();
        QCOMPARE(box.TextRTF(), rtf::write(&doc));
        // Untouched since its tracked write, the adopted note is not read again as a whole.
        if (change == 5)
            QVERIFY2(box.paragraphsReadLastTime() == 0,
                     qPrintable(QString::number(box.paragraphsReadLastTime())));
        for (int i = 0; i < 3; ++i) {
            at(doc, i * doc.blockCount() / 3, 1).insertText(QStringLiteral("typed"));
            QCOMPARE(box.TextRTF(), rtf::write(&doc));
        }
        at(doc, doc.blockCount() / 2).insertText(QStringLiteral("typed\n"));
        QCOMPARE(box.TextRTF(), rtf::write(&doc));
        doc.undo();
        QCOMPARE(box.TextRTF(), rtf::write(&doc));
        if (change == 2) {
            box.setDocument(nullptr); // the old document goes on without its box
            at(other, 5).insertText(QStringLiteral("after "));
        }
    }

    // Notes from other programs, with their tables, fields, pictures and lists, edited in the
    // middle.
    void corpusNoteMatchesFreshWrite_data()
    {
        QTest::addColumn<bool>("tracked");
        QTest::addColumn<QString>("path");
        const QString corpus = QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus");
        QDirIterator it(corpus, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            addRowsForBoth(qPrintable(QDir(corpus).relativeFilePath(path)),
                           [&path](QTestData &row) { row << path; });
        }
    }

    void corpusNoteMatchesFreshWrite()
    {
        QFETCH(bool, tracked);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Note note(tracked);
        QTextDocument &doc = note.doc();
        rtf::readInto(&doc, file.readAll());
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        QTextCursor c(&doc);
        c.setPosition(doc.characterCount() / 2);
        c.insertText(QStringLiteral("typed \u00e9"));
        c.setPosition(std::max(0, c.position() - 20), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        doc.undo();
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
    }

    void onlyChangedParagraphsAreEncoded_data()
    {
        QTest::addColumn<bool>("tracked");
        addRowsForBoth("300 lines");
    }

    void onlyChangedParagraphsAreEncoded()
    {
        QFETCH(bool, tracked);
        Note note(tracked);
        QTextDocument &doc = note.doc();
        QTextCursor c(&doc);
        for (int i = 0; i < 300; ++i)
            c.insertText(QStringLiteral("Line %1 of a long note.\n").arg(i));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        merge(doc, 10, 10, bold, 0, 4);
        note.cachedWrite();
        QCOMPARE(note.encodedLastTime(), doc.blockCount());

        note.cachedWrite();
        QCOMPARE(note.encodedLastTime(), 0);

        QTextCursor typing(doc.findBlockByNumber(150));
        typing.insertText(QStringLiteral("typed "));
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        QCOMPARE(note.encodedLastTime(), 1);

        merge(doc, 20, 22, bold, 3, 3);
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        QCOMPARE(note.encodedLastTime(), 3);

        // Told what changed, the cache reads only the paragraphs around a change.
        typing.insertText(QStringLiteral("more\nwords"));
        QCOMPARE(note.cachedWrite(), rtf::write(&doc));
        QCOMPARE(note.encodedLastTime(), 2);
        if (tracked)
            QVERIFY2(note.readLastTime() <= 4, qPrintable(QString::number(note.readLastTime())));
        else
            QCOMPARE(note.readLastTime(), doc.blockCount());
    }
};

QTEST_MAIN(TestRtfParagraphCache)
#include "tst_rtfparagraphcache.moc"
