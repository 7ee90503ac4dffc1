#include "FormatToolbar.h"

#include "AppIcons.h"

#include <QAction>
#include <QActionGroup>

namespace {
enum class Kind { Push, Check, Group, Separator };
struct Entry
{
    const char *key;
    const char *tooltip;
    const char *icon;
    Kind kind;
};

constexpr Entry Entries[] = {
    {"Bold", "Bold", "format-text-bold-16.png", Kind::Check},
    {"Italic", "Italic", "format-text-italic-16.png", Kind::Check},
    {"Underline", "Underline", "format-text-underline-16.png", Kind::Check},
    {nullptr, nullptr, nullptr, Kind::Separator},
    {"Align Left", "Align Left", "format-justify-left-16.png", Kind::Group},
    {"Center", "Center", "format-justify-center-16.png", Kind::Group},
    {"Align Right", "Align Right", "format-justify-right-16.png", Kind::Group},
    {nullptr, nullptr, nullptr, Kind::Separator},
    {"FPt", "Format Painter", "painter-16.png", Kind::Check},
    {nullptr, nullptr, nullptr, Kind::Separator},
    {"Bullets", "Insert Bullets", "bullets-16.png", Kind::Check},
};

} // namespace

FormatToolbar::FormatToolbar(QWidget *parent) : QToolBar(parent), m_alignment(new QActionGroup(this))
{
    setObjectName(QStringLiteral("tbToolBar"));
    setWindowTitle(QStringLiteral("Formatting"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(16, 16));
    setFocusPolicy(Qt::NoFocus);
    m_alignment->setExclusive(true);
    for (const Entry &e : Entries) {
        if (e.kind == Kind::Separator) {
            m_entries.append(addSeparator());
            continue;
        }
        QAction *action = addAction(appIcon(QString::fromUtf8(e.icon)), QString::fromUtf8(e.tooltip));
        action->setObjectName(QString::fromUtf8(e.key));
        action->setToolTip(QString::fromUtf8(e.tooltip));
        action->setCheckable(true);
        if (e.kind == Kind::Group)
            m_alignment->addAction(action);
        m_entries.append(action);
    }
}

QAction *FormatToolbar::button(const QString &key) const
{
    for (QAction *a : m_entries) {
        if (!a->isSeparator() && a->objectName() == key)
            return a;
    }
    return nullptr;
}

QAction *FormatToolbar::entry(int position) const
{
    return position >= 1 && position <= m_entries.size() ? m_entries.at(position - 1) : nullptr;
}
