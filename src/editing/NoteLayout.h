#pragma once

#include <QHash>
#include <QSizeF>
#include <QTextBlockFormat>
#include <QTextListFormat>

#include <private/qtextdocumentlayout_p.h>

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

    // How many edits were laid out in place (for tests and benchmarks).
    int editsInPlace() const { return m_inPlace; }

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
    bool relayoutInPlace(int from, int oldLength, int length);
    void remember(int from, int length);

    // What each paragraph was last laid out with; a change of these moves its lines.
    QHash<const QTextLayout *, Inputs> m_inputs;
    int m_blockCount = -1;
    QSizeF m_pageSize;
    int m_inPlace = 0;
};
