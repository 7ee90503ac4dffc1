#pragma once

#include "Secret.h"

#include <QString>

#include <initializer_list>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// The pieces every passphrase prompt shares: masked fields that give their text as a Secret and
// are wiped afterwards, the "Show" box, and the message line under them.
namespace PassphraseField {

// A masked field; screen readers read it as a password field under the name.
QLineEdit *create(const QString &accessibleName, QWidget *parent = nullptr);

// A "Sho&w" box that unmasks the fields while it is ticked.
QCheckBox *createShowBox(std::initializer_list<QLineEdit *> fields, QWidget *parent = nullptr);

// A line for what went wrong ("The passphrase is wrong.") or what is going on ("Unlocking…"):
// wraps, and takes no room while it is empty.
QLabel *createMessageLine(QWidget *parent = nullptr);
void showMessage(QLabel *line, const QString &text);

// A dialog whose lines grew wider or taller than it (a message shown) grows to show them all.
void growToFit(QWidget *dialog);

// The field's text as a Secret.
Secret secret(const QLineEdit *field);

// Empties the field and overwrites the characters it held, in every copy of its text that
// shares them (the field's own included), before the memory goes back to the heap. Copies Qt
// made elsewhere (an undo step, an input method) are beyond reach; masked fields keep none.
void wipe(QLineEdit *field);

} // namespace PassphraseField
