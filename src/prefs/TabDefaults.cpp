#include "TabDefaults.h"

#include "NoteTab.h"

#include <array>

namespace {
// The dialog's own row labels; captions and visibility come from the note table.
constexpr std::array<const char *, TabDefaults::count> kRowLabels{
    "Tab 1 (Notes):", "Tab 2 (Web):",   "Tab 3 (E-Mail):", "Tab 4 (Phone):",
    "Tab 5 (Other):", "Tab 6 (Other):", "Tab 7 (Other):",
};
} // namespace

QString TabDefaults::caption(int n)
{
    return NoteTabs::isNote(n) ? NoteTabs::tab(n).defaultCaption : QString();
}

bool TabDefaults::shown(int n)
{
    return NoteTabs::isNote(n) && NoteTabs::tab(n).shownWhenAbsent;
}

QString TabDefaults::rowLabel(int n)
{
    return NoteTabs::isNote(n) ? QString::fromLatin1(kRowLabels[n - 1]) : QString();
}
