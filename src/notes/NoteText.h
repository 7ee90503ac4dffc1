#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {
class ParagraphCache;
}

// A note's bytes and its document, both ways: what a note file holds becomes a document, and a
// document becomes the RTF a note file holds.
namespace NoteText {

// Fills an empty document, on any thread: RTF as rich text, other bytes as plain text (UTF-8, or
// the older notes' Windows code page). False with error saying why when nothing could be read.
bool fill(QTextDocument *doc, const QByteArray &bytes, QString *error = nullptr);
QString plainTextOf(const QByteArray &bytes);
// What a damaged RTF file is told with.
QString unreadableRtf(const QString &warning);

// The document as RTF. The paragraph cache spares the paragraphs no change touched when it was
// told of every change (by the editor's layout); in the middle of an edit every one is read.
QByteArray encode(const QTextDocument *doc, rtf::ParagraphCache &paragraphs);

// An edit of doc is under way: the document tells its layout at its end, after those who
// listen for changes.
bool editUnderWay(const QTextDocument *doc);

} // namespace NoteText
