#pragma once

#include <QList>
#include <QPointer>
#include <QSyntaxHighlighter>
#include <QTextDocument>

class QTimer;

class SpellChecker;

// Underlines misspelt words with a red wave. The underline lives in the text layout only, never in
// the document's formats, so it never reaches a note file, the clipboard or a printout. Qt
// re-highlights only the paragraph a keystroke changed. A whole note is checked in short slices
// from the event loop, so switching checking on for a big note never freezes the window.
class SpellHighlighter final : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    struct Word
    {
        int start = 0;
        int length = 0;
    };

    SpellHighlighter(QTextDocument *document, SpellChecker *checker);
    ~SpellHighlighter() override;

    // The words of a paragraph worth checking: runs of letters with inner apostrophes, leaving out
    // anything with digits or underscores and the parts of web and mail addresses.
    static QList<Word> wordsIn(const QString &text);

    // How many paragraphs have been checked so far (for measuring what a keystroke costs).
    qint64 paragraphsChecked() const { return m_paragraphsChecked; }
    // Checks the whole note again in slices (the accepted words changed).
    void recheck();
    // True once every paragraph of the note has been checked.
    bool isComplete() const { return !m_sweeping; }

protected:
    void highlightBlock(const QString &text) override;

private:
    void sweepSlice();

    QPointer<SpellChecker> m_checker;
    QPointer<QTextDocument> m_swept; // the document the slices go through
    qint64 m_paragraphsChecked = 0;
    bool m_sweeping = true; // Qt's first pass over the whole note skips the checking
    int m_nextBlock = 0;    // where the slices have got to
    QTimer *m_sweep;
};
