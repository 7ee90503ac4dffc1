#pragma once

#include <QToolBar>

class QAction;

// Toolbar1: one button per frequent command, each an action whose objectName is the button's
// key ("New", "Find and Replace", "Exit", ...). The buttons only forward to the menu commands; the
// subsystems connect them. Separators are actions too, so the list counts them like the design.
class CommandToolbar final : public QToolBar
{
    Q_OBJECT
public:
    explicit CommandToolbar(QWidget *parent = nullptr);

    // The button with this key, compared exactly (case and blanks count); nullptr for none.
    QAction *button(const QString &key) const;
    // Entry n of the toolbar, counting separators from 1 as the design does.
    QAction *entry(int position) const;

    // Entries 14 to 20: the six application buttons and the separator after them.
    void setApplicationButtonsVisible(bool visible);
    static constexpr int FirstApplicationEntry = 14;
    static constexpr int LastApplicationEntry = 20;

private:
    QList<QAction *> m_entries;
};
