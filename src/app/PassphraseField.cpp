#include "PassphraseField.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include <algorithm>

QLineEdit *PassphraseField::create(const QString &accessibleName, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(accessibleName);
    // No menu offering Paste, Undo and the like on a passphrase, and no text dragged out of it.
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->setDragEnabled(false);
    return field;
}

QCheckBox *PassphraseField::createShowBox(std::initializer_list<QLineEdit *> fields, QWidget *parent)
{
    auto *show = new QCheckBox(QStringLiteral("Sho&w"), parent);
    show->setObjectName(QStringLiteral("ShowPassphrase"));
    show->setAccessibleName(QStringLiteral("Show the passphrase"));
    for (QLineEdit *field : fields) {
        QObject::connect(show, &QCheckBox::toggled, field, [field](bool shown) {
            field->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        });
    }
    return show;
}

QLabel *PassphraseField::createMessageLine(QWidget *parent)
{
    auto *line = new QLabel(parent);
    line->setObjectName(QStringLiteral("PassphraseMessage"));
    line->setWordWrap(true);
    line->setVisible(false);
    return line;
}

void PassphraseField::showMessage(QLabel *line, const QString &text)
{
    line->setText(text);
    line->setVisible(!text.isEmpty());
}

void PassphraseField::growToFit(QWidget *dialog)
{
    // A layout with wrapped lines does not hold its window to a minimum size, so a line shown
    // after the window opened does not make it grow by itself.
    if (!dialog->layout())
        return;
    dialog->layout()->activate(); // the sizes of nested layouts are stale until then
    const int width = qMax(dialog->width(), dialog->layout()->totalMinimumSize().width());
    const int height = qMax(dialog->height(), dialog->layout()->totalHeightForWidth(width));
    if (width != dialog->width() || height != dialog->height())
        dialog->resize(width, height);
}

Secret PassphraseField::secret(const QLineEdit *field)
{
    return Secret(field->text());
}

void PassphraseField::wipe(QLineEdit *field)
{
    QString text = field->text(); // shares the field's characters, not a copy of them
    // Text set from a literal lives in read-only memory and is nothing typed: it has no owner
    // block (isMutable() is false) and is left alone.
    if (!text.isEmpty() && text.data_ptr().isMutable()) {
        auto *chars = const_cast<QChar *>(text.constData());
        std::fill(chars, chars + text.size(), QChar(u'\0'));
    }
    field->clear();
}
