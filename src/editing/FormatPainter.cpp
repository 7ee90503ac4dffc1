#include "FormatPainter.h"

#include "RichTextBox.h"

#include <QCursor>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

// A small brush, so the user sees that the next mouse release paints.
QCursor painterPointer()
{
    QPixmap pix(24, 24);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 210, 60));
    p.drawRect(9, 1, 13, 8);
    p.setBrush(Qt::black);
    p.drawRect(14, 9, 3, 5);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(15, 14, 15, 22);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(1, 1, 1, 9); // the hot spot's mark
    p.drawLine(1, 1, 7, 1);
    p.end();
    return QCursor(pix, 1, 1);
}

} // namespace

FormatPainter::FormatPainter(EditorAccess access, QObject *parent)
    : QObject(parent)
    , m_access(std::move(access))
{
}

void FormatPainter::setEditors(const QList<RichTextBox *> &editors)
{
    m_editors.clear();
    for (RichTextBox *box : editors)
        m_editors.append(box);
}

int FormatPainter::roundHalfToEven(double points)
{
    const double lower = std::floor(points);
    const double diff = points - lower;
    if (diff > 0.5)
        return int(lower) + 1;
    if (diff < 0.5)
        return int(lower);
    return int(lower) % 2 == 0 ? int(lower) : int(lower) + 1;
}

void FormatPainter::arm()
{
    m_state = Armed;
}

void FormatPainter::run()
{
    RichTextBox *box = m_access.activeBox();
    if (m_state == Armed) {
        if (box)
            capture(box);
        m_state = Captured;
        if (box)
            box->setSelLength(0);
        showPainterPointer(true);
    } else if (m_state == Captured) {
        if (box)
            apply(box);
        m_state = Applied;
        showPainterPointer(false);
        emit applied();
    }
}

// A mixed attribute cannot be read and keeps what the previous capture held.
void FormatPainter::capture(RichTextBox *box)
{
    if (const auto v = box->SelBold())
        m_format.bold = *v;
    if (const auto v = box->SelItalic())
        m_format.italic = *v;
    if (const auto v = box->SelUnderline())
        m_format.underline = *v;
    if (const auto v = box->SelStrikeThru())
        m_format.strikeThru = *v;
    if (const auto v = box->SelFontName())
        m_format.fontName = *v;
    if (const auto v = box->SelFontSize())
        m_format.fontSize = roundHalfToEven(*v);
    if (const auto v = box->SelColor()) {
        m_format.color = *v;
        m_format.colorRead = true;
    }
}

void FormatPainter::apply(RichTextBox *box)
{
    const RichTextBox::UndoStep step(box); // one painting, one Undo
    box->setSelBold(m_format.bold);
    box->setSelItalic(m_format.italic);
    box->setSelUnderline(m_format.underline);
    box->setSelStrikeThru(m_format.strikeThru);
    if (!m_format.fontName.isEmpty())
        box->setSelFontName(m_format.fontName);
    if (m_format.fontSize > 0)
        box->setSelFontSize(double(m_format.fontSize));
    if (m_format.colorRead)
        box->setSelColor(m_format.color);
}

void FormatPainter::showPainterPointer(bool on)
{
    const QCursor pointer = on ? painterPointer() : QCursor(Qt::IBeamCursor);
    for (const QPointer<RichTextBox> &box : std::as_const(m_editors)) {
        if (!box)
            continue;
        box->viewport()->setCursor(pointer);
    }
}
