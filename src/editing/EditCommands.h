#pragma once

#include "EditorAccess.h"

#include <QDateTime>
#include <QObject>

class QMenu;
class QPoint;

// The Edit menu's clipboard commands, Select All and Insert Date and Time. The editor's own
// Ctrl+C, Ctrl+X and Ctrl+V use the same clipboard flavours (RichTextBox::selectionMimeData).
class EditCommands final : public QObject
{
    Q_OBJECT
public:
    explicit EditCommands(EditorAccess access, QObject *parent = nullptr);

    // Undo and Redo act on the note being edited; each is enabled as its history allows.
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;

    void copy();
    void cut();
    void paste();
    // The clipboard's text without its formatting, in the format at the caret.
    void pastePlainText();
    // Selects the whole note in the box of the shown tab, wherever the focus is.
    void selectAll();
    void insertDateAndTime(const QDateTime &now = QDateTime::currentDateTime());

    // "06-Dec-26 04:07 PM": English month names and AM/PM whatever the user's locale.
    static QString dateAndTimeText(const QDateTime &when);

    // The Edit menu as the context menu, at the pointer.
    static void showContextMenu(QMenu *menu, const QPoint &globalPos);

private:
    EditorAccess m_access;
};
