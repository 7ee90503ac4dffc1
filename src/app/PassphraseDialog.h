#pragma once

#include "Secret.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the passphrase of a locked note once, for a command that needs it ("Remove Lock").
// The dialog does not close by itself when the passphrase is given: it tells passphraseGiven()
// and waits, its button disabled, while the caller checks the passphrase on a worker; the caller
// then calls accept() or showError(), and the user may try again. The field is wiped whichever
// way the dialog closes.
class PassphraseDialog final : public QDialog
{
    Q_OBJECT
public:
    PassphraseDialog(const QString &title, const QString &text, const QString &acceptText, QWidget *parent);

    // "Remove Lock" for the note of this caption.
    static PassphraseDialog *removeLock(const QString &noteCaption, QWidget *parent);

    bool isChecking() const { return m_checking; }

    void done(int result) override;

public slots:
    // The passphrase did not do: says why, gives the field back with its text selected.
    void showError(const QString &message);

signals:
    void passphraseGiven(const Secret &passphrase);

private:
    void give();
    void setChecking(bool checking);

    QLineEdit *m_field = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_accept = nullptr;
    bool m_checking = false;
};
