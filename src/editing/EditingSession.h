#pragma once

#include "EditCommands.h"
#include "EditorAccess.h"
#include "FontBoxes.h"
#include "FormatPainter.h"
#include "FormatToolbarController.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;
class RichTextBox;
class SettingsStore;

// Everything the editing subsystem attaches to the note boxes: the toolbar sync on Change and
// SelChange, and on a mouse release the format painter first, then (right button) the Edit menu.
class EditingSession final : public QObject
{
    Q_OBJECT
public:
    EditingSession(EditorAccess access, const QList<RichTextBox *> &editors, SettingsStore *settings,
                   QObject *parent = nullptr);

    void setEditMenu(QMenu *menu);

    // Lets another subsystem put items of its own above the Edit menu's when the right button is
    // released over a box (spelling suggestions). It returns false to leave the plain Edit menu.
    using ContextItems = std::function<bool(QMenu *menu, RichTextBox *box, const QPoint &globalPos)>;
    void setContextItems(ContextItems items);

    FormatPainter &painter() { return m_painter; }
    FormatToolbarController &toolbar() { return m_toolbar; }
    FontBoxes &fonts() { return m_fonts; }
    EditCommands &commands() { return m_commands; }

private:
    void mouseUp(RichTextBox *box, Qt::MouseButton button, const QPoint &globalPos);
    void showContextMenu(RichTextBox *box, const QPoint &globalPos);

    FormatPainter m_painter;
    FormatToolbarController m_toolbar;
    FontBoxes m_fonts;
    EditCommands m_commands;
    QList<QPointer<RichTextBox>> m_editors;
    QPointer<QMenu> m_editMenu;
    ContextItems m_contextItems;
};
