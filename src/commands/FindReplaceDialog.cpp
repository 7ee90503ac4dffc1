#include "FindReplaceDialog.h"

#include "Dialogs.h"
#include "RichTextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// The form is laid out in twips, 15 to a pixel at the usual screen resolution.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

template <typename W>
W *place(W *widget, const char *name, const QRect &where)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(where);
    return widget;
}

QPointer<FindReplaceDialog> s_open;

} // namespace

FindReplaceDialog::FindReplaceDialog(ActiveBox active, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_active(std::move(active))
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    setWindowTitle(QStringLiteral("Find and Replace..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(twips(0, 0, 5430, 2295).size());

    m_lblFind = place(new QLabel(QStringLiteral("Fin&d What:"), this), "lblFind", twips(75, 150, 840, 240));
    m_cboFind = place(new QComboBox(this), "cboFind", twips(1200, 75, 3015, 315));
    m_cmdFind = place(new QPushButton(FindReplace::FindCaption, this), "cmdFind", twips(4350, 75, 990, 315));
    m_lblReplace = place(new QLabel(QStringLiteral("Replace &With:"), this), "lblReplace",
                         twips(75, 525, 1065, 240));
    m_cboReplace = place(new QComboBox(this), "cboReplace", twips(1200, 450, 3015, 315));
    m_cmdCancel = place(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", twips(4350, 450, 990, 315));
    m_picBar = place(new QWidget(this), "picBar", twips(75, 900, 5340, 915));
    m_options = place(new QGroupBox(QStringLiteral("Search Options"), m_picBar), "fraOptions",
                      twips(75, 0, 4065, 855));
    m_chkWholeWord = place(new QCheckBox(QStringLiteral("Find Whole Word &Only"), m_options),
                           "chkWholeWord", twips(170, 240, 1965, 240));
    m_chkMatchCase = place(new QCheckBox(QStringLiteral("Match Ca&se"), m_options), "chkMatchCase",
                           twips(170, 550, 1965, 240));
    m_cmdReplace = place(new QPushButton(FindReplace::ReplaceModeCaption, m_picBar), "cmdReplace",
                         twips(4275, 150, 990, 315));
    m_cmdReplaceAll = place(new QPushButton(QStringLiteral("Replace &All"), m_picBar), "cmdReplaceAll",
                            twips(4275, 525, 990, 315));
    m_label1 = place(new QLabel(this), "Label1", twips(120, 1800, 4095, 375));
    m_label1->setWordWrap(true);
    for (QComboBox *box : {m_cboFind, m_cboReplace}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert); // the lists grow by the dialog's own rules
    }
    m_lblFind->setBuddy(m_cboFind);
    m_lblReplace->setBuddy(m_cboReplace);
    m_cmdFind->setDefault(true);

    connect(m_cmdFind, &QPushButton::clicked, this, &FindReplaceDialog::clickFind);
    connect(m_cmdReplace, &QPushButton::clicked, this, &FindReplaceDialog::clickReplace);
    connect(m_cmdReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::clickReplaceAll);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::close);

    RichTextBox *box = m_active ? m_active() : nullptr;
    m_logic.open(box ? box->SelText() : QString());
    m_cboFind->addItems(m_logic.findList());
    m_cboFind->setEditText(m_logic.searchText());
    showState();
}

FindReplaceDialog *FindReplaceDialog::open(QWidget *window, ActiveBox active)
{
    if (!s_open)
        s_open = new FindReplaceDialog(std::move(active), window);
    s_open->show();
    s_open->raise();
    s_open->activateWindow();
    return s_open;
}

QString FindReplaceDialog::listText(QComboBox *box) const
{
    return box->currentText();
}

// Only the additions since the last look are appended, so the typed text is kept.
void FindReplaceDialog::showState()
{
    const auto sync = [](QComboBox *box, const QStringList &list) {
        const QString typed = box->currentText();
        for (qsizetype i = box->count(); i < list.size(); ++i)
            box->addItem(list.at(i));
        box->setEditText(typed);
    };
    sync(m_cboFind, m_logic.findList());
    sync(m_cboReplace, m_logic.replaceList());
    m_cmdFind->setText(m_logic.findButtonCaption());
    m_cmdReplace->setText(m_logic.replaceButtonCaption());
    m_lblReplace->setVisible(m_logic.replaceMode());
    m_cboReplace->setVisible(m_logic.replaceMode());
    m_cmdReplaceAll->setVisible(m_logic.replaceMode());
    m_cmdReplace->setEnabled(m_logic.replaceEnabled());
    m_cmdReplaceAll->setEnabled(m_logic.replaceEnabled());
    m_label1->setText(m_logic.status());
}

void FindReplaceDialog::clickFind()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    const bool found = m_logic.find(box, listText(m_cboFind),
                                    FindReplace::options(m_chkWholeWord->isChecked(),
                                                         m_chkMatchCase->isChecked()));
    showState();
    if (found && box)
        box->setFocus();
}

void FindReplaceDialog::clickReplace()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    const bool wasReplaceMode = m_logic.replaceMode();
    QString error;
    const bool ok = m_logic.replace(box, listText(m_cboFind), listText(m_cboReplace),
                                    FindReplace::options(m_chkWholeWord->isChecked(),
                                                         m_chkMatchCase->isChecked()),
                                    &error);
    showState();
    if (!ok) {
        Dialogs::message(this, QStringLiteral("Quillbox Plus"), error, QMessageBox::Warning);
        return;
    }
    if (wasReplaceMode && m_logic.replaceEnabled() && box)
        box->setFocus();
}

void FindReplaceDialog::clickReplaceAll()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    QString error;
    const bool ok = m_logic.replaceAll(box, listText(m_cboFind), listText(m_cboReplace),
                                       FindReplace::options(m_chkWholeWord->isChecked(),
                                                            m_chkMatchCase->isChecked()),
                                       &error);
    showState();
    if (!ok)
        Dialogs::message(this, QStringLiteral("Quillbox Plus"), error, QMessageBox::Warning);
}
