#pragma once

#include <QByteArray>

class QTextDocument;
class QTextCursor;

namespace rtf {

class ParagraphCache;

// The whole document as RTF, in the style the Windows rich-edit control writes. The same
// document always gives the same bytes.
QByteArray write(const QTextDocument *doc);
// The same bytes, encoding only the paragraphs that changed since the cache's last write.
QByteArray write(const QTextDocument *doc, ParagraphCache &cache);

// The cursor's selection as RTF (an empty selection gives an empty document).
QByteArray writeSelection(const QTextCursor &cursor);

} // namespace rtf
