#include "LayoutRestyling.h"

#include "NoteLayout.h"

#include <QTextBlock>
#include <QTextDocument>

LayoutRestyling::LayoutRestyling(QTextDocument *doc)
    : m_layout(doc ? qobject_cast<NoteLayout *>(doc->documentLayout()) : nullptr)
{
    if (auto *layout = qobject_cast<NoteLayout *>(m_layout.data()))
        layout->setRestyling(true);
}

LayoutRestyling::~LayoutRestyling()
{
    if (auto *layout = qobject_cast<NoteLayout *>(m_layout.data()))
        layout->setRestyling(false);
}

void LayoutRestyling::keepLines(const QTextBlock &block)
{
    if (const QTextDocument *doc = block.document())
        if (auto *layout = qobject_cast<NoteLayout *>(doc->documentLayout()))
            layout->keepLines(block);
}
