#include "LockNoteDialog.h"

#include "PassphraseField.h"
#include "PassphraseStrength.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LockNoteDialog::LockNoteDialog(const QString &noteCaption, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LockNoteDialog"));
    setWindowTitle(QStringLiteral("Lock Note"));
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);

    auto *intro = new QLabel(QStringLiteral("Lock the note \"%1\" with a passphrase. Without it the note "
                                            "cannot be read: the passphrase cannot be recovered.")
                                 .arg(noteCaption),
                             this);
    intro->setWordWrap(true);

    m_passphrase = PassphraseField::create(QStringLiteral("Passphrase"), this);
    m_passphrase->setObjectName(QStringLiteral("Passphrase"));
    m_repeat = PassphraseField::create(QStringLiteral("Repeat passphrase"), this);
    m_repeat->setObjectName(QStringLiteral("RepeatPassphrase"));
    m_strength = new QLabel(this);
    m_strength->setObjectName(QStringLiteral("PassphraseStrength"));
    m_mismatch = PassphraseField::createMessageLine(this);
    // Both lines are short; unwrapped, they widen the dialog rather than lose a line.
    m_mismatch->setWordWrap(false);
    m_mismatch->setObjectName(QStringLiteral("PassphraseMismatch"));
    QCheckBox *show = PassphraseField::createShowBox({m_passphrase, m_repeat}, this);

    auto *buttons = new QDialogButtonBox(this);
    m_lock = buttons->addButton(QStringLiteral("&Lock"), QDialogButtonBox::AcceptRole);
    m_lock->setObjectName(QStringLiteral("LockButton"));
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("&Passphrase:"), m_passphrase);
    form->addRow(QString(), m_strength);
    form->addRow(QStringLiteral("&Repeat passphrase:"), m_repeat);
    form->addRow(QString(), m_mismatch);
    form->addRow(QString(), show);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);

    connect(m_passphrase, &QLineEdit::textChanged, this, &LockNoteDialog::check);
    connect(m_repeat, &QLineEdit::textChanged, this, &LockNoteDialog::check);
    check();
    m_passphrase->setFocus();
}

void LockNoteDialog::check()
{
    const QString passphrase = m_passphrase->text();
    const QString repeat = m_repeat->text();
    const PassphraseStrength::Rating rating = PassphraseStrength::rate(passphrase);
    m_strength->setText(rating.hint);
    m_passphrase->setAccessibleDescription(rating.hint);
    const bool differ = !repeat.isEmpty() && repeat != passphrase;
    PassphraseField::showMessage(m_mismatch, differ ? QStringLiteral("The two passphrases are not the same.")
                                                    : QString());
    if (isVisible())
        PassphraseField::growToFit(this); // a longer hint or the mismatch line
    m_lock->setEnabled(PassphraseStrength::longEnough(passphrase) && repeat == passphrase);
}

Secret LockNoteDialog::takePassphrase()
{
    return std::move(m_given);
}

void LockNoteDialog::done(int result)
{
    // Only what "Lock" would take gets through, whoever calls accept().
    if (result == Accepted && !m_lock->isEnabled())
        return;
    if (result == Accepted)
        m_given = PassphraseField::secret(m_passphrase);
    PassphraseField::wipe(m_passphrase);
    PassphraseField::wipe(m_repeat);
    QDialog::done(result);
}
