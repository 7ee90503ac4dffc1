#pragma once

#include <QLabel>

class QCheckBox;

// A check box's caption that wraps onto further lines, as one sentence, where a narrow window or a
// large font has no room for it on one: the box carries the caption for screen readers, the label
// beside it shows it and passes clicks and its access key on.
class WrappedCaption final : public QLabel
{
public:
    WrappedCaption(const QString &text, QCheckBox *box, QWidget *parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
