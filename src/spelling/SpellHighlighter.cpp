#include "SpellHighlighter.h"

#include "SpellChecker.h"

#include <QTextCharFormat>

namespace {

bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

// Blank-separated pieces that are addresses rather than words.
bool looksLikeAddress(QStringView piece)
{
    return piece.contains(QLatin1String("://")) || piece.contains(QLatin1Char('@')) ||
           piece.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

} // namespace

SpellHighlighter::SpellHighlighter(QTextDocument *document, SpellChecker *checker)
    : QSyntaxHighlighter(document), m_checker(checker)
{
}

QList<SpellHighlighter::Word> SpellHighlighter::wordsIn(const QString &text)
{
    QList<Word> words;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text.at(i).isSpace()) {
            ++i;
            continue;
        }
        qsizetype pieceEnd = i;
        while (pieceEnd < n && !text.at(pieceEnd).isSpace())
            ++pieceEnd;
        if (looksLikeAddress(QStringView(text).mid(i, pieceEnd - i))) {
            i = pieceEnd;
            continue;
        }
        // Words within the piece: letters, marks, and apostrophes between letters.
        while (i < pieceEnd) {
            if (!text.at(i).isLetterOrNumber() && text.at(i) != QLatin1Char('_')) {
                ++i;
                continue;
            }
            const qsizetype start = i;
            bool plain = true;
            while (i < pieceEnd) {
                const QChar c = text.at(i);
                if (c.isLetter() || c.isMark()) {
                    ++i;
                } else if (c.isDigit() || c == QLatin1Char('_')) {
                    plain = false;
                    ++i;
                } else if (isApostrophe(c) && i + 1 < pieceEnd && text.at(i + 1).isLetter()) {
                    ++i;
                } else {
                    break;
                }
            }
            if (plain && i - start > 1)
                words.append({int(start), int(i - start)});
        }
    }
    return words;
}

void SpellHighlighter::highlightBlock(const QString &text)
{
    ++m_paragraphsChecked;
    if (!m_checker)
        return;
    QTextCharFormat wave;
    wave.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    wave.setUnderlineColor(Qt::red);
    for (const Word &word : wordsIn(text))
        if (!m_checker->isCorrect(text.mid(word.start, word.length)))
            setFormat(word.start, word.length, wave);
}
