#include "RichTextBox.h"

#include "DurableFile.h"

#include "EditingLog.h"
#include "NoteLayout.h"
#include "NoteText.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "SettingValue.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStringDecoder>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

const QString RichTextBox::RtfMimeType = QStringLiteral("text/rtf");
const QString RichTextBox::RichTextMimeType = QStringLiteral("text/richtext");
const QString RichTextBox::PngMimeType = QStringLiteral("image/png");

namespace {

bool isBold(const QTextCharFormat &f)
{
    return f.fontWeight() > QFont::Medium;
}

// The first of the run's font families; older documents carry a single family property.
QString familyOf(const QTextCharFormat &f)
{
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty() && !families.first().isEmpty())
            return families.first();
    }
    return f.stringProperty(QTextFormat::FontFamily);
}

int alignmentCode(Qt::Alignment a)
{
    if (a & (Qt::AlignRight | Qt::AlignTrailing))
        return RichTextBox::AlignRight;
    if (a & Qt::AlignHCenter)
        return RichTextBox::AlignCenter;
    return RichTextBox::AlignLeft; // left, leading and justified paragraphs
}

Qt::Alignment qtAlignment(int code)
{
    switch (code) {
    case RichTextBox::AlignRight:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case RichTextBox::AlignCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

// Paragraph ends read as '\n', so a set written with "\r\n" or "\n" stops at them.
bool inSet(QChar c, const QString &set)
{
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
        return set.contains(u'\n') || set.contains(u'\r');
    return set.contains(c);
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    installLayout(document());
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::emitSelChangeIfMoved);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::emitSelChangeIfMoved);
}

RichTextBox::~RichTextBox()
{
    // The layout may outlive the box with a document someone else owns.
    if (m_layout)
        m_layout->reportChangesTo(nullptr);
}

void RichTextBox::installLayout(QTextDocument *doc)
{
    if (m_layout)
        m_layout->reportChangesTo(nullptr);
    m_layout = new NoteLayout(doc);
    doc->setDocumentLayout(m_layout);
    m_layout->reportChangesTo(m_rtfCache);
}

void RichTextBox::emitSelChangeIfMoved()
{
    // Qt reports one move as both a cursor and a selection change; the toolbar needs it once.
    const QTextCursor c = textCursor();
    if (c.anchor() == m_lastAnchor && c.position() == m_lastPosition)
        return;
    m_lastAnchor = c.anchor();
    m_lastPosition = c.position();
    emit SelChange();
}

// Unset properties read as the document's base font, so "no size of its own" and "the base
// size" are the same value, as the user sees them.
QTextCharFormat RichTextBox::resolved(const QTextCharFormat &format) const
{
    QTextCharFormat f = format;
    const QFont base = document()->defaultFont();
    const QString family = familyOf(f);
    f.setFontFamilies(QStringList{family.isEmpty() ? base.family() : family});
    if (f.fontPointSize() <= 0)
        f.setFontPointSize(base.pointSizeF() > 0 ? base.pointSizeF() : 0);
    if (!f.hasProperty(QTextFormat::FontWeight))
        f.setFontWeight(base.weight());
    return f;
}

// Walks only the formatting runs inside the selection: a caret move costs nothing, a selection
// costs its runs, never the rest of the note.
template <typename T, typename Get> std::optional<T> RichTextBox::uniformCharAttribute(Get get) const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return get(resolved(c.charFormat()));
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    std::optional<T> value;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = frag.position();
            if (fs + frag.length() <= start)
                continue;
            if (fs >= end)
                break;
            const T v = get(resolved(frag.charFormat()));
            if (!value)
                value = v;
            else if (!(*value == v))
                return std::nullopt;
        }
    }
    if (!value) // only empty paragraphs selected
        return get(resolved(c.charFormat()));
    return value;
}

template <typename T, typename Get> std::optional<T> RichTextBox::uniformBlockAttribute(Get get) const
{
    const QTextCursor c = textCursor();
    const QTextBlock last = document()->findBlock(c.selectionEnd());
    QTextBlock b = document()->findBlock(c.selectionStart());
    const T first = get(b);
    while (b.isValid() && b != last) {
        b = b.next();
        if (b.isValid() && !(get(b) == first))
            return std::nullopt;
    }
    return first;
}

