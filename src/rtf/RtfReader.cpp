#include "RtfReader.h"

#include "CodePages.h"
#include "DocumentBuilder.h"
#include "RtfLog.h"
#include "RtfParser.h"

#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

namespace rtf {

namespace {

QString damagedWarning()
{
    return QStringLiteral("The document is damaged or incomplete; the text that could be read is shown.");
}

// Text files come as UTF-8 from Linux programs and in the Windows code page from old notes.
QString decodePlainText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    text.clear();
    appendDecoded(text, view, kDefaultCodePage);
    return text;
}

ReadResult readRtf(QTextCursor &cursor, const QByteArray &bytes, bool wholeDocument)
{
    DocumentBuilder builder(cursor, wholeDocument);
    Parser parser(bytes, builder);
    parser.run();
    ReadResult result{true, true, {}};
    if (parser.damaged()) {
        result.warning = damagedWarning();
        qCInfo(lcRtf) << "read a damaged RTF document of" << bytes.size() << "bytes";
    }
    return result;
}

} // namespace

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

ReadResult readInto(QTextDocument *doc, const QByteArray &bytes)
{
    if (!doc)
        return {false, false, QStringLiteral("There is no document to read into.")};
    // Loading is not an edit the user could undo, and the undo stack would double the memory.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    ReadResult result;
    if (!looksLikeRtf(bytes)) {
        doc->setPlainText(decodePlainText(bytes));
        result = {true, false, {}};
    } else {
        QTextCursor cursor(doc);
        // One edit block for the whole read: otherwise every insertion lays out its paragraph
        // again to place the cursor, which makes long paragraphs quadratic.
        cursor.beginEditBlock();
        result = readRtf(cursor, bytes, true);
        cursor.endEditBlock();
    }
    doc->setUndoRedoEnabled(undo);
    return result;
}

ReadResult insertAt(QTextCursor &cursor, const QByteArray &bytes)
{
    if (cursor.isNull())
        return {false, false, QStringLiteral("There is no document to insert into.")};
    cursor.beginEditBlock(); // one undo step for the whole insertion
    cursor.removeSelectedText();
    ReadResult result;
    if (!looksLikeRtf(bytes)) {
        cursor.insertText(decodePlainText(bytes));
        result = {true, false, {}};
    } else {
        result = readRtf(cursor, bytes, false);
    }
    cursor.endEditBlock();
    return result;
}

bool insertPicture(QTextCursor &cursor, const QByteArray &bytes)
{
    Picture picture;
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        picture.kind = Picture::Kind::Png;
    else if (bytes.startsWith("\xFF\xD8\xFF"))
        picture.kind = Picture::Kind::Jpeg;
    if (cursor.isNull() || picture.kind == Picture::Kind::Unsupported)
        return false;
    picture.data = bytes;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertImage(pictureFormat(cursor.document(), picture));
    cursor.endEditBlock();
    return true;
}

QString plainText(const QByteArray &bytes)
{
    if (!looksLikeRtf(bytes))
        return decodePlainText(bytes);
    PlainTextCollector collector;
    // RTF spends at least a byte on every character, so this is room for all the text: the
    // string is allocated once instead of being moved as it grows through a large note.
    collector.result.reserve(bytes.size());
    Parser parser(bytes, collector);
    parser.run();
    return collector.result;
}

} // namespace rtf
