#include "FindReplaceDialog.h"

#include "DesignSize.h"
#include "Dialogs.h"
#include "RichTextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

template <typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPointer<FindReplaceDialog> s_open;
FindReplace::Search s_lastSearch;

// The selection's place on the screen, as far as it is in view: from the start of its first line
// to the end of its last, the whole width in between when it runs over several lines.
QRect selectionOnScreen(const RichTextBox *box)
{
    const QTextCursor selection = box->textCursor();
    QTextCursor start = selection;
    start.setPosition(selection.selectionStart());
    QTextCursor end = selection;
    end.setPosition(selection.selectionEnd());
    const QRect first = box->cursorRect(start);
    const QRect last = box->cursorRect(end);
    QRect rect = first.united(last);
    if (first.top() != last.top()) {
        rect.setLeft(0);
        rect.setRight(box->viewport()->width() - 1);
    }
    rect = rect.intersected(box->viewport()->rect());
    return QRect(box->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

} // namespace

FindReplaceDialog::FindReplaceDialog(ActiveBox active, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_active(std::move(active))
{
    using DesignSize::twips;
    setObjectName(QStringLiteral("FindReplaceDialog"));
    setWindowTitle(QStringLiteral("Find and Replace..."));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_lblFind = named(new QLabel(QStringLiteral("Fin&d What:"), this), "lblFind");
    m_cboFind = named(new QComboBox(this), "cboFind");
    m_cmdFind = named(new QPushButton(FindReplace::FindCaption, this), "cmdFind");
    m_lblReplace = named(new QLabel(QStringLiteral("Replace &With:"), this), "lblReplace");
    m_cboReplace = named(new QComboBox(this), "cboReplace");
    m_cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    m_picBar = named(new QWidget(this), "picBar");
    m_options = named(new QGroupBox(QStringLiteral("Search Options"), m_picBar), "fraOptions");
    m_chkWholeWord = named(new QCheckBox(QStringLiteral("Find Whole Word &Only"), m_options), "chkWholeWord");
    m_chkMatchCase = named(new QCheckBox(QStringLiteral("Match Ca&se"), m_options), "chkMatchCase");
    m_cmdReplace = named(new QPushButton(FindReplace::ReplaceModeCaption, m_picBar), "cmdReplace");
    m_cmdReplaceAll = named(new QPushButton(QStringLiteral("Replace &All"), m_picBar), "cmdReplaceAll");
    m_label1 = named(new QLabel(this), "Label1");
    m_label1->setWordWrap(true);
    // Room for the two lines of the Replace All report, so the dialog does not jump when it shows.
    m_label1->setMinimumHeight(2 * m_label1->fontMetrics().lineSpacing());
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QComboBox *box : {m_cboFind, m_cboReplace}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert); // the lists grow by the dialog's own rules
        box->setMinimumWidth(twips(this, 3015));
    }
    // The replacement row keeps its place while hidden, so the buttons stay where they were.
    for (QWidget *w : std::initializer_list<QWidget *>{m_lblReplace, m_cboReplace, m_cmdReplaceAll}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    for (QPushButton *button : {m_cmdFind, m_cmdCancel, m_cmdReplace, m_cmdReplaceAll})
        button->setMinimumWidth(twips(this, 990));
    m_lblFind->setBuddy(m_cboFind);
    m_lblReplace->setBuddy(m_cboReplace);
    m_cmdFind->setDefault(true);

    auto *options = new QVBoxLayout(m_options);
    options->addWidget(m_chkWholeWord);
    options->addWidget(m_chkMatchCase);
    auto *barButtons = new QVBoxLayout;
    barButtons->addWidget(m_cmdReplace);
    barButtons->addWidget(m_cmdReplaceAll);
    barButtons->addStretch();
    auto *bar = new QHBoxLayout(m_picBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_options, 1);
    bar->addLayout(barButtons);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_lblFind, 0, 0);
    grid->addWidget(m_cboFind, 0, 1);
    grid->addWidget(m_cmdFind, 0, 2);
    grid->addWidget(m_lblReplace, 1, 0);
    grid->addWidget(m_cboReplace, 1, 1);
    grid->addWidget(m_cmdCancel, 1, 2);
    grid->addWidget(m_picBar, 2, 0, 1, 3);
    grid->addWidget(m_label1, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    // As large as its captions need: the combo boxes keep the designed width (5430 twips in all),
    // the rest grows with the desktop's font. The user cannot resize it.
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdFind, &QPushButton::clicked, this, &FindReplaceDialog::clickFind);
    connect(m_cmdReplace, &QPushButton::clicked, this, &FindReplaceDialog::clickReplace);
    connect(m_cmdReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::clickReplaceAll);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::close);
    // Esc, Cancel or the window's close button: the user goes on in the note, the match selected.
    connect(this, &QDialog::finished, this, [this] { giveKeysTo(m_active ? m_active() : nullptr); });

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

FindReplace::Search FindReplaceDialog::lastSearch()
{
    return s_lastSearch;
}

// The note's window becomes the active one, not only the note its focus widget.
void FindReplaceDialog::giveKeysTo(RichTextBox *box)
{
    if (!box)
        return;
    box->activateWindow();
    box->setFocus(Qt::OtherFocusReason);
}

QString FindReplaceDialog::listText(QComboBox *box) const
{
    return box->currentText();
}

int FindReplaceDialog::searchOptions() const
{
    return FindReplace::options(m_chkWholeWord->isChecked(), m_chkMatchCase->isChecked());
}

// The window manager keeps the dialog above the note, so a match under it would be selected
// unseen: the dialog moves out of its way.
void FindReplaceDialog::keepInView(RichTextBox *box)
{
    if (!box || !box->textCursor().hasSelection() || !isVisible())
        return;
    const QRect match = selectionOnScreen(box);
    if (match.isEmpty())
        return;
    const QScreen *screen = QGuiApplication::screenAt(match.center());
    if (!screen)
        screen = this->screen();
    const QRect frame = frameGeometry();
    const QRect placed = FindReplace::placeClearOf(frame, match, screen->availableGeometry());
    if (placed != frame)
        move(placed.topLeft());
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

// After Find, Find Next and Replace the keyboard stays here: Enter finds the next match and never
// types into a note the dialog may be covering.
void FindReplaceDialog::clickFind()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    const QString what = listText(m_cboFind);
    if (!what.isEmpty())
        s_lastSearch = {what, searchOptions()};
    const bool found = m_logic.find(box, what, searchOptions());
    showState();
    if (found)
        keepInView(box);
}

void FindReplaceDialog::clickReplace()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    const QString what = listText(m_cboFind);
    if (m_logic.replaceMode() && !what.isEmpty())
        s_lastSearch = {what, searchOptions()};
    QString error;
    const bool ok = m_logic.replace(box, what, listText(m_cboReplace), searchOptions(), &error);
    showState();
    if (!ok) {
        Dialogs::message(this, QStringLiteral("Quillbox Plus"), error, QMessageBox::Warning);
        return;
    }
    if (m_logic.replaceEnabled())
        keepInView(box);
}

void FindReplaceDialog::clickReplaceAll()
{
    RichTextBox *box = m_active ? m_active() : nullptr;
    QString error;
    const bool ok =
        m_logic.replaceAll(box, listText(m_cboFind), listText(m_cboReplace), searchOptions(), &error);
    showState();
    if (!ok)
        Dialogs::message(this, QStringLiteral("Quillbox Plus"), error, QMessageBox::Warning);
}
