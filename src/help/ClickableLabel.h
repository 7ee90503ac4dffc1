#pragma once

#include <QLabel>

// A label that acts like a link: a pointing hand over it, clicked() on a left-button release
// inside it, and Enter or Space when it has the keyboard focus.
class ClickableLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
