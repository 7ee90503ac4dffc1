#include "LockedNotePanel.h"

#include "PassphraseField.h"
#include "WrappedCaption.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// A padlock drawn in the text colour: it follows the theme and the font size and needs no icon
// theme on the desktop.
class LockImage final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal s = qMin(width(), height());
        painter.translate((width() - s) / 2, (height() - s) / 2);
        const QColor ink = palette().color(QPalette::WindowText);

        QPen shackle(ink, s * 0.1, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(shackle);
        painter.setBrush(Qt::NoBrush);
        const QRectF bow(s * 0.3, s * 0.08, s * 0.4, s * 0.4);
        painter.drawArc(bow, 0, 180 * 16);
        painter.drawLine(QPointF(bow.left(), bow.center().y()), QPointF(bow.left(), s * 0.48));
        painter.drawLine(QPointF(bow.right(), bow.center().y()), QPointF(bow.right(), s * 0.48));

        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(s * 0.15, s * 0.45, s * 0.7, s * 0.5), s * 0.08, s * 0.08);
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawEllipse(QPointF(s * 0.5, s * 0.65), s * 0.07, s * 0.07);
        painter.drawRect(QRectF(s * 0.47, s * 0.67, s * 0.06, s * 0.15));
    }
};

} // namespace

LockedNotePanel::LockedNotePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LockedNotePanel"));

    auto *content = new QWidget;
    m_lockImage = new LockImage(content);
    m_lockImage->setObjectName(QStringLiteral("LockImage"));
    m_lockImage->setAccessibleName(QStringLiteral("Locked"));
    m_title = new QLabel(QStringLiteral("This note is locked."), content);
    m_title->setObjectName(QStringLiteral("LockedTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);

    m_form = new QWidget(content);
    auto *form = m_form;
    form->setObjectName(QStringLiteral("UnlockForm"));
    m_field = PassphraseField::create(QStringLiteral("Passphrase"), form);
    m_field->setObjectName(QStringLiteral("Passphrase"));
    m_field->setPlaceholderText(QStringLiteral("Passphrase"));
    m_unlock = new QPushButton(QStringLiteral("&Unlock"), form);
    m_unlock->setObjectName(QStringLiteral("UnlockButton"));
    // The caption wraps in a narrow window instead of pushing the panel wider than it.
    m_remember = new QCheckBox(form);
    m_remember->setObjectName(QStringLiteral("RememberPassphrase"));
    auto *rememberCaption =
        new WrappedCaption(QStringLiteral("&Remember in the desktop's keyring"), m_remember, form);
    m_message = PassphraseField::createMessageLine(form);
    m_message->setAlignment(Qt::AlignCenter);

    auto *row = new QHBoxLayout;
    row->addWidget(m_field, 1);
    row->addWidget(m_unlock);
    auto *formLayout = new QVBoxLayout(form);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->addLayout(row);
    auto *rememberRow = new QHBoxLayout;
    rememberRow->addWidget(m_remember, 0, Qt::AlignTop);
    rememberRow->addWidget(rememberCaption, 1);
    formLayout->addLayout(rememberRow);
    formLayout->addWidget(m_message);

    auto *column = new QVBoxLayout(content);
    column->addStretch();
    column->addWidget(m_lockImage, 0, Qt::AlignHCenter);
    column->addWidget(m_title);
    // Centred by stretches rather than by alignment: a layout aligning the form would count the
    // lines of its wrapped caption at the full width and cut off the ones the narrower form needs.
    auto *centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addWidget(form, 100);
    centred->addStretch(1);
    column->addLayout(centred);
    column->addStretch();

    // In a window too small for all of it, the panel scrolls instead of cutting a line off.
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    setFocusProxy(m_field);
    connect(m_field, &QLineEdit::returnPressed, this, &LockedNotePanel::requestUnlock);
    connect(m_unlock, &QPushButton::clicked, this, &LockedNotePanel::requestUnlock);
    connect(m_field, &QLineEdit::textChanged, this, &LockedNotePanel::updateEnabled);
    updateEnabled();
    followFont();
}

void LockedNotePanel::setBusy(bool busy)
{
    m_busy = busy;
    PassphraseField::showMessage(m_message, busy ? QStringLiteral("Unlocking…") : QString());
    updateEnabled();
    // The disabled field gave the keyboard away; the user types on where they were.
    if (!busy && isVisible())
        m_field->setFocus();
}

void LockedNotePanel::showError(const QString &message)
{
    setBusy(false);
    PassphraseField::showMessage(m_message, message);
    m_field->selectAll();
}

void LockedNotePanel::clear()
{
    setBusy(false);
    PassphraseField::wipe(m_field);
}

void LockedNotePanel::setRemember(bool remember)
{
    m_remember->setChecked(remember);
}

void LockedNotePanel::setNoteCaption(const QString &caption)
{
    setAccessibleName(QStringLiteral("%1, locked").arg(caption));
    m_field->setAccessibleDescription(QStringLiteral("The passphrase of \"%1\"").arg(caption));
}

void LockedNotePanel::requestUnlock()
{
    if (m_busy || m_field->text().isEmpty())
        return;
    setBusy(true);
    emit unlockRequested(PassphraseField::secret(m_field), m_remember->isChecked());
}

void LockedNotePanel::updateEnabled()
{
    m_field->setEnabled(!m_busy);
    m_remember->setEnabled(!m_busy);
    m_unlock->setEnabled(!m_busy && !m_field->text().isEmpty());
}

void LockedNotePanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        followFont();
    QWidget::changeEvent(event);
}

void LockedNotePanel::followFont()
{
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    m_title->setFont(large);
    const int line = fontMetrics().height();
    m_lockImage->setFixedSize(line * 5 / 2, line * 5 / 2);
    // Wide enough for a long passphrase, never as wide as a maximised window.
    m_field->setMinimumWidth(fontMetrics().averageCharWidth() * 14);
    m_form->setMaximumWidth(fontMetrics().averageCharWidth() * 48);
}

void LockedNotePanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A low window keeps the words and the field and does without the padlock.
    const int withImage = m_lockImage->height() + m_scroll->widget()->layout()->spacing();
    int needed = m_scroll->widget()->sizeHint().height();
    if (!m_lockImage->isVisible())
        needed += withImage;
    m_lockImage->setVisible(event->size().height() >= needed);
}
