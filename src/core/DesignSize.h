#pragma once

#include <QSize>
#include <QWidget>

// The windows were drawn in twips (1/1440 inch). Those sizes are only where a layout starts:
// a larger desktop font or scale makes the window grow so that every caption stays whole.
namespace DesignSize {

inline int twips(const QWidget *widget, int value)
{
    return qRound(value * widget->logicalDpiX() / 1440.0);
}

inline QSize twips(const QWidget *widget, int width, int height)
{
    return QSize(twips(widget, width), twips(widget, height));
}

} // namespace DesignSize
