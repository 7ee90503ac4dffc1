#pragma once

#include "FindReplace.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class RichTextBox;

// "Find and Replace...": modeless and above all other windows. The keyboard stays in it after
// Find and Replace, so Enter finds the next match, and it steps aside when it would cover the
// match; closed, it hands the keyboard to the note. It forgets everything when closed but the
// last search; the next opening starts again in find mode with fresh lists.
class FindReplaceDialog final : public QDialog
{
    Q_OBJECT
public:
    using ActiveBox = std::function<RichTextBox *()>;

    FindReplaceDialog(ActiveBox active, QWidget *parent = nullptr);

    // Opens the dialog over the window (or brings the open one forward).
    static FindReplaceDialog *open(QWidget *window, ActiveBox active);

    void clickFind();
    void clickReplace();
    void clickReplaceAll();

    // What the last Find, Find Next or Replace looked for, in this dialog or an earlier one.
    static FindReplace::Search lastSearch();

private:
    static void giveKeysTo(RichTextBox *box);
    void keepInView(RichTextBox *box);
    int searchOptions() const;
    void showState();
    QString listText(QComboBox *box) const;

    ActiveBox m_active;
    FindReplace m_logic;
    QLabel *m_lblFind;
    QComboBox *m_cboFind;
    QPushButton *m_cmdFind;
    QLabel *m_lblReplace;
    QComboBox *m_cboReplace;
    QPushButton *m_cmdCancel;
    QWidget *m_picBar;
    QGroupBox *m_options;
    QCheckBox *m_chkWholeWord;
    QCheckBox *m_chkMatchCase;
    QPushButton *m_cmdReplace;
    QPushButton *m_cmdReplaceAll;
    QLabel *m_label1;
};
