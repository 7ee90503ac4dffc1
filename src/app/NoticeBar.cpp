#include "NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char *const kEvent = "noticeEvent";
}

NoticeBar::NoticeBar(QWidget *parent) : QFrame(parent), m_rows(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("noticeBar"));
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xce));
    colours.setColor(QPalette::WindowText, QColor(0x3a, 0x2e, 0x00));
    setPalette(colours);
    m_rows->setContentsMargins(6, 2, 2, 2);
    m_rows->setSpacing(2);
    hide();
}

void NoticeBar::show(const QString &event, const QString &text, const QString &actionText,
                     std::function<void()> action)
{
    for (QWidget *row : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->property(kEvent).toString() == event) {
            row->findChild<QLabel *>()->setText(text);
            return;
        }
    }
    auto *row = new QWidget(this);
    row->setProperty(kEvent, event);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(text, row);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    auto *close = new QToolButton(row);
    close->setText(QStringLiteral("\u00d7"));
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);
    close->setToolTip(QStringLiteral("Dismiss"));
    close->setAccessibleName(QStringLiteral("Dismiss"));
    layout->addWidget(label, 1);
    if (action) {
        auto *button = new QPushButton(actionText, row);
        button->setObjectName(QStringLiteral("noticeAction"));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, std::move(action));
        layout->addWidget(button, 0, Qt::AlignTop);
    }
    layout->addWidget(close, 0, Qt::AlignTop);
    m_rows->addWidget(row);
    connect(close, &QToolButton::clicked, this, [this, event] { dismiss(event); });
    setVisible(true);
}

void NoticeBar::dismiss(const QString &event)
{
    for (QWidget *row : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->property(kEvent).toString() == event) {
            row->hide();
            row->deleteLater();
            row->setProperty(kEvent, QVariant());
        }
    }
    if (texts().isEmpty())
        hide();
}

QStringList NoticeBar::texts() const
{
    QStringList result;
    for (QWidget *row : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->property(kEvent).isValid())
            result << row->findChild<QLabel *>()->text();
    }
    return result;
}
