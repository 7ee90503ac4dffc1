#pragma once

#include <QString>

// The seven note tabs as they are before the user changes anything.
namespace TabDefaults {

inline constexpr int count = 7;

// "Notes", "Web Pages", ... for n = 1..7.
QString caption(int n);
// Tabs 1 to 5 are shown unless the user hides them; 6 and 7 are hidden unless the user shows them.
bool shown(int n);
// The row label in the preferences dialog: "Tab 1 (Notes):" ...
QString rowLabel(int n);

} // namespace TabDefaults
