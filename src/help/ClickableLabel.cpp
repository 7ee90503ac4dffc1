#include "ClickableLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    // Reachable with Tab, so the links do not need a mouse.
    setFocusPolicy(Qt::StrongFocus);
}

ClickableLabel::ClickableLabel(QWidget *parent) : ClickableLabel(QString(), parent) {}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Pressing on the link and letting go elsewhere is the usual way to change one's mind.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}
