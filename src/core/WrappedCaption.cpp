#include "WrappedCaption.h"

#include <QCheckBox>
#include <QMouseEvent>

WrappedCaption::WrappedCaption(const QString &text, QCheckBox *box, QWidget *parent) : QLabel(text, parent)
{
    setWordWrap(true);
    setBuddy(box);
    box->setAccessibleName(QString(text).remove(u'&'));
}

void WrappedCaption::mouseReleaseEvent(QMouseEvent *event)
{
    if (auto *box = qobject_cast<QCheckBox *>(buddy()); box && rect().contains(event->position().toPoint()))
        box->click();
    QLabel::mouseReleaseEvent(event);
}
