#include "NoteLayout.h"

#include "NoteText.h"
#include "RtfParagraphCache.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QVarLengthArray>


#include <cmath>
#include <utility>

NoteLayout::NoteLayout(QTextDocument *doc) : QTextDocumentLayout(doc)
{
    // An edit tells those who listen just before it tells the layout.
    connect(doc, &QTextDocument::contentsChange, this, [this] { m_contentsChanged = true; });
}

NoteLayout::~NoteLayout()
{
    // Replaced, or gone with the document: nobody reports its changes any more.
    reportChangesTo(nullptr);
}

void NoteLayout::reportChangesTo(rtf::ParagraphCache *cache)
{
    if (m_changesTo)
        m_changesTo->stopTracking(document());
    m_changesTo = cache;
    if (m_changesTo)
        m_changesTo->continueTracking(document());
}

bool NoteLayout::changesPending() const
{
    return NoteText::editUnderWay(document());
}

NoteLayout::Inputs NoteLayout::inputsOf(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    return {block.blockFormat(), list ? list->format() : QTextListFormat()};
}

QVarLengthArray<QRectF, 16> NoteLayout::linesOf(const QTextLayout *layout)
{
    QVarLengthArray<QRectF, 16> lines;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        lines.append(QRectF(line.x(), line.y(), line.width(), line.height()));
    }
    return lines;
}

void NoteLayout::keepLines(const QTextBlock &block)
{
    if (const QTextLayout *layout = block.layout(); layout && layout->lineCount() > 0)
        m_keptLines.insert(layout, linesOf(layout));
}

void NoteLayout::documentChanged(int from, int oldLength, int length)
{
    // The note laid out anew (another width or text option, a marked-up paragraph) comes here
    // too, with no edit behind it: an edit tells contentsChange first. Only when the document
    // could not tell (its signals blocked, an edit under way) is it taken for an edit anyway.
    const bool edited =
        std::exchange(m_contentsChanged, false) || document()->signalsBlocked() || changesPending();
    if (m_changesTo && edited)
        m_changesTo->documentChanged(document(), from, length);
    const bool inPlace = relayoutInPlace(from, oldLength, length);
    m_keptLines.clear(); // they were kept for this change only
    if (inPlace) {
        ++m_inPlace;
        return;
    }
    QTextDocumentLayout::documentChanged(from, oldLength, length);
    remember(from, length);
}

// The paragraphs Qt has just laid out were laid out with their present formats.
void NoteLayout::remember(int from, int length)
{
    const QTextDocument *doc = document();
    if (doc->blockCount() != m_blockCount || doc->pageSize() != m_pageSize) {
        m_inputs.clear(); // paragraphs came or went: forget layouts that may be gone
        m_blockCount = doc->blockCount();
        m_pageSize = doc->pageSize();
    }
    const QTextBlock last = doc->findBlock(from + std::max(length, 0));
    int remembered = 0;
    for (QTextBlock b = doc->findBlock(from); b.isValid() && remembered < 64; b = b.next(), ++remembered) {
        m_inputs.insert(b.layout(), inputsOf(b));
        if (b == last)
            break;
    }
}

bool NoteLayout::relayoutInPlace(int from, int oldLength, int length)
{
    const QTextDocument *doc = document();
    // Wrapped at the widget's width, not paged, and no frames (tables) whose sizes follow their text.
    if (doc->blockCount() != m_blockCount || doc->pageSize() != m_pageSize || doc->pageSize().width() <= 0 ||
        doc->pageSize().height() > 0 || !doc->rootFrame()->childFrames().isEmpty() ||
        (doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators))
        return false;
    const QTextBlock block = doc->findBlock(from);
    // The change ends at its last character: a whole paragraph, separator and all, is still one.
    if (!block.isValid() || block != doc->findBlock(from + std::max(length - 1, 0)) || !block.isVisible())
        return false;
    QTextLayout *layout = block.layout();
    const bool restyle = m_restyling && oldLength == length;
    const Inputs inputs = inputsOf(block);
    // Typing keeps the paragraph's format; a change of formats only qualifies when the paragraph's
    // own format is the one its lines were laid out with, or when it only restyles the text.
    if (inputs.block.lineHeightType() != QTextBlockFormat::SingleHeight ||
        (oldLength == length && !restyle && (!m_inputs.contains(layout) || m_inputs.value(layout) != inputs)))
        return false;

    // Qt keeps the old lines until the paragraph is laid out again (unless new extra formats
    // dropped them, and they were kept for it): their places and widths are those the
    // paragraph's margins, indents and floats gave it.
    QVarLengthArray<QRectF, 16> old;
    if (layout->lineCount() > 0)
        old = linesOf(layout);
    else if (const auto kept = m_keptLines.constFind(layout); kept != m_keptLines.cend())
        old = *kept;
    const int count = int(old.size());
    if (count == 0)
        return false;
    layout->clearLayout();
    layout->beginLayout();
    qreal y = old[0].y();
    int made = 0;
    bool same = true;
    while (true) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        const QRectF &was = old[std::min(made, count - 1)];
        line.setLeadingIncluded(true);
        line.setLineWidth(was.width());
        line.setPosition(QPointF(was.x(), y));
        same = same && made < count && y == old[made].y() && line.naturalTextWidth() <= was.width();
        y += std::ceil(line.ascent() + line.descent() + line.leading());
        ++made;
    }
    layout->endLayout();
    const qreal oldBottom = old[count - 1].y() + std::ceil(old[count - 1].height());
    if (!same || made != count || y != oldBottom)
        return false; // Qt's layout moves what follows (it lays this paragraph out again first)

    m_inputs.insert(layout, inputs);
    const QRectF rect = blockBoundingRect(block);
    emit update(QRectF(0, rect.top(), doc->pageSize().width(), rect.height()));
    return true;
}
