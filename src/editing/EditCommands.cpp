#include "EditCommands.h"

#include "RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QTextDocument>

EditCommands::EditCommands(EditorAccess access, QObject *parent)
    : QObject(parent), m_access(std::move(access))
{
}

void EditCommands::undo()
{
    if (RichTextBox *box = m_access.activeBox(); box && !box->isReadOnly())
        box->undo();
}

void EditCommands::redo()
{
    if (RichTextBox *box = m_access.activeBox(); box && !box->isReadOnly())
        box->redo();
}

bool EditCommands::canUndo() const
{
    const RichTextBox *box = m_access.activeBox();
    return box && !box->isReadOnly() && box->document()->isUndoAvailable();
}

bool EditCommands::canRedo() const
{
    const RichTextBox *box = m_access.activeBox();
    return box && !box->isReadOnly() && box->document()->isRedoAvailable();
}

// Both flavours go on the clipboard in one step, so no other program ever sees only one of them.
void EditCommands::copy()
{
    RichTextBox *box = m_access.activeBox();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (box && clipboard)
        clipboard->setMimeData(box->selectionMimeData());
}

void EditCommands::cut()
{
    RichTextBox *box = m_access.activeBox();
    if (!box || box->isReadOnly())
        return;
    copy();
    box->setSelText(QString());
}

void EditCommands::paste()
{
    RichTextBox *box = m_access.activeBox();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (box && clipboard && !box->isReadOnly())
        box->insertMimeData(clipboard->mimeData());
}

void EditCommands::pastePlainText()
{
    RichTextBox *box = m_access.activeBox();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (box && clipboard && !box->isReadOnly())
        box->insertPlainTextOf(clipboard->mimeData());
}

void EditCommands::selectAll()
{
    if (RichTextBox *box = m_access.shownBox()) {
        box->setSelStart(0);
        box->setSelLength(box->document()->characterCount() - 1);
    }
}

QString EditCommands::dateAndTimeText(const QDateTime &when)
{
    return QLocale::c().toString(when, QStringLiteral("dd-MMM-yy hh:mm AP"));
}

void EditCommands::insertDateAndTime(const QDateTime &now)
{
    if (RichTextBox *box = m_access.activeBox(); box && !box->isReadOnly())
        box->setSelText(dateAndTimeText(now));
}

void EditCommands::showContextMenu(QMenu *menu, const QPoint &globalPos)
{
    if (menu)
        menu->popup(globalPos);
}
