#include "RtfWriter.h"

#include "RtfDocumentWriter.h"

#include <QTextCursor>
#include <QTextDocument>

namespace rtf {

QByteArray write(const QTextDocument *doc)
{
    if (!doc)
        return {};
    DocumentWriter writer(doc);
    return writer.write(0, doc->characterCount() - 1, true);
}

QByteArray write(const QTextDocument *doc, ParagraphCache &cache)
{
    if (!doc)
        return {};
    DocumentWriter writer(doc, &cache);
    return writer.write(0, doc->characterCount() - 1, true);
}

QByteArray writeSelection(const QTextCursor &cursor)
{
    if (cursor.isNull())
        return {};
    DocumentWriter writer(cursor.document());
    return writer.write(cursor.selectionStart(), cursor.selectionEnd(), false);
}

} // namespace rtf