void RichTextBox::mergeFormat(const QTextCharFormat &format)
{
    mergeCurrentCharFormat(format);
}

std::optional<bool> RichTextBox::SelBold() const
{
    return uniformCharAttribute<bool>([](const QTextCharFormat &f) { return isBold(f); });
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeFormat(f);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return uniformCharAttribute<bool>([](const QTextCharFormat &f) { return f.fontItalic(); });
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeFormat(f);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return uniformCharAttribute<bool>([](const QTextCharFormat &f) { return f.fontUnderline(); });
}

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeFormat(f);
}

std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return uniformCharAttribute<bool>([](const QTextCharFormat &f) { return f.fontStrikeOut(); });
}

void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeFormat(f);
}

std::optional<int> RichTextBox::SelAlignment() const
{
    return uniformBlockAttribute<int>(
        [](const QTextBlock &b) { return alignmentCode(b.blockFormat().alignment()); });
}

void RichTextBox::setSelAlignment(int alignment)
{
    setAlignment(qtAlignment(alignment));
}

std::optional<QString> RichTextBox::SelFontName() const
{
    return uniformCharAttribute<QString>([](const QTextCharFormat &f) { return familyOf(f); });
}

void RichTextBox::setSelFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeFormat(f);
}

std::optional<double> RichTextBox::SelFontSize() const
{
    return uniformCharAttribute<double>([](const QTextCharFormat &f) { return f.fontPointSize(); });
}

void RichTextBox::setSelFontSize(double points)
{
    if (!(points > 0) || points > 1638)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeFormat(f);
}

bool RichTextBox::setSelFontSize(const QString &text)
{
    const double points = SettingValue::numeric(text);
    if (!(points > 0) || points > 1638)
        return false;
    setSelFontSize(points);
    return true;
}

std::optional<QColor> RichTextBox::SelColor() const
{
    return uniformCharAttribute<QColor>([](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush
                   ? f.foreground().color()
                   : QColor();
    });
}

void RichTextBox::setSelColor(const QColor &color)
{
    if (color.isValid()) {
        QTextCharFormat f;
        f.setForeground(color);
        mergeFormat(f);
        return;
    }
    // Back to the automatic colour: a merge cannot remove a property, so each run is rewritten.
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = currentCharFormat();
        f.clearForeground();
        setCurrentCharFormat(f);
        return;
    }
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    QTextCursor w(document());
    w.beginEditBlock();
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = std::max(frag.position(), start);
            const int fe = std::min(frag.position() + frag.length(), end);
            if (fs >= fe)
                continue;
            QTextCharFormat f = frag.charFormat();
            f.clearForeground();
            w.setPosition(fs);
            w.setPosition(fe, QTextCursor::KeepAnchor);
            w.setCharFormat(f);
        }
    }
    w.endEditBlock();
}

std::optional<bool> RichTextBox::SelBullet() const
{
    return uniformBlockAttribute<bool>([](const QTextBlock &b) { return b.textList() != nullptr; });
}

void RichTextBox::setSelBullet(bool on)
{
    QTextCursor c = textCursor();
    c.beginEditBlock();
    if (on) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        c.createList(list); // joins every selected paragraph, bulleted ones too
    } else {
        const QTextBlock last = document()->findBlock(c.selectionEnd());
        for (QTextBlock b = document()->findBlock(c.selectionStart()); b.isValid(); b = b.next()) {
            if (QTextList *l = b.textList()) {
                // Removing a paragraph from a list moves it by the list's indent; keep its own.
                const int indent = b.blockFormat().indent();
                l->remove(b);
                QTextCursor bc(b);
                QTextBlockFormat bf = b.blockFormat();
                bf.setIndent(indent);
                bc.setBlockFormat(bf);
            }
            if (b == last)
                break;
        }
    }
    c.endEditBlock();
}

void RichTextBox::setSelHangingIndent(int twips)
{
    QTextBlockFormat f;
    f.setTextIndent(-twips / 20.0);
    textCursor().mergeBlockFormat(f);
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int pos)
{
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(pos, 0, document()->characterCount() - 1));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + length, 0, document()->characterCount() - 1), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void RichTextBox::setSelText(const QString &text)
{
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
}

QByteArray RichTextBox::SelRTF() const
{
    return rtf::writeSelection(textCursor());
}

