#include "TabDefaults.h"

#include <array>

namespace {
struct Row
{
    const char *caption;
    const char *label;
};
constexpr std::array<Row, TabDefaults::count> kRows{{
    {"Notes", "Tab 1 (Notes):"},
    {"Web Pages", "Tab 2 (Web):"},
    {"E-Mail Addresses", "Tab 3 (E-Mail):"},
    {"Phone/Fax Numbers", "Tab 4 (Phone):"},
    {"Other", "Tab 5 (Other):"},
    {"Other 2", "Tab 6 (Other):"},
    {"Other 3", "Tab 7 (Other):"},
}};

bool valid(int n)
{
    return n >= 1 && n <= TabDefaults::count;
}
} // namespace

QString TabDefaults::caption(int n)
{
    return valid(n) ? QString::fromLatin1(kRows[n - 1].caption) : QString();
}

bool TabDefaults::shown(int n)
{
    return n >= 1 && n <= 5;
}

QString TabDefaults::rowLabel(int n)
{
    return valid(n) ? QString::fromLatin1(kRows[n - 1].label) : QString();
}
