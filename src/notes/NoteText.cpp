#include "NoteText.h"

#include "RtfParagraphCache.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QTextDocument>

#include <private/qtextdocument_p.h>

namespace NoteText {

QString plainTextOf(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) // older plain-text notes are in the Windows code page
        text = QStringDecoder(QStringDecoder::System).decode(bytes);
    return text;
}

QString unreadableRtf(const QString &warning)
{
    return warning.isEmpty() ? QCoreApplication::translate("RichTextBox", "The file is not a readable RTF document.")
                             : warning;
}

bool fill(QTextDocument *doc, const QByteArray &bytes, QString *error)
{
    if (!rtf::looksLikeRtf(bytes)) {
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        doc->setPlainText(plainTextOf(bytes));
        doc->setUndoRedoEnabled(undo);
        return true;
    }
    const rtf::ReadResult r = rtf::readInto(doc, bytes);
    if (!r.ok && error)
        *error = unreadableRtf(r.warning);
    return r.ok;
}

bool editUnderWay(const QTextDocument *doc)
{
    const QTextDocumentPrivate *d = QTextDocumentPrivate::get(doc);
    return d->isInEditBlock() || d->inContentsChange;
}

QByteArray encode(const QTextDocument *doc, rtf::ParagraphCache &paragraphs)
{
    // In the middle of an edit the layout has not heard of it yet: every paragraph is read.
    if (editUnderWay(doc))
        paragraphs.trackChanges(doc);
    return rtf::write(doc, paragraphs);
}

} // namespace NoteText
