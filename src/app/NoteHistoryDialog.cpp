#include "NoteHistoryDialog.h"

#include "RichTextBox.h"
#include "RtfReader.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

void restoreNoteVersion(RichTextBox *box, const QByteArray &rtf)
{
    // Read as a whole document first, as a note is loaded: inserting the RTF at a cursor would
    // take the file's final paragraph mark as one more empty line at the end of the note.
    QTextDocument version;
    version.setDefaultFont(box->document()->defaultFont());
    rtf::readInto(&version, rtf);
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertFragment(QTextDocumentFragment(&version));
    cursor.endEditBlock();
    box->setTextCursor(cursor);
}

NoteHistoryDialog::NoteHistoryDialog(const NoteHistory &history, const QString &notePath,
                                     const QString &caption, QWidget *parent)
    : QDialog(parent), m_history(history), m_versions(history.versions(notePath))
{
    setObjectName(QStringLiteral("NoteHistoryDialog"));
    setWindowTitle(QStringLiteral("Note History - %1").arg(caption));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("versions"));
    const QLocale locale;
    for (const NoteHistory::Version &version : m_versions)
        m_list->addItem(locale.toString(version.when, QLocale::LongFormat));
    m_list->setMinimumWidth(m_list->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 22);

    m_preview = new RichTextBox(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setReadOnly(true);

    auto *label = new QLabel(m_versions.isEmpty()
                                 ? QStringLiteral("No earlier versions of \"%1\" are kept yet. One is kept "
                                                  "each time the note is saved with new text.")
                                       .arg(caption)
                                 : QStringLiteral("Earlier versions of \"%1\", newest first:").arg(caption),
                             this);
    label->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("restore"));
    m_restore->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        const int row = m_list->currentRow();
        if (row < 0 || row >= m_versions.size())
            return;
        emit restoreRequested(m_history.bytesOf(m_versions[row]));
        accept();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { showSelected(); });

    auto *panes = new QHBoxLayout;
    panes->addWidget(m_list);
    panes->addWidget(m_preview, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    resize(640, 400);

    if (!m_versions.isEmpty())
        m_list->setCurrentRow(0);
}

void NoteHistoryDialog::showSelected()
{
    const int row = m_list->currentRow();
    const bool valid = row >= 0 && row < m_versions.size();
    m_restore->setEnabled(valid);
    m_preview->setTextRTF(valid ? m_history.bytesOf(m_versions[row]) : QByteArray());
}
