#include "EmbossedText.h"

#include <QLabel>

namespace {
QLabel *copy(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
} // namespace

EmbossedText::EmbossedText(const QString &text, const QFont &font, const QColor &under, const QColor &over,
                           QPoint offset, QWidget *parent)
    : QWidget(parent), m_under(copy(text, font, under, this)), m_over(copy(text, font, over, this)),
      m_offset(offset)
{
    // A screen reader reads the caption once; the under copy is only a look.
    m_under->setAccessibleName(QString());
    m_under->setAccessibleDescription(QString());
    setAccessibleName(text);
    m_over->raise();
}

QSize EmbossedText::sizeHint() const
{
    return m_over->sizeHint() + QSize(qAbs(m_offset.x()), qAbs(m_offset.y()));
}

QSize EmbossedText::minimumSizeHint() const
{
    return sizeHint();
}

void EmbossedText::resizeEvent(QResizeEvent *)
{
    const QSize inner = size() - QSize(qAbs(m_offset.x()), qAbs(m_offset.y()));
    const QPoint overAt(qMax(0, -m_offset.x()), qMax(0, -m_offset.y()));
    m_over->setGeometry(QRect(overAt, inner));
    m_under->setGeometry(QRect(overAt + m_offset, inner));
}
