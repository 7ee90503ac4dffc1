#pragma once

#include "Launcher.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// The "Run..." dialog: type or browse for a program or document and open it. It is modeless;
// Cancel only hides it, so the text survives until the next opening, while Run closes it for
// good and the next opening starts empty.
class RunDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit RunDialog(Launcher &launcher, QWidget *parent = nullptr);

    QLineEdit *commandLine() const { return m_text; }
    QCheckBox *runMinimized() const { return m_minimized; }

    void browse();          // Command3
    void runNow();          // Command2
    void reject() override; // Command1, Esc and the close button: hide, keep the contents

private:
    Launcher &m_launcher;
    QLineEdit *m_text = nullptr;
    QCheckBox *m_minimized = nullptr;
    QLabel *m_failure = nullptr;
};
