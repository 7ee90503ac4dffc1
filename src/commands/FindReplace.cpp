#include "FindReplace.h"

#include "RichTextBox.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

int FindReplace::options(bool wholeWord, bool matchCase)
{
    return (wholeWord ? RichTextBox::WholeWord : 0) | (matchCase ? RichTextBox::MatchCase : 0);
}

void FindReplace::open(const QString &selectedText)
{
    *this = FindReplace();
    m_findList.append(selectedText);
    m_searchText = selectedText;
}

void FindReplace::notFound()
{
    m_status = NotFound;
    m_foundOnce = false;
    m_replaceEnabled = false;
}

bool FindReplace::find(RichTextBox *box, const QString &what, int options)
{
    if (!box || what.isEmpty()) // nothing to look for: the click does nothing
        return false;
    if (!m_foundOnce) {
        if (box->Find(what, 0, options) < 0) {
            m_status = NotFound; // a failed first search leaves the buttons as they were
            return false;
        }
        m_replaceEnabled = true;
        m_foundOnce = true;
        m_findList.append(what);
        return true;
    }
    if (box->Find(what, box->SelStart() + box->SelLength(), options) < 0) {
        notFound();
        return false;
    }
    return true;
}

bool FindReplace::findAgain(RichTextBox *box, const Search &search, bool backward)
{
    if (!box || search.what.isEmpty())
        return false;
    if (backward) {
        const int options = search.options | RichTextBox::Backward;
        return box->Find(search.what, box->SelStart(), options) >= 0 ||
               box->Find(search.what, box->document()->characterCount() - 1, options) >= 0;
    }
    return box->Find(search.what, box->SelStart() + box->SelLength(), search.options) >= 0 ||
           box->Find(search.what, 0, search.options) >= 0;
}

QRect FindReplace::placeClearOf(const QRect &window, const QRect &match, const QRect &screen)
{
    if (!window.intersects(match))
        return window;
    constexpr int gap = 8; // a little air between the window's edge and the match
    const auto into = [](int at, int size, int first, int last) {
        return std::max(first, std::min(last - size + 1, at));
    };
    QRect above = window;
    above.moveBottom(match.top() - 1 - gap);
    QRect below = window;
    below.moveTop(match.bottom() + 1 + gap);
    QRect left = window;
    left.moveRight(match.left() - 1 - gap);
    QRect right = window;
    right.moveLeft(match.right() + 1 + gap);
    // Moved off the match along one axis, the window is pulled back onto the screen along the other.
    for (QRect *r : {&above, &below})
        r->moveLeft(into(r->left(), r->width(), screen.left(), screen.right()));
    for (QRect *r : {&left, &right})
        r->moveTop(into(r->top(), r->height(), screen.top(), screen.bottom()));
    QRect best = window;
    int bestDistance = -1;
    for (const QRect &r : {above, below, left, right}) {
        if (!screen.contains(r) || r.intersects(match))
            continue;
        const int distance = (r.topLeft() - window.topLeft()).manhattanLength();
        if (bestDistance < 0 || distance < bestDistance) {
            best = r;
            bestDistance = distance;
        }
    }
    return best;
}

namespace {

bool checkWritable(RichTextBox *box, QString *error)
{
    if (box && !box->isReadOnly())
        return true;
    if (error)
        *error = QCoreApplication::translate("FindReplace", "This note cannot be changed.");
    return false;
}

} // namespace

bool FindReplace::replace(RichTextBox *box, const QString &what, const QString &with, int options,
                          QString *error)
{
    if (!m_replaceMode) {
        m_replaceMode = true;
        return true;
    }
    if (what.isEmpty())
        return true;
    if (!checkWritable(box, error))
        return false;
    box->setSelText(with);
    if (box->Find(what, box->SelStart() + box->SelLength(), options) < 0) {
        notFound();
        return true;
    }
    m_replaceList.append(with);
    return true;
}

bool FindReplace::replaceAll(RichTextBox *box, const QString &what, const QString &with,
                             int options, QString *error)
{
    if (what.isEmpty())
        return true;
    if (!checkWritable(box, error))
        return false;
    const int count = replaceAllMatches(box, what, with, options);
    if (count > 0) {
        m_status = QStringLiteral("The specified region has been searched.\r\n")
                   + QString::number(count) + QStringLiteral(" replacements have been made.");
        // The text goes into the list once per Replace All, not once per match: thousands of
        // identical entries would bury the list and slow the command down.
        m_replaceList.append(with);
    }
    m_foundOnce = false;
    m_replaceEnabled = false;
    return true;
}

