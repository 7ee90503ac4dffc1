// Temporary plain-text codec so the rest of the program links while the real reader and
// writer are built.
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace rtf {

bool looksLikeRtf(const QByteArray &bytes)
{
    return bytes.trimmed().startsWith("{\\rtf");
}

ReadResult readInto(QTextDocument *doc, const QByteArray &bytes)
{
    doc->setPlainText(QString::fromUtf8(bytes));
    return {true, looksLikeRtf(bytes), {}};
}

ReadResult insertAt(QTextCursor &cursor, const QByteArray &bytes)
{
    cursor.insertText(QString::fromUtf8(bytes));
    return {true, looksLikeRtf(bytes), {}};
}

QString plainText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

QByteArray write(const QTextDocument *doc)
{
    return doc->toPlainText().toUtf8();
}

QByteArray writeSelection(const QTextCursor &cursor)
{
    return cursor.selection().toPlainText().toUtf8();
}

} // namespace rtf