void RichTextBox::setSelRTF(const QByteArray &rtf)
{
    QTextCursor c = textCursor();
    c.beginEditBlock();
    const rtf::ReadResult r = rtf::insertAt(c, rtf);
    c.endEditBlock();
    if (!r.warning.isEmpty())
        qCInfo(lcEditing) << "inserted RTF was damaged:" << r.warning;
    setTextCursor(c);
}

QString RichTextBox::Text() const
{
    return toPlainText();
}

// A whole-content write reports one change and one selection move, not the many steps a
// reader takes.
void RichTextBox::replaceContent(const std::function<void()> &write)
{
    {
        const QSignalBlocker quiet(this);
        write();
        document()->clearUndoRedoStacks();
        document()->setModified(false);
    }
    emit Change();
    m_lastAnchor = -1;
    emitSelChangeIfMoved();
}

void RichTextBox::setText(const QString &text)
{
    replaceContent([&] { setPlainText(text); });
}

QByteArray RichTextBox::TextRTF() const
{
    return NoteText::encode(document(), *m_rtfCache);
}

void RichTextBox::setTextRTF(const QByteArray &bytes)
{
    replaceContent([&] { rtf::readInto(document(), bytes); });
}

namespace {

// A file's bytes, or nothing with the reason in error.
std::optional<QByteArray> readBytes(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace

bool RichTextBox::LoadFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes)
        return false;
    if (rtf::looksLikeRtf(*bytes)) {
        // A reader that gives up part-way must not leave the note half replaced.
        std::unique_ptr<QTextDocument> backup(document()->clone());
        bool ok = false;
        QString warning;
        replaceContent([&] {
            const rtf::ReadResult r = rtf::readInto(document(), *bytes);
            ok = r.ok;
            warning = r.warning;
            if (!ok) {
                document()->clear();
                QTextCursor(document()).insertFragment(QTextDocumentFragment(backup.get()));
            }
        });
        if (!ok && error)
            *error = NoteText::unreadableRtf(warning);
        return ok;
    }
    const QString text = NoteText::plainTextOf(*bytes);
    replaceContent([&] { setPlainText(text); });
    return true;
}

bool RichTextBox::insertFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes)
        return false;
    if (rtf::looksLikeRtf(*bytes)) {
        // Read once aside first: a damaged file adds nothing rather than part of itself.
        QTextDocument trial;
        const rtf::ReadResult r = rtf::readInto(&trial, *bytes);
        if (!r.ok) {
            if (error)
                *error = NoteText::unreadableRtf(r.warning);
            return false;
        }
        const UndoStep step(this);
        const bool atEnd = textCursor().selectionEnd() == document()->characterCount() - 1;
        setSelRTF(*bytes);
        // A document's closing paragraph mark ends its last paragraph; at the end of the note it
        // leaves no empty one behind, as loading the same file does.
        QTextCursor c = textCursor();
        if (atEnd && c.atEnd() && c.atBlockStart() && !c.atStart()) {
            c.deletePreviousChar();
            setTextCursor(c);
        }
        return true;
    }
    QTextCursor c = textCursor();
    c.insertText(NoteText::plainTextOf(*bytes), QTextCharFormat());
    setTextCursor(c);
    return true;
}

void RichTextBox::clearText()
{
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    setTextCursor(c);
}

RichTextBox::UndoStep::UndoStep(RichTextBox *box)
{
    if (!box)
        return;
    m_cursor = QTextCursor(box->document());
    m_steps = box->document()->availableUndoSteps();
    m_cursor.beginEditBlock();
}

RichTextBox::UndoStep::~UndoStep()
{
    if (m_cursor.isNull())
        return;
    QTextDocument *doc = m_cursor.document();
    // Closing a block reports a change even when nothing changed in it, which would mark an
    // untouched note as edited (a click that only set the typing format).
    const bool untouched = doc->isUndoRedoEnabled() && doc->availableUndoSteps() == m_steps;
    const QSignalBlocker quiet(untouched ? doc : nullptr);
    m_cursor.endEditBlock();
}

void RichTextBox::adoptDocument(std::unique_ptr<QTextDocument> doc, rtf::ParagraphCache written)
{
    QTextDocument *taken = doc.release();
    taken->setParent(this);
    m_ownParagraphs = std::move(written);
    showDocument(taken, &m_ownParagraphs);
}

