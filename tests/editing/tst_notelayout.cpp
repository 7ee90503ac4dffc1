#include "LayoutRestyling.h"
#include "NoteLayout.h"
#include "RichTextBox.h"

#include <QSyntaxHighlighter>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

enum class Edit {
    TypeAtStart,
    TypeInTheMiddle,
    DeleteAtStart,
    TypeUntilTheLineWraps,
    NewParagraph,
    BoldWord,
    Centre,
    UnderlineEveryParagraph,
    TypeWithUnderlines
};

// Underlines every "paragraph" the way the spell checker underlines a misspelt word: through the
// paragraph's layout, which drops its lines, after handing them to the note's layout.
class Underliner final : public QSyntaxHighlighter
{
public:
    explicit Underliner(QTextDocument *doc) : QSyntaxHighlighter(doc)
    {
        rehighlight(); // Qt's own first pass, with nothing to underline yet
        m_on = true;
    }

    void underlineAll()
    {
        const LayoutRestyling underlinesOnly(document());
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
            rehighlightBlock(b);
    }

protected:
    void highlightBlock(const QString &text) override
    {
        if (!m_on)
            return;
        LayoutRestyling::keepLines(currentBlock());
        QTextCharFormat wave;
        wave.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        for (qsizetype at = text.indexOf(QLatin1String("paragraph")); at >= 0;
             at = text.indexOf(QLatin1String("paragraph"), at + 1))
            setFormat(int(at), 9, wave);
    }

private:
    bool m_on = false;
};

// Paragraphs of a few wrapped lines each, every seventh centred.
void fillNote(RichTextBox &box)
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("paragraph %1 with words enough to wrap once or twice at this width, "
                               "and then some more words\n")
                    .arg(i);
    box.setText(text);
    QTextCursor c(box.document());
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockNumber() % 7 == 0) {
            c.setPosition(b.position());
            QTextBlockFormat f;
            f.setAlignment(Qt::AlignHCenter);
            c.mergeBlockFormat(f);
        }
    }
}

void apply(RichTextBox &box, Edit edit)
{
    QTextCursor c(box.document());
    const int middle = box.document()->findBlockByNumber(200).position() + 10;
    switch (edit) {
    case Edit::TypeAtStart:
        c.insertText(QStringLiteral("x"));
        break;
    case Edit::TypeInTheMiddle:
        c.setPosition(middle);
        c.insertText(QStringLiteral("y"));
        break;
    case Edit::DeleteAtStart:
        c.deleteChar();
        break;
    case Edit::TypeUntilTheLineWraps:
        c.insertText(QStringLiteral("wrap ").repeated(40));
        break;
    case Edit::NewParagraph:
        c.setPosition(middle);
        c.insertText(QStringLiteral("\n"));
        break;
    case Edit::BoldWord: {
        c.setPosition(middle);
        c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
        break;
    }
    case Edit::UnderlineEveryParagraph:
        (new Underliner(box.document()))->underlineAll();
        break;
    case Edit::TypeWithUnderlines: // underlined beforehand
        c.setPosition(middle);
        c.insertText(QStringLiteral("paragraph"));
        break;
    case Edit::Centre: {
        c.setPosition(box.document()->findBlockByNumber(1).position());
        QTextBlockFormat f;
        f.setAlignment(Qt::AlignHCenter);
        c.mergeBlockFormat(f);
        break;
    }
    }
}

// The same text laid out from scratch by Qt's own layout, at the same width and resolution.
std::unique_ptr<QTextDocument> laidOutByQt(const QTextDocument *doc)
{
    QPaintDevice *device = doc->documentLayout()->paintDevice();
    std::unique_ptr<QTextDocument> copy(doc->clone());
    copy->setDefaultFont(doc->defaultFont());
    copy->setDefaultTextOption(doc->defaultTextOption());
    copy->setDocumentMargin(doc->documentMargin());
    copy->setPageSize(doc->pageSize());
    copy->documentLayout()->setPaintDevice(device);
    copy->documentLayout()->documentSize(); // lays out all of it
    return copy;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestNoteLayout : public QObject
{
    Q_OBJECT

private slots:
    void editsEndWhereQtsOwnLayoutPutsThem_data();
    void editsEndWhereQtsOwnLayoutPutsThem();
};

void TestNoteLayout::editsEndWhereQtsOwnLayoutPutsThem_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("inPlace"); // laid out without moving the paragraphs after it
    QTest::newRow("typing at the start") << Edit::TypeAtStart << true;
    QTest::newRow("typing in the middle") << Edit::TypeInTheMiddle << true;
    QTest::newRow("deleting at the start") << Edit::DeleteAtStart << true;
    QTest::newRow("typing until the line wraps") << Edit::TypeUntilTheLineWraps << false;
    QTest::newRow("new paragraph") << Edit::NewParagraph << false;
    QTest::newRow("bold word") << Edit::BoldWord << false;
    QTest::newRow("centred paragraph") << Edit::Centre << false;
    QTest::newRow("underlining every paragraph") << Edit::UnderlineEveryParagraph << true;
    QTest::newRow("typing among underlines") << Edit::TypeWithUnderlines << true;
}

void TestNoteLayout::editsEndWhereQtsOwnLayoutPutsThem()
{
    QFETCH(Edit, edit);
    QFETCH(bool, inPlace);
    RichTextBox box;
    fillNote(box);
    box.resize(420, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto *layout = qobject_cast<NoteLayout *>(box.document()->documentLayout());
    QVERIFY(layout);
    if (edit == Edit::TypeWithUnderlines)
        (new Underliner(box.document()))->underlineAll();
    layout->documentSize();
    const int before = layout->editsInPlace();

    apply(box, edit);
    const QSizeF size = layout->documentSize();
    QCOMPARE(layout->editsInPlace() > before, inPlace);

    const std::unique_ptr<QTextDocument> reference = laidOutByQt(box.document());
    QCOMPARE(size, reference->documentLayout()->documentSize());
    QTextBlock theirs = reference->begin();
    for (QTextBlock ours = box.document()->begin(); ours.isValid();
         ours = ours.next(), theirs = theirs.next()) {
        QVERIFY(theirs.isValid());
        QCOMPARE(ours.layout()->position(), theirs.layout()->position());
        QCOMPARE(ours.layout()->lineCount(), theirs.layout()->lineCount());
        for (int i = 0; i < ours.layout()->lineCount(); ++i) {
            QCOMPARE(ours.layout()->lineAt(i).position(), theirs.layout()->lineAt(i).position());
            QCOMPARE(ours.layout()->lineAt(i).textLength(), theirs.layout()->lineAt(i).textLength());
        }
    }
}

QTEST_MAIN(TestNoteLayout)
#include "tst_notelayout.moc"
