#include "EditingSession.h"

#include "RichTextBox.h"

#include <QMenu>

EditingSession::EditingSession(EditorAccess access, const QList<RichTextBox *> &editors,
                               SettingsStore *settings, QObject *parent)
    : QObject(parent), m_painter(access), m_toolbar(access, &m_painter), m_fonts(access, settings),
      m_commands(access)
{
    m_painter.setEditors(editors);
    for (RichTextBox *box : editors) {
        if (!box)
            continue;
        m_editors.append(box);
        connect(box, &RichTextBox::Change, &m_toolbar, &FormatToolbarController::sync);
        connect(box, &RichTextBox::SelChange, &m_toolbar, &FormatToolbarController::sync);
        connect(box, &RichTextBox::MouseUp, this,
                [this, box](Qt::MouseButton button, const QPoint &globalPos) {
                    mouseUp(box, button, globalPos);
                });
    }
}

void EditingSession::setEditMenu(QMenu *menu)
{
    m_editMenu = menu;
    for (const QPointer<RichTextBox> &box : std::as_const(m_editors))
        if (box)
            box->setEditMenu(menu);
}

void EditingSession::setContextItems(ContextItems items)
{
    m_contextItems = std::move(items);
    // The menu key shows the same menu as a right click, at the caret.
    for (const QPointer<RichTextBox> &box : std::as_const(m_editors)) {
        if (!box)
            continue;
        RichTextBox *b = box;
        b->setContextMenuHandler([this, b](const QPoint &globalPos) { showContextMenu(b, globalPos); });
    }
}

void EditingSession::mouseUp(RichTextBox *box, Qt::MouseButton button, const QPoint &globalPos)
{
    m_painter.run();
    if (button == Qt::RightButton)
        showContextMenu(box, globalPos);
}

// The Edit menu, with the items of other subsystems for this point above it when they have any.
void EditingSession::showContextMenu(RichTextBox *box, const QPoint &globalPos)
{
    if (m_contextItems && m_editMenu) {
        auto *menu = new QMenu(box);
        menu->setObjectName(QStringLiteral("notecontextmenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (m_contextItems(menu, box, globalPos)) {
            menu->addSeparator();
            menu->addActions(m_editMenu->actions());
            menu->popup(globalPos);
            return;
        }
        delete menu;
    }
    EditCommands::showContextMenu(m_editMenu, globalPos);
}