void RichTextBox::showDocument(QTextDocument *doc, rtf::ParagraphCache *paragraphs)
{
    QTextDocument *old = document();
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    doc->setIndentWidth(old->indentWidth());
    doc->setUseDesignMetrics(old->useDesignMetrics());
    doc->setUndoRedoEnabled(old->isUndoRedoEnabled());
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    QTextDocument *taken = doc;
    // The paragraphs written from it so far: when they were written while the cache tracked it
    // and it is unchanged since, the first write here reads only what was typed; otherwise every
    // paragraph.
    if (m_layout)
        m_layout->reportChangesTo(nullptr);
    m_rtfCache = paragraphs;
    installLayout(taken);
    // Whatever marks up the note (spell checking) follows it to its new document, and marks it
    // up now, quietly as a load does: marking up is no change to the note.
    QList<QSyntaxHighlighter *> highlighters = findChildren<QSyntaxHighlighter *>();
    highlighters += old->findChildren<QSyntaxHighlighter *>();
    QList<QSyntaxHighlighter *> moved;
    for (QSyntaxHighlighter *highlighter : std::as_const(highlighters)) {
        if (highlighter->document() != old)
            continue;
        if (highlighter->parent() == old)
            highlighter->setParent(taken);
        highlighter->setDocument(taken);
        moved << highlighter;
    }
    const bool ownsOld = old->parent() == this;
    {
        const QSignalBlocker quiet(this);
        setDocument(taken); // deletes the document the box made itself
        // The caret ends after the text, where a load into the box leaves it. A big note opens
        // at its top instead: the caret at its end would have the whole note laid out before the
        // window could show it.
        if (taken->characterCount() <= CaretAtEndUpTo) {
            QTextCursor end(taken);
            end.movePosition(QTextCursor::End);
            setTextCursor(end);
        }
        // The document stays quiet too: whoever owns it hears of no change.
        const QSignalBlocker quietDocument(moved.isEmpty() ? nullptr : taken);
        for (QSyntaxHighlighter *highlighter : std::as_const(moved))
            QCoreApplication::sendPostedEvents(highlighter, QEvent::MetaCall);
    }
    if (ownsOld)
        delete old;
    emit Change();
    m_lastAnchor = -1;
    emitSelChangeIfMoved();
}

bool RichTextBox::SaveFile(const QString &path, QString *error)
{
    // In full or not at all: a copy cut off by a full disk must not pass for the note.
    if (const DurableFile::Failure failure = DurableFile::write(path, TextRTF())) {
        if (error)
            *error = failure.detail;
        qCWarning(lcEditing) << "could not write" << path << failure.detail;
        return false;
    }
    return true;
}

int RichTextBox::Find(const QString &text, int start, int options)
{
    if (text.isEmpty() || start < 0 || start >= document()->characterCount())
        return -1;
    QTextDocument::FindFlags flags;
    if (options & WholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options & Backward)
        flags |= QTextDocument::FindBackward;
    const QTextCursor found = document()->find(text, start, flags);
    if (found.isNull())
        return -1;
    setTextCursor(found);
    return found.selectionStart();
}

void RichTextBox::UpTo(const QString &charSet, bool forward, bool negate)
{
    // From the start of the selection: after a double-click the item is the one that holds the
    // start of the clicked word, whatever the word's last character is.
    QTextCursor c = textCursor();
    int p = c.selectionStart();
    const int last = document()->characterCount() - 1;
    const QTextDocument *doc = document();
    if (forward) {
        while (p < last && inSet(doc->characterAt(p), charSet) == negate)
            ++p;
    } else {
        while (p > 0 && inSet(doc->characterAt(p - 1), charSet) == negate)
            --p;
    }
    c.setPosition(p);
    setTextCursor(c);
}

void RichTextBox::Span(const QString &charSet, bool forward, bool negate)
{
    QTextCursor c = textCursor();
    int p = c.position();
    const int last = document()->characterCount() - 1;
    const QTextDocument *doc = document();
    if (forward) {
        while (p < last && inSet(doc->characterAt(p), charSet) != negate)
            ++p;
    } else {
        while (p > 0 && inSet(doc->characterAt(p - 1), charSet) != negate)
            --p;
    }
    c.setPosition(p, QTextCursor::KeepAnchor);
    setTextCursor(c);
}
