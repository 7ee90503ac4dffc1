// The editor's mouse, focus and clipboard behaviour; its attributes are in RichTextBox.cpp.
#include "RichTextBox.h"
#include "RtfReader.h"
#include "TextFormats.h"

#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {

// Pasted HTML that names no font or size takes the note's at the caret, as typed text would.
// Headings and sizes in pixels become the point sizes they are shown at, the only sizes a note
// file keeps: the paste looks the same after the next start as it does now.
void settlePastedFonts(QTextDocument *document, int from, int to, const QTextCharFormat &caret)
{
    const auto hasFamily = [](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::FontFamilies) || f.hasProperty(QTextFormat::FontFamily);
    };
    const qreal basePoints =
        document->defaultFont().pointSizeF() > 0 ? document->defaultFont().pointSizeF() : 12;
    struct Range
    {
        int start;
        int end;
        QTextCharFormat format;
    };
    QList<Range> ranges; // collected first: changing formats reshapes the fragments
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            const int start = std::max(from, piece.position());
            const int end = std::min(to, piece.position() + piece.length());
            if (start >= end)
                continue;
            QTextCharFormat format = piece.charFormat();
            bool changed = false;
            if (format.hasProperty(QTextFormat::FontSizeAdjustment) ||
                format.hasProperty(QTextFormat::FontPixelSize)) {
                const qreal points = rtf::shownPointSize(format, basePoints);
                format.clearProperty(QTextFormat::FontSizeAdjustment);
                format.clearProperty(QTextFormat::FontPixelSize);
                format.setFontPointSize(points);
                changed = true;
            }
            if (!hasFamily(format) && hasFamily(caret)) {
                for (const auto property : {QTextFormat::FontFamilies, QTextFormat::FontFamily})
                    if (caret.hasProperty(property))
                        format.setProperty(property, caret.property(property));
                changed = true;
            }
            if (!format.hasProperty(QTextFormat::FontPointSize) &&
                caret.hasProperty(QTextFormat::FontPointSize)) {
                format.setFontPointSize(caret.fontPointSize());
                changed = true;
            }
            if (changed)
                ranges.append({start, end, format});
        }
    }
    for (const Range &r : std::as_const(ranges)) {
        QTextCursor range(document);
        range.setPosition(r.start);
        range.setPosition(r.end, QTextCursor::KeepAnchor);
        range.setCharFormat(r.format); // the piece's whole format, as it lies within one piece
    }
}

} // namespace

QMimeData *RichTextBox::selectionMimeData() const
{
    auto *data = new QMimeData;
    // With nothing selected every flavour is empty: an empty RTF document would paste as a
    // deletion of whatever the user selects before pasting.
    const bool selected = textCursor().hasSelection();
    data->setText(selected ? SelText() : QString());
    data->setData(RtfMimeType, selected ? SelRTF() : QByteArray());
    // Web mail and browser editors take HTML, not RTF.
    data->setHtml(selected ? textCursor().selection().toHtml() : QString());
    return data;
}

bool RichTextBox::canTakeMimeData(const QMimeData *source)
{
    return source &&
           (source->hasFormat(RtfMimeType) || source->hasFormat(RichTextMimeType) || source->hasHtml() ||
            source->hasText() || source->hasFormat(PngMimeType) || source->hasImage());
}

bool RichTextBox::insertMimeData(const QMimeData *source)
{
    if (!source)
        return false;
    for (const QString &type : {RtfMimeType, RichTextMimeType}) {
        const QByteArray rtf = source->data(type);
        if (!rtf.isEmpty()) {
            setSelRTF(rtf);
            return true;
        }
    }
    if (!source->hasText() && (source->hasFormat(PngMimeType) || source->hasImage())) {
        // A copied picture goes in as the note's own pictures do, so it is saved with the note.
        QByteArray png = source->data(PngMimeType);
        if (png.isEmpty()) {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            qvariant_cast<QImage>(source->imageData()).save(&buffer, "PNG");
        }
        QTextCursor c = textCursor();
        if (rtf::insertPicture(c, png)) {
            setTextCursor(c);
            return true;
        }
    }
    // Web browsers offer HTML beside plain text, but no RTF.
    if (source->hasHtml()) {
        const QTextDocumentFragment fragment = QTextDocumentFragment::fromHtml(source->html());
        if (!fragment.isEmpty()) {
            QTextCursor c = textCursor();
            const QTextCharFormat caret = c.charFormat();
            c.beginEditBlock();
            const int from = c.selectionStart();
            c.insertFragment(fragment);
            settlePastedFonts(document(), from, c.position(), caret);
            c.endEditBlock();
            setTextCursor(c);
            return true;
        }
    }
    return insertPlainTextOf(source);
}

bool RichTextBox::insertPlainTextOf(const QMimeData *source)
{
    if (!source)
        return false;
    QString text = source->text();
    if (text.isEmpty() && source->hasHtml())
        text = QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    if (text.isEmpty())
        return false;
    setSelText(text); // takes the typing format at the insertion point
    return true;
}

// Ctrl+C, Ctrl+X, Ctrl+V and drag and drop take the same route as the Edit menu's commands.
QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    return selectionMimeData();
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return canTakeMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    insertMimeData(source);
}

void RichTextBox::setEditMenu(QMenu *menu)
{
    m_editMenu = menu;
}

void RichTextBox::setContextMenuHandler(std::function<void(const QPoint &globalPos)> handler)
{
    m_contextMenuHandler = std::move(handler);
}

void RichTextBox::setWindowShortcutTest(std::function<bool(const QKeySequence &)> taken)
{
    m_windowShortcut = std::move(taken);
}

bool RichTextBox::event(QEvent *event)
{
    // Left unaccepted, the override request lets the window's shortcut run instead of the box's
    // own binding for the same key.
    if (event->type() == QEvent::ShortcutOverride && m_windowShortcut) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (m_windowShortcut(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QTextEdit::event(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    emit MouseUp(event->button(), event->globalPosition().toPoint());
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTextEdit::mouseDoubleClickEvent(event);
    emit DblClick();
}

void RichTextBox::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    // By the time the box hears of it, the window that took the focus is the active one.
    if (leavesNote(event->reason(), QApplication::activeWindow() != nullptr))
        emit LostFocus();
}

bool RichTextBox::leavesNote(Qt::FocusReason reason, bool programStillActive)
{
    switch (reason) {
    case Qt::PopupFocusReason:   // a menu or popup over the box
    case Qt::MenuBarFocusReason: // Alt, or the menu bar reached by keyboard
        return false;
    case Qt::ActiveWindowFocusReason:
        // Another window of ours (a dialog) takes the focus; another program does not.
        return programStillActive;
    default:
        return true;
    }
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    // The right-button release shows the Edit menu through MouseUp; the press shows nothing.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    if (m_contextMenuHandler) {
        m_contextMenuHandler(viewport()->mapToGlobal(cursorRect().center()));
        event->accept();
        return;
    }
    if (m_editMenu) {
        m_editMenu->popup(viewport()->mapToGlobal(cursorRect().bottomLeft()));
        event->accept();
        return;
    }
    QTextEdit::contextMenuEvent(event);
}
