#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;

// A caption drawn twice, a coloured copy a little offset under the caption itself, for a raised
// or shadowed look. It takes the room both copies need, so neither is ever cut off in a layout.
class EmbossedText final : public QWidget
{
    Q_OBJECT
public:
    // `offset` is where the under copy lies relative to the caption, in pixels.
    EmbossedText(const QString &text, const QFont &font, const QColor &under, const QColor &over,
                 QPoint offset, QWidget *parent = nullptr);

    QLabel *caption() const { return m_over; }
    QLabel *underCopy() const { return m_under; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *m_under;
    QLabel *m_over;
    QPoint m_offset;
};
