#pragma once

#include <QList>
#include <QPointer>
#include <QSyntaxHighlighter>

class SpellChecker;

// Underlines misspelt words with a red wave. The underline lives in the text layout only, never in
// the document's formats, so it never reaches a note file, the clipboard or a printout. Qt
// re-highlights only the paragraph a keystroke changed.
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

    // The words of a paragraph worth checking: runs of letters with inner apostrophes, leaving out
    // anything with digits or underscores and the parts of web and mail addresses.
    static QList<Word> wordsIn(const QString &text);

    // How many paragraphs have been checked so far (for measuring what a keystroke costs).
    qint64 paragraphsChecked() const { return m_paragraphsChecked; }

protected:
    void highlightBlock(const QString &text) override;

private:
    QPointer<SpellChecker> m_checker;
    qint64 m_paragraphsChecked = 0;
};
