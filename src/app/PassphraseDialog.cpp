#include "PassphraseDialog.h"

#include "PassphraseField.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PassphraseDialog::PassphraseDialog(const QString &title, const QString &text, const QString &acceptText,
                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PassphraseDialog"));
    setWindowTitle(title);
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);

    auto *intro = new QLabel(text, this);
    intro->setWordWrap(true);
    m_field = PassphraseField::create(QStringLiteral("Passphrase"), this);
    m_field->setObjectName(QStringLiteral("Passphrase"));
    QCheckBox *show = PassphraseField::createShowBox({m_field}, this);
    m_message = PassphraseField::createMessageLine(this);

    auto *buttons = new QDialogButtonBox(this);
    m_accept = buttons->addButton(acceptText, QDialogButtonBox::AcceptRole);
    m_accept->setObjectName(QStringLiteral("AcceptButton"));
    m_accept->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    // The button only hands the passphrase over; the caller closes the dialog once it is right.
    connect(m_accept, &QPushButton::clicked, this, &PassphraseDialog::give);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("&Passphrase:"), m_field);
    form->addRow(QString(), show);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_message); // full width: the caller's message may be long
    layout->addStretch();
    layout->addWidget(buttons);

    connect(m_field, &QLineEdit::textChanged, this, [this] { setChecking(m_checking); });
    setChecking(false);
    m_field->setFocus();
}

PassphraseDialog *PassphraseDialog::removeLock(const QString &noteCaption, QWidget *parent)
{
    return new PassphraseDialog(
        QStringLiteral("Remove Lock"),
        QStringLiteral("Enter the passphrase of \"%1\" to store it as a plain note again. "
                       "Anyone who can read the note directory will be able to read it.")
            .arg(noteCaption),
        QStringLiteral("&Remove Lock"), parent);
}

void PassphraseDialog::give()
{
    if (m_checking || m_field->text().isEmpty())
        return;
    PassphraseField::showMessage(m_message, QString());
    setChecking(true);
    emit passphraseGiven(PassphraseField::secret(m_field));
}

void PassphraseDialog::setChecking(bool checking)
{
    m_checking = checking;
    m_field->setReadOnly(checking);
    m_accept->setEnabled(!checking && !m_field->text().isEmpty());
}

void PassphraseDialog::showError(const QString &message)
{
    setChecking(false);
    PassphraseField::showMessage(m_message, message);
    PassphraseField::growToFit(this);
    m_field->selectAll();
    m_field->setFocus();
}

void PassphraseDialog::done(int result)
{
    setChecking(false);
    PassphraseField::wipe(m_field);
    QDialog::done(result);
}
