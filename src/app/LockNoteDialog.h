#pragma once

#include "Secret.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Lock Note": asks for the new passphrase of a note twice, masked, with a hint of its strength.
// "Lock" is offered only for a passphrase of at least eight characters typed the same both times.
// Whichever way the dialog closes, its fields are wiped; after "Lock" the passphrase is kept
// for takePassphrase().
class LockNoteDialog final : public QDialog
{
    Q_OBJECT
public:
    LockNoteDialog(const QString &noteCaption, QWidget *parent);

    // The passphrase given with "Lock"; empty after Cancel. The dialog keeps no copy.
    Secret takePassphrase();

    void done(int result) override;

private:
    void check();

    QLineEdit *m_passphrase = nullptr;
    QLineEdit *m_repeat = nullptr;
    QLabel *m_strength = nullptr;
    QLabel *m_mismatch = nullptr;
    QPushButton *m_lock = nullptr;
    Secret m_given;
};