namespace {

// One run of the rewritten paragraph: text in one character format.
struct Piece
{
    QString text;
    QTextCharFormat format;
};

// The matches in one paragraph's text, left to right, as successive searches would find them:
// after a match the next search starts at its end; after a candidate rejected as part of a
// longer word it starts one character past the candidate's end, as the box's Find does.
QList<int> matchesIn(const QString &text, const QString &what, const QString &with, Qt::CaseSensitivity cs,
                     bool wholeWord)
{
    QList<int> hits;
    // The character before a candidate as the note will read after the replacements so far:
    // the whole-word test sees the inserted text, as a search after each replacement would.
    int previousEnd = -1;
    QChar outputBefore;
    for (int from = 0;;) {
        const int at = int(text.indexOf(what, from, cs));
        if (at < 0)
            break;
        const int end = at + int(what.size());
        const QChar before = at == 0 ? QChar() : at == previousEnd ? outputBefore : text.at(at - 1);
        if (wholeWord &&
            (before.isLetterOrNumber() || (end < text.size() && text.at(end).isLetterOrNumber()))) {
            from = end + 1;
            continue;
        }
        hits.append(at);
        outputBefore = with.isEmpty() ? before : with.back();
        previousEnd = end;
        from = end;
    }
    return hits;
}

// The paragraph as it reads after the replacements, run by run. A replacement takes the format
// of the last character it replaces, as a single Replace does; everything else keeps its own.
QList<Piece> rewritten(const QTextBlock &block, const QList<int> &hits, int whatLength, const QString &with)
{
    struct Run
    {
        int start;
        int end;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int start = frag.position() - block.position();
        runs.append({start, start + frag.length(), frag.charFormat()});
    }
    const QString text = block.text();
    QList<Piece> pieces;
    const auto add = [&pieces](const QString &piece, const QTextCharFormat &format) {
        if (piece.isEmpty())
            return;
        if (!pieces.isEmpty() && pieces.last().format == format)
            pieces.last().text += piece;
        else
            pieces.append({piece, format});
    };
    qsizetype run = 0;
    // Copies the original text [from, to) run by run; leaves `run` at the run holding `to - 1`.
    const auto copy = [&](int from, int to) {
        while (from < to && run < runs.size()) {
            const Run &r = runs.at(run);
            const int end = std::min(to, r.end);
            if (from < end)
                add(text.mid(from, end - from), r.format);
            from = std::max(from, end);
            if (r.end <= from && from < to)
                ++run;
        }
    };
    int done = 0;
    for (const int at : hits) {
        copy(done, at);
        const int last = at + whatLength - 1;
        while (run < runs.size() && runs.at(run).end <= last)
            ++run;
        add(with, run < runs.size() ? runs.at(run).format : QTextCharFormat());
        done = at + whatLength;
    }
    copy(done, int(text.size()));
    return pieces;
}

} // namespace

// Every paragraph is searched as it stood before Replace All, so no search ever sees text the
// command inserted (a replacement may hold the search text or a line break). Paragraphs are
// rewritten from the last to the first, one edit each, so earlier positions stay valid and the
// cost grows with the note's length, not with the number of matches times its length.
int FindReplace::replaceAllMatches(RichTextBox *box, const QString &what, const QString &with, int options)
{
    if (!box || what.isEmpty())
        return 0;
    QTextDocument *doc = box->document();
    const Qt::CaseSensitivity cs =
        (options & RichTextBox::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options & RichTextBox::WholeWord;
    const int whatLength = int(what.size());
    QTextCursor cursor(doc);
    int count = 0;
    int caret = -1;      // the end of the last replacement, counted before earlier paragraphs grew
    int growthAfter = 0; // how much the paragraphs before the last changed one grew
    bool editing = false;
    for (QTextBlock block = doc->lastBlock(); block.isValid();) {
        const QTextBlock previous = block.previous();
        QString text = block.text();
        text.replace(QChar::Nbsp, u' '); // the box's Find reads a no-break space as a blank
        const QList<int> hits = matchesIn(text, what, with, cs, wholeWord);
        if (!hits.isEmpty()) {
            if (!editing) {
                cursor.beginEditBlock(); // the whole Replace All is one undo step
                editing = true;
            }
            const int base = block.position();
            const int delta = int(with.size()) - whatLength;
            if (caret < 0)
                caret = base + hits.last() + delta * int(hits.size() - 1) + int(with.size());
            else
                growthAfter += delta * int(hits.size());
            const QList<Piece> pieces = rewritten(block, hits, whatLength, with);
            cursor.setPosition(base);
            cursor.setPosition(base + block.length() - 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            for (const Piece &piece : pieces)
                cursor.insertText(piece.text, piece.format);
            count += int(hits.size());
        }
        block = previous;
    }
    if (editing) {
        cursor.endEditBlock();
        box->setSelStart(caret + growthAfter);
    }
    return count;
}
