#include "CommandToolbar.h"

#include "AppIcons.h"

#include <QAction>

namespace {
struct Button
{
    const char *key; // nullptr for a separator
    const char *caption;
    const char *tooltip;
    const char *icon;
};

constexpr Button Buttons[] = {
    {"New", "New", "New Notes", "document-new.png"},
    {"Open", "Open", "Open Text into Current Notes", "document-open.png"},
    {"SaveAs", "Save Copy As", "Save a Copy As...", "document-save-as.png"},
    {"Print", "Print", "Print Current Notes", "document-print.png"},
    {"Clear", "Clear Text", "Clear Current Notes", "edit-clear.png"},
    {nullptr, nullptr, nullptr, nullptr},
    {"InsertTime", "Insert Time", "Insert Time and Date", "appointment-new.png"},
    {"Cut", "Cut", "Cut", "edit-cut.png"},
    {"Copy", "Copy", "Copy", "edit-copy.png"},
    {"Paste", "Paste", "Paste", "edit-paste.png"},
    {"Font", "Font", "Select Font", "preferences-desktop-font.png"},
    {"Find and Replace", "Find", "Find and Replace...", "edit-find-replace.png"},
    {nullptr, nullptr, nullptr, nullptr},
    {"DOS", "Terminal", "Open a Terminal", "utilities-terminal.png"},
    {"Web", "Web Browser", "Run Your Web Browser", "internet-web-browser.png"},
    {"EMail", "E-Mail", "Run Your E-Mail Program", "internet-mail.png"},
    {"Dialer", "Dialer", "Run Dialer", "dialer.png"},
    {"Calc", "Calculator", "Calculator", "accessories-calculator.png"},
    {"Run", "Run", "Run...", "application-x-executable.png"},
    {nullptr, nullptr, nullptr, nullptr},
    {"Setup", "Setup", "Setup Preferences", "preferences-system.png"},
    {"Exit", "Exit", "Exit", "system-log-out.png"},
};
} // namespace

CommandToolbar::CommandToolbar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(QStringLiteral("Commands"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // 16 pixels as the design had: at 22 the buttons no longer fit the window's first-start width.
    setIconSize(QSize(16, 16));
    // The toolbar must not take the focus from a note: that would write the note on every click.
    setFocusPolicy(Qt::NoFocus);
    for (const Button &b : Buttons) {
        if (!b.key) {
            m_entries.append(addSeparator());
            continue;
        }
        QAction *action = addAction(appIcon(QString::fromUtf8(b.icon)), QString::fromUtf8(b.caption));
        action->setObjectName(QString::fromUtf8(b.key));
        action->setToolTip(QString::fromUtf8(b.tooltip));
        action->setIconText(QString::fromUtf8(b.caption));
        m_entries.append(action);
    }
}

QAction *CommandToolbar::button(const QString &key) const
{
    for (QAction *a : m_entries) {
        if (!a->isSeparator() && a->objectName() == key)
            return a;
    }
    return nullptr;
}

QAction *CommandToolbar::entry(int position) const
{
    return position >= 1 && position <= m_entries.size() ? m_entries.at(position - 1) : nullptr;
}

void CommandToolbar::setApplicationButtonsVisible(bool visible)
{
    for (int p = FirstApplicationEntry; p <= LastApplicationEntry; ++p)
        entry(p)->setVisible(visible);
}
