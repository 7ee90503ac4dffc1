#pragma once

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QTextBlockFormat>
#include <QTextListFormat>
#include <QVarLengthArray>

#include <private/qtextdocumentlayout_p.h>

namespace rtf {
class ParagraphCache;
}

// The layout of a note's document. Qt's own layout answers every edit by moving each paragraph
// that follows it, so one keystroke at the start of a big note costs as much as walking the whole
// note. Typing rarely changes the height of its paragraph: when it does not, this layout lays out
// that paragraph alone, in the place and widths it had, and nothing after it moves. Every other
// change (a new paragraph, a height that changed, tables) takes Qt's way.
class NoteLayout final : public QTextDocumentLayout
{
    Q_OBJECT
public:
    explicit NoteLayout(QTextDocument *doc);
    ~NoteLayout() override;

    // Tells cache of every change of the document from now on (nullptr: tells none), so that
    // writing the note again reads only the paragraphs that changed. The cache must outlive the
    // layout or be taken back first.
    void reportChangesTo(rtf::ParagraphCache *cache);
    // Changes are made but not reported yet: an edit is under way.
    bool changesPending() const;

    // How many edits were laid out in place (for tests and benchmarks).
    int editsInPlace() const { return m_inPlace; }

    // Set while the changes reported only restyle text through the paragraphs' layouts (see
    // LayoutRestyling).
    void setRestyling(bool on) { m_restyling = on; }
    // Keeps the paragraph's lines for the next change reported: new extra formats drop a
    // paragraph's lines before the change is reported.
    void keepLines(const QTextBlock &block);

protected:
    void documentChanged(int from, int oldLength, int length) override;

private:
    struct Inputs
    {
        QTextBlockFormat block;
        QTextListFormat list;
        bool operator==(const Inputs &) const = default;
    };
    static Inputs inputsOf(const QTextBlock &block);
    static QVarLengthArray<QRectF, 16> linesOf(const QTextLayout *layout);
    bool relayoutInPlace(int from, int oldLength, int length);
    void remember(int from, int length);

    // What each paragraph was last laid out with; a change of these moves its lines.
    QHash<const QTextLayout *, Inputs> m_inputs;
    QHash<const QTextLayout *, QVarLengthArray<QRectF, 16>> m_keptLines;
    rtf::ParagraphCache *m_changesTo = nullptr;
    bool m_contentsChanged = false; // the document told of an edit since the last change here
    int m_blockCount = -1;
    QSizeF m_pageSize;
    int m_inPlace = 0;
    bool m_restyling = false;
};
