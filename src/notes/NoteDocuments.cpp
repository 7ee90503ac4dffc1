#include "NoteDocuments.h"

#include "NoteTab.h"
#include "NoteText.h"
#include "RtfReader.h"

#include <QTextDocument>

namespace {
size_t slot(int n)
{
    return static_cast<size_t>(n - 1);
}
} // namespace

NoteDocuments::NoteDocuments(QObject *parent) : QObject(parent)
{
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        m_documents[slot(n)] = new QTextDocument(this);
        watch(n);
    }
}

NoteDocuments::~NoteDocuments()
{
    // The caches are told of no change of documents going away with us.
    for (QTextDocument *doc : m_documents)
        doc->disconnect(this);
}

void NoteDocuments::watch(int n)
{
    connect(m_documents[slot(n)], &QTextDocument::contentsChanged, this, [this, n] {
        m_changed[slot(n)] = true;
        emit edited(n);
    });
}

QTextDocument *NoteDocuments::document(int n) const
{
    return NoteTabs::isNote(n) ? m_documents[slot(n)] : nullptr;
}

rtf::ParagraphCache *NoteDocuments::paragraphs(int n)
{
    return NoteTabs::isNote(n) ? &m_paragraphs[slot(n)] : nullptr;
}

void NoteDocuments::setLoading(std::function<void(int)> finishLoading)
{
    m_finishLoading = std::move(finishLoading);
}

void NoteDocuments::finishLoading(int n) const
{
    if (m_finishLoading)
        m_finishLoading(n);
}

QByteArray NoteDocuments::bytes(int n)
{
    finishLoading(n);
    return NoteText::encode(m_documents[slot(n)], m_paragraphs[slot(n)]);
}

void NoteDocuments::setText(int n, const QByteArray &rtf)
{
    finishLoading(n);
    QTextDocument *doc = m_documents[slot(n)];
    rtf::readInto(doc, rtf);
    doc->clearUndoRedoStacks();
    doc->setModified(false);
}

bool NoteDocuments::isEmpty(int n)
{
    finishLoading(n);
    return m_documents[slot(n)]->isEmpty();
}

std::unique_ptr<QTextDocument> NoteDocuments::adopt(int n, std::unique_ptr<QTextDocument> doc,
                                                    rtf::ParagraphCache written)
{
    QTextDocument *old = m_documents[slot(n)];
    old->disconnect(this);
    // An editor showing the note gives the new document what it set on the old one (its font,
    // margins, undo) when it is told of it.
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    doc->setParent(this);
    m_documents[slot(n)] = doc.release();
    // The paragraphs written from it so far: when they were written while the cache tracked it
    // and it is unchanged since, the first write here reads only what was typed.
    m_paragraphs[slot(n)] = std::move(written);
    watch(n);
    old->setParent(nullptr);
    return std::unique_ptr<QTextDocument>(old);
}

void NoteDocuments::clear(int n)
{
    QTextDocument *doc = m_documents[slot(n)];
    doc->clear();
    doc->clearUndoRedoStacks();
    doc->setModified(false);
}

bool NoteDocuments::isChanged(int n) const
{
    return NoteTabs::isNote(n) && m_changed[slot(n)];
}

void NoteDocuments::setChanged(int n, bool changed)
{
    if (NoteTabs::isNote(n))
        m_changed[slot(n)] = changed;
}

void NoteDocuments::setAllUnchanged()
{
    m_changed.fill(false);
}

QString NoteDocuments::plainPath(int n) const
{
    return NoteTabs::notePath(m_directory, n);
}

QString NoteDocuments::path(int n) const
{
    return isLockedFile(n) ? lockedPath(plainPath(n)) : plainPath(n);
}

QString NoteDocuments::caption(int n) const
{
    return m_caption ? m_caption(n) : NoteTabs::tab(n).defaultCaption;
}
