#include "SpellHighlighter.h"

#include "LayoutRestyling.h"
#include "SpellChecker.h"

#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTimer>

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

// Underlining is not editing: none of it may mark the note changed, so the document stays quiet
// while it happens (the view is still repainted through its layout).
SpellHighlighter::SpellHighlighter(QTextDocument *document, SpellChecker *checker)
    : QSyntaxHighlighter(document), m_checker(checker), m_swept(document), m_sweep(new QTimer(this))
{
    // Takes the place of the base class's own pass over the whole note, which would check every
    // paragraph at once and tell the editor its text changed; the slices below do the checking.
    if (document) {
        const QSignalBlocker quiet(document);
        rehighlight();
    }
    m_sweep->setInterval(0);
    connect(m_sweep, &QTimer::timeout, this, &SpellHighlighter::sweepSlice);
    m_sweep->start();
}

SpellHighlighter::~SpellHighlighter()
{
    // Taking the underlines away is not an edit either.
    if (QTextDocument *doc = document()) {
        const QSignalBlocker quiet(doc);
        setDocument(nullptr);
    }
}

void SpellHighlighter::recheck()
{
    m_nextBlock = 0;
    m_sweeping = true;
    m_sweep->start();
}

// About ten milliseconds of checking per turn of the event loop, paragraph by paragraph.
void SpellHighlighter::sweepSlice()
{
    QTextDocument *doc = document();
    if (!doc) {
        m_sweep->stop();
        return;
    }
    const QSignalBlocker quiet(doc);
    const LayoutRestyling underlinesOnly(doc);
    QElapsedTimer slice;
    slice.start();
    QTextBlock block = doc->findBlockByNumber(m_nextBlock);
    while (block.isValid() && slice.elapsed() < 10) {
        m_sweeping = false;
        rehighlightBlock(block);
        m_sweeping = true;
        block = block.next();
        ++m_nextBlock;
    }
    if (!block.isValid()) {
        m_sweeping = false;
        m_sweep->stop();
    }
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
    // Moved to another document (a note read in the background came into its box): its own
    // slices check it from the start.
    if (document() != m_swept) {
        m_swept = document();
        recheck();
    }
    // A paragraph the sweep has not reached yet waits for it.
    if (!m_checker || (m_sweeping && currentBlock().blockNumber() >= m_nextBlock))
        return;
    ++m_paragraphsChecked;
    // Setting the underlines drops the paragraph's lines: keep them, so that the note's layout
    // lays the paragraph out in place rather than moving everything after it.
    LayoutRestyling::keepLines(currentBlock());
    QTextCharFormat wave;
    wave.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    wave.setUnderlineColor(Qt::red);
    for (const Word &word : wordsIn(text))
        if (!m_checker->isCorrect(text.mid(word.start, word.length)))
            setFormat(word.start, word.length, wave);
}
