#include "MenuTree.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {
struct Row
{
    const char *name;
    const char *caption; // "-" for a separator
    const char *shortcut;
};

struct TopMenu
{
    const char *name;
    const char *caption;
    std::initializer_list<Row> rows;
};

const std::initializer_list<TopMenu> &tree()
{
    static const std::initializer_list<TopMenu> menus = {
        {"Filemnu",
         "&File",
         {{"new", "&New", "Ctrl+N"},
          {"open", "&Open Existing Notes...", "Ctrl+O"},
          {"saveas", "&Save Copy As...", "Ctrl+K"},
          {"notehistory", "Note &History...", ""},
          {"seplock", "-", ""},
          {"locknote", "&Lock Note...", ""},
          {"removelock", "Re&move Lock...", ""},
          {"locknow", "Lock No&w", ""},
          {"seplock2", "-", ""},
          {"clear", "&Clear Text", "Shift+Del"},
          {"print", "&Print Current Tab", "Ctrl+P"},
          {"printalltext", "Print &All Tabs", "Ctrl+L"},
          {"sepmnu", "-", ""},
          {"setontop", "Set On &Top", "F7"},
          {"sepmenu2", "-", ""},
          {"exit", "&Exit", "F8"}}},
        {"editmnu",
         "&Edit",
         {{"undo", "&Undo", "Ctrl+Z"},
          {"redo", "&Redo", "Ctrl+Y"},
          {"sepmnuundo", "-", ""},
          {"EditSelectAll", "Select &All", "Ctrl+A"},
          {"copy", "&Copy", ""},
          {"paste", "&Paste", ""},
          {"pasteplain", "Paste as Plain Te&xt", "Ctrl+Shift+V"},
          {"cut", "Cu&t", ""},
          {"sepmnu2a", "-", ""},
          {"font", "F&ont", "F5"},
          {"boldmnu", "&Bold", "Ctrl+B"},
          {"italicmnu", "&Italic", "Ctrl+I"},
          {"underlinemnu", "&Underline", "Ctrl+U"},
          {"setdefaultfont", "&Set Font as Default", ""},
          {"sepmnu2", "-", ""},
          {"find", "&Find and Replace...", "Ctrl+F"},
          {"findnext", "Fin&d Next", "F3"},
          {"findprevious", "Find Pre&vious", "Shift+F3"},
          {"searchall", "Search All &Notes...", "Ctrl+Shift+F"},
          {"spellcheck", "Check Spe&lling", ""},
          {"sepmenu4", "-", ""},
          {"Insert", "&Insert Date and Time", "Ctrl+Q"},
          {"sepmenu9", "-", ""},
          {"autocompletion", "&AutoCompletion", ""}}},
        {"apps",
         "&Applications",
         {{"browser", "&Web Browser", "Ctrl+W"},
          {"emailprogram", "&E-Mail Program", "Ctrl+E"},
          {"dialer", "Dial&er", "F9"},
          {"dosprompt", "&Terminal", "Ctrl+D"},
          {"calc", "&Calculator", "F6"},
          {"sep3", "-", ""},
          {"Run", "&Run", "Ctrl+R"},
          {"sep4", "-", ""},
          {"set", "&Setup...", "Ctrl+S"},
          {"setupautocompletion", "Setup &AutoCompletion...", ""}}},
        {"help", "&Help", {{"helpcontents", "&Contents", ""}, {"about", "&About...", "Ctrl+T"}}},
    };
    return menus;
}
} // namespace

void MenuTree::build(QMenuBar *bar, QHash<QString, QAction *> &items, QHash<QString, QMenu *> &menus)
{
    for (const TopMenu &top : tree()) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(top.caption));
        const QString topName = QString::fromUtf8(top.name);
        menu->setObjectName(topName);
        menu->menuAction()->setObjectName(topName);
        menus.insert(topName, menu);
        items.insert(topName, menu->menuAction());
        for (const Row &row : top.rows) {
            const QString caption = QString::fromUtf8(row.caption);
            QAction *action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
            action->setObjectName(QString::fromUtf8(row.name));
            if (*row.shortcut)
                action->setShortcut(QKeySequence(QString::fromUtf8(row.shortcut)));
            items.insert(action->objectName(), action);
        }
    }
    items.value(QStringLiteral("setontop"))->setCheckable(true);
    // Redo answers both keys people know it by.
    items.value(QStringLiteral("redo"))
        ->setShortcuts(
            {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    QAction *autoCompletion = items.value(QStringLiteral("autocompletion"));
    autoCompletion->setCheckable(true);
    autoCompletion->setChecked(true); // on until the user turns it off
}

const QStringList &MenuTree::launchItems()
{
    static const QStringList names = {QStringLiteral("browser"),      QStringLiteral("dialer"),
                                      QStringLiteral("emailprogram"), QStringLiteral("dosprompt"),
                                      QStringLiteral("calc"),         QStringLiteral("Run"),
                                      QStringLiteral("sep3"),         QStringLiteral("sep4")};
    return names;
}
