#include "FindReplace.h"

#include "RichTextBox.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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

// Each paragraph's text is read once and its matches replaced from the right, so earlier
// offsets stay valid; no search ever goes back over text already passed.
int FindReplace::replaceAllMatches(RichTextBox *box, const QString &what, const QString &with,
                                   int options)
{
    if (!box || what.isEmpty())
        return 0;
    QTextDocument *doc = box->document();
    const Qt::CaseSensitivity cs =
        (options & RichTextBox::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options & RichTextBox::WholeWord;
    QTextCursor cursor(doc);
    int count = 0;
    int caret = -1;
    bool editing = false;
    QList<int> hits;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.replace(QChar::Nbsp, u' ');
        hits.clear();
        // The character before the next candidate as the note will read after the replacements
        // so far: the whole-word test sees the inserted text, as a search after each one would.
        int previousEnd = -1;
        QChar outputBefore;
        for (int from = 0;;) {
            const int at = text.indexOf(what, from, cs);
            if (at < 0)
                break;
            const int end = at + int(what.size());
            const QChar before = at == 0 ? QChar() : at == previousEnd ? outputBefore : text.at(at - 1);
            if (wholeWord
                && (before.isLetterOrNumber() || (end < text.size() && text.at(end).isLetterOrNumber()))) {
                from = at + 1;
                continue;
            }
            hits.append(at);
            outputBefore = with.isEmpty() ? before : with.back();
            previousEnd = end;
            from = end;
        }
        if (hits.isEmpty())
            continue;
        if (!editing) {
            cursor.beginEditBlock(); // the whole Replace All is one undo step
            editing = true;
        }
        const int base = block.position();
        for (qsizetype i = hits.size() - 1; i >= 0; --i) {
            cursor.setPosition(base + hits[i]);
            cursor.setPosition(base + hits[i] + int(what.size()), QTextCursor::KeepAnchor);
            cursor.insertText(with);
        }
        const int growth = int(with.size() - what.size());
        caret = base + hits.last() + growth * int(hits.size() - 1) + int(with.size());
        count += int(hits.size());
    }
    if (editing) {
        cursor.endEditBlock();
        box->setSelStart(caret);
    }
    return count;
}
