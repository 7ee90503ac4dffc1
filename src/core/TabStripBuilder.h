#pragma once

#include <QList>
#include <QString>

#include <functional>

class SettingsStore;

// What building the tab strip does, worked out without widgets: the tabs to add in order.
class TabStripBuilder final
{
public:
    struct Tab
    {
        int note = 0;
        QString caption;
        QString iconName; // empty: no tab image
        bool operator==(const Tab &) const = default;
    };
    struct Plan
    {
        QList<Tab> tabs;
    };

    // The shown value ("YES", "NO", blank, anything else) and caption of note n, as stored.
    using Source = std::function<void(int n, QString *shown, QString *caption)>;

    static Plan build(const Source &source);
    // From the "Tab1" ... "Tab7" and "Tab1C" ... "Tab7C" settings.
    static Plan fromSettings(const SettingsStore &settings);
};
