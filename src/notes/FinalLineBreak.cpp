#include "FinalLineBreak.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {
// The last character of the plain text (the document's own final paragraph end is not part of
// it), or a null character for an empty document.
QChar lastChar(const QTextDocument *doc)
{
    const int last = doc->characterCount() - 2;
    return last >= 0 ? doc->characterAt(last) : QChar();
}

bool isLineFeed(QChar c)
{
    // The plain text turns paragraph ends and soft line breaks into line feeds.
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n');
}

void removeLastChar(QTextDocument *doc)
{
    QTextCursor cursor(doc);
    cursor.setPosition(doc->characterCount() - 2);
    cursor.setPosition(doc->characterCount() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
} // namespace

void dropFinalLineBreak(QTextDocument *doc)
{
    if (isLineFeed(lastChar(doc)))
        removeLastChar(doc);
    if (lastChar(doc) == QLatin1Char('\r'))
        removeLastChar(doc);
}
