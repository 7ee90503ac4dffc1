#include "EditingSession.h"

#include "RichTextBox.h"

#include <QMenu>

EditingSession::EditingSession(EditorAccess access, const QList<RichTextBox *> &editors,
                               SettingsStore *settings, QObject *parent)
    : QObject(parent)
    , m_painter(access)
    , m_toolbar(access, &m_painter)
    , m_fonts(access, settings)
    , m_commands(access)
{
    m_painter.setEditors(editors);
    for (RichTextBox *box : editors) {
        if (!box)
            continue;
        m_editors.append(box);
        connect(box, &RichTextBox::Change, &m_toolbar, &FormatToolbarController::sync);
        connect(box, &RichTextBox::SelChange, &m_toolbar, &FormatToolbarController::sync);
        connect(box, &RichTextBox::MouseUp, this, &EditingSession::mouseUp);
    }
}

void EditingSession::setEditMenu(QMenu *menu)
{
    m_editMenu = menu;
    for (const QPointer<RichTextBox> &box : std::as_const(m_editors))
        if (box)
            box->setEditMenu(menu);
}

void EditingSession::mouseUp(Qt::MouseButton button, const QPoint &globalPos)
{
    m_painter.run();
    if (button == Qt::RightButton)
        EditCommands::showContextMenu(m_editMenu, globalPos);
}
