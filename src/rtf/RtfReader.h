#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;
class QTextCursor;

namespace rtf {

struct ReadResult
{
    bool ok = false;     // false only when nothing could be read at all
    bool wasRtf = false; // false when the bytes were taken in as plain text
    QString warning;     // what was damaged, for a message to the user (empty when clean)
};

// True when the bytes start like an RTF document ("{\rtf", after optional white space).
bool looksLikeRtf(const QByteArray &bytes);

// Replaces the document's content with the RTF. Bytes that are not RTF are taken as plain text.
ReadResult readInto(QTextDocument *doc, const QByteArray &bytes);

// Inserts the RTF's content at the cursor, replacing its selection; the cursor ends after it.
ReadResult insertAt(QTextCursor &cursor, const QByteArray &bytes);

// Inserts a PNG or JPEG picture at the cursor, replacing its selection, stored the way a note's
// pictures are so the next save writes it. False when the bytes are neither.
bool insertPicture(QTextCursor &cursor, const QByteArray &bytes);

// The plain text of an RTF document, paragraphs joined by '\n', without building a document.
QString plainText(const QByteArray &bytes);

} // namespace rtf
