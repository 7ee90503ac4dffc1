#pragma once

#include "RtfParagraphCache.h"

#include <QColor>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>
#include <memory>
#include <optional>

// One note's editor: a QTextEdit that offers what the rest of the program needs of a rich-text
// box. A selection attribute reads as std::nullopt (the mixed value) when the selected characters
// or paragraphs differ in it; with nothing selected the attributes are those of the typing format.
// Positions count characters from 0.
class QMenu;
class QMimeData;
class NoteLayout;

class RichTextBox : public QTextEdit
{
    Q_OBJECT
public:
    enum FindOption { WholeWord = 2, MatchCase = 4, Backward = 16 };
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString &name);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    // Numeric text with leading blanks (" 12"); false when it holds no positive number.
    bool setSelFontSize(const QString &text);
    // An invalid QColor stands for the automatic text colour (no colour of its own).
    std::optional<QColor> SelColor() const;
    void setSelColor(const QColor &color);
    std::optional<bool> SelBullet() const;
    void setSelBullet(bool on);
    void setSelHangingIndent(int twips);

    int SelStart() const;
    void setSelStart(int pos); // collapses the selection to an insertion point
    int SelLength() const;
    void setSelLength(int length); // extends from SelStart
    QString SelText() const;
    void setSelText(const QString &text);
    QByteArray SelRTF() const;
    void setSelRTF(const QByteArray &rtf);
    QString Text() const;
    void setText(const QString &text);
    QByteArray TextRTF() const;
    void setTextRTF(const QByteArray &rtf);

    // RTF is read as rich text, any other file as plain text. On failure the content is left as
    // it was and error (when given) says why.
    bool LoadFile(const QString &path, QString *error = nullptr);
    // Like LoadFile, but adds the file's content at the insertion point, as one step the user
    // can undo. Plain text comes in without the formatting around the insertion point.
    bool insertFile(const QString &path, QString *error = nullptr);
    // Empties the note as one step the user can undo (setText starts a fresh history).
    void clearText();

    // Every change made while one of these lives is one step of the note's undo history: a
    // command that sets several attributes is undone by one Undo.
    class UndoStep
    {
    public:
        explicit UndoStep(RichTextBox *box);
        ~UndoStep();
        UndoStep(const UndoStep &) = delete;
        UndoStep &operator=(const UndoStep &) = delete;

    private:
        QTextCursor m_cursor;
        int m_steps = 0;
    };
    // Writes the whole content as RTF, atomically (a crash never leaves a truncated file).
    bool SaveFile(const QString &path, QString *error = nullptr);

    // Shows a document filled elsewhere (on another thread, say) instead of the present one, with
    // the box's font and text options; reported as one change, like a load. Paragraphs already
    // written out from it spare the next TextRTF() their encoding. The caret ends after the text
    // unless the note is longer than CaretAtEndUpTo characters.
    void adoptDocument(std::unique_ptr<QTextDocument> doc, rtf::ParagraphCache written = {});
    // The same for a document someone else owns (a note's), which must outlive its being shown
    // here; paragraphs is the cache its RTF is written with, told of every change from now on.
    void showDocument(QTextDocument *doc, rtf::ParagraphCache *paragraphs);
    static constexpr int CaretAtEndUpTo = 100'000;
    // Paragraphs the last TextRTF() had to encode (the others it had from before).
    int paragraphsEncodedLastTime() const { return m_rtfCache->encodedLastTime(); }
    // Paragraphs it had to read (those untouched since the one before it needs not).
    int paragraphsReadLastTime() const { return m_rtfCache->readLastTime(); }

    // Searches from start (with Backward, for a match that begins before start); returns the
    // match position and selects it, or -1.
    int Find(const QString &text, int start, int options);
    void UpTo(const QString &charSet, bool forward, bool negate);
    void Span(const QString &charSet, bool forward, bool negate);

    // Clipboard flavours: plain text beside RTF, which word processors on this desktop offer and
    // accept as "text/rtf" (some only as "text/richtext").
    static const QString RtfMimeType;
    static const QString RichTextMimeType;
    static const QString PngMimeType;
    // The selection as plain text and RTF side by side (an empty selection gives empty texts).
    QMimeData *selectionMimeData() const;
    // Inserts clipboard or drop data over the selection, preferring RTF, then HTML, then plain
    // text. Returns false when the data holds nothing this box can take.
    bool insertMimeData(const QMimeData *source);
    // Inserts only the text of the data, in the typing format at the insertion point.
    bool insertPlainTextOf(const QMimeData *source);
    static bool canTakeMimeData(const QMimeData *source);

    // The menu the context-menu key shows (a right-button release is handled by the owner of
    // MouseUp, so the pointer and the keyboard show the same menu).
    void setEditMenu(QMenu *menu);
    // Shows the note's context menu for the menu key instead of the plain Edit menu, at the given
    // point (in global coordinates, at the caret).
    void setContextMenuHandler(std::function<void(const QPoint &globalPos)> handler);

    // Whether losing the focus for this reason leaves the note (LostFocus, which writes it back):
    // another control or window of the program taking the focus does; a menu, the menu bar reached
    // by keyboard or another program does not. programStillActive: a window of ours is active.
    static bool leavesNote(Qt::FocusReason reason, bool programStillActive);

    // The window's commands win over the box's own key bindings (Shift+Del is "Clear Text", not
    // Cut): a key for which this answers true goes to the window's shortcut.
    void setWindowShortcutTest(std::function<bool(const QKeySequence &)> taken);

signals:
    void Change();
    void SelChange();
    void MouseUp(Qt::MouseButton button, const QPoint &globalPos);
    void DblClick();
    void LostFocus();

protected:
    bool event(QEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    template <typename T, typename Get> std::optional<T> uniformCharAttribute(Get get) const;
    template <typename T, typename Get> std::optional<T> uniformBlockAttribute(Get get) const;
    QTextCharFormat resolved(const QTextCharFormat &format) const;
    void mergeFormat(const QTextCharFormat &format);
    void replaceContent(const std::function<void()> &write);
    void emitSelChangeIfMoved();
    void installLayout(QTextDocument *doc);

    QPointer<QMenu> m_editMenu;
    std::function<void(const QPoint &globalPos)> m_contextMenuHandler;
    std::function<bool(const QKeySequence &)> m_windowShortcut;
    int m_lastAnchor = 0;
    int m_lastPosition = 0;
    // Writing a big note again (a recovery copy while typing, a save) encodes only what changed;
    // the layout tells it what did, so the rest is not even read.
    rtf::ParagraphCache m_ownParagraphs;                      // for a document of the box's own
    rtf::ParagraphCache *m_rtfCache = &m_ownParagraphs;       // that of the document shown
    QPointer<NoteLayout> m_layout;
};
