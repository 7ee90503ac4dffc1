#include "NoteLayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QVarLengthArray>

#include <cmath>

NoteLayout::NoteLayout(QTextDocument *doc) : QTextDocumentLayout(doc) {}

NoteLayout::Inputs NoteLayout::inputsOf(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    return {block.blockFormat(), list ? list->format() : QTextListFormat()};
}

void NoteLayout::documentChanged(int from, int oldLength, int length)
{
    if (relayoutInPlace(from, oldLength, length)) {
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
    if (!block.isValid() || block != doc->findBlock(from + std::max(length, 0)) || !block.isVisible())
        return false;
    QTextLayout *layout = block.layout();
    const int count = layout->lineCount();
    const Inputs inputs = inputsOf(block);
    // Typing keeps the paragraph's format; a change of formats only qualifies when the paragraph's
    // own format is the one its lines were laid out with.
    if (count == 0 || inputs.block.lineHeightType() != QTextBlockFormat::SingleHeight ||
        (oldLength == length && (!m_inputs.contains(layout) || m_inputs.value(layout) != inputs)))
        return false;

    // Qt keeps the old lines until the paragraph is laid out again: their places and widths are
    // those the paragraph's margins, indents and floats gave it.
    QVarLengthArray<QRectF, 16> old;
    for (int i = 0; i < count; ++i) {
        const QTextLine line = layout->lineAt(i);
        old.append(QRectF(line.x(), line.y(), line.width(), line.height()));
    }
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
