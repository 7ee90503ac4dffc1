#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

// The main window's menu tree. Every item, separators included, is a QAction whose objectName is
// the item's name ("new", "sepmnu", "setontop", ...); the four top menus are named "Filemnu",
// "editmnu", "apps" and "help".
class MenuTree final
{
public:
    // Fills the menu bar; items and menus receive every named action and menu.
    static void build(QMenuBar *bar, QHash<QString, QAction *> &items, QHash<QString, QMenu *> &menus);

    // The items of the "&Applications" menu that start outside programs, with their separators;
    // start-up hides them when the user asked for it.
    static const QStringList &launchItems();
};
