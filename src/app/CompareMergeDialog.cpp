#include "CompareMergeDialog.h"

#include "NoteHistory.h"
#include "NoteHistoryDialog.h"
#include "RichTextBox.h"
#include "RtfReader.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace {

QStringList paragraphsOf(const QTextDocument *document)
{
    QStringList paragraphs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        paragraphs << block.text();
    return paragraphs;
}

// Marks paragraphs of a view's own copy of a version; the note itself is never touched.
void mark(RichTextBox *view, const QList<int> &paragraphs, const QColor &colour)
{
    QTextBlockFormat marked;
    marked.setBackground(colour);
    for (int n : paragraphs)
        QTextCursor(view->document()->findBlockByNumber(n)).mergeBlockFormat(marked);
}
} // namespace

bool mergeIntoNote(RichTextBox *box, const QByteArray &theirsRtf, MergeChoice choice, const QString &from)
{
    switch (choice) {
    case MergeChoice::KeepMine:
        return false;
    case MergeChoice::KeepTheirs:
        restoreNoteVersion(box, theirsRtf);
        return true;
    case MergeChoice::KeepBoth:
        break;
    }
    QTextDocument theirs;
    theirs.setDefaultFont(box->document()->defaultFont());
    rtf::readInto(&theirs, theirsRtf);
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // The separator starts plain, whatever the end of the note was formatted with.
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(QStringLiteral("-------- The other version, from %1 --------").arg(from));
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertFragment(QTextDocumentFragment(&theirs));
    cursor.endEditBlock();
    box->setTextCursor(cursor);
    return true;
}

CompareMergeDialog::CompareMergeDialog(const QString &caption, const QByteArray &mineRtf,
                                       const QByteArray &theirsRtf, const QString &savedBy,
                                       const QDateTime &savedAt, QWidget *parent)
    : QDialog(parent)
{
    const QString mineName = QStringLiteral("In the tab now");
    // The copy's time as its own file name gives it, to the minute.
    const QString theirsName = savedAt.isValid()
                                   ? QStringLiteral("The conflict copy saved by %1 at %2")
                                         .arg(savedBy, savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                                   : QStringLiteral("The conflict copy saved by %1").arg(savedBy);
    setObjectName(QStringLiteral("CompareMergeDialog"));
    setWindowTitle(QStringLiteral("Compare and Merge - %1").arg(caption));

    m_mine = new RichTextBox(this);
    m_mine->setObjectName(QStringLiteral("mine"));
    m_theirs = new RichTextBox(this);
    m_theirs->setObjectName(QStringLiteral("theirs"));
    for (RichTextBox *view : {m_mine, m_theirs}) {
        view->setReadOnly(true);
        view->setAccessibleName(view == m_mine ? mineName : theirsName);
    }
    m_mine->setTextRTF(mineRtf);
    m_theirs->setTextRTF(theirsRtf);
    m_diff = ParagraphDiff::of(paragraphsOf(m_mine->document()), paragraphsOf(m_theirs->document()));
    markDifferences();

    const int differing = m_diff.differing();
    auto *summary = new QLabel(
        m_diff.same()
            ? QStringLiteral("The two versions of \"%1\" hold the same text.").arg(caption)
            : QStringLiteral("There are two versions of the note \"%1\": the one in the tab and "
                             "a conflict copy saved by %2. %3")
                  .arg(caption, savedBy,
                       differing == 1
                           ? QStringLiteral("The paragraph that differs is marked.")
                           : QStringLiteral("The %1 paragraphs that differ are marked.").arg(differing)),
        this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    m_keepMine = buttons->addButton(QStringLiteral("Keep &Mine"), QDialogButtonBox::AcceptRole);
    m_keepTheirs = buttons->addButton(QStringLiteral("Keep &Theirs"), QDialogButtonBox::AcceptRole);
    m_keepBoth = buttons->addButton(QStringLiteral("Keep &Both"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_keepBoth->setDefault(true);
    m_keepMine->setToolTip(QStringLiteral("Keep the text in the tab; the other version goes to the history"));
    m_keepTheirs->setToolTip(QStringLiteral("Put the other version into the tab (Undo takes it back)"));
    m_keepBoth->setToolTip(QStringLiteral("Add the other version below yours, after a separator line"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const std::pair<QPushButton *, MergeChoice> choices[] = {{m_keepMine, MergeChoice::KeepMine},
                                                             {m_keepTheirs, MergeChoice::KeepTheirs},
                                                             {m_keepBoth, MergeChoice::KeepBoth}};
    for (const auto &[button, choice] : choices) {
        connect(button, &QPushButton::clicked, this, [this, choice = choice] {
            emit chosen(choice);
            accept();
        });
    }

    auto *panes = new QGridLayout;
    auto *mineLabel = new QLabel(mineName, this);
    mineLabel->setObjectName(QStringLiteral("mineLabel"));
    auto *theirsLabel = new QLabel(theirsName, this);
    theirsLabel->setObjectName(QStringLiteral("theirsLabel"));
    for (QLabel *label : {mineLabel, theirsLabel}) {
        label->setWordWrap(true); // a long name of the copy must not narrow the tab's pane
        label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    }
    panes->addWidget(mineLabel, 0, 0);
    panes->addWidget(theirsLabel, 0, 1);
    panes->setColumnStretch(0, 1);
    panes->setColumnStretch(1, 1);
    panes->addWidget(m_mine, 1, 0);
    panes->addWidget(m_theirs, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    resize(860, 480);
}

QPushButton *CompareMergeDialog::button(MergeChoice choice) const
{
    switch (choice) {
    case MergeChoice::KeepMine:
        return m_keepMine;
    case MergeChoice::KeepTheirs:
        return m_keepTheirs;
    case MergeChoice::KeepBoth:
        break;
    }
    return m_keepBoth;
}

void CompareMergeDialog::markDifferences()
{
    // Soft colours that keep any text colour readable: red for yours, green for theirs.
    mark(m_mine, m_diff.changedMine(), QColor(255, 220, 220));
    mark(m_theirs, m_diff.changedTheirs(), QColor(210, 245, 210));
}
