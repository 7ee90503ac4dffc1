#pragma once

#include <QString>

#include <array>

// One note tab as the preferences dialog leaves it: shown or not, and the caption it gets.
struct TabPreference
{
    bool shown = false;
    QString caption; // never blank: a blank name box gives the tab's default caption
};

// What the preferences dialog changes in the main window when the user applies it. The window
// implements it; tests record the calls.
class PreferencesTarget
{
public:
    virtual ~PreferencesTarget() = default;

    // Removes every tab and adds the shown ones in note order, each tagged with its note number.
    virtual void rebuildTabStrip(const std::array<TabPreference, 7> &tabs) = 0;
    virtual void setSoundOff(bool off) = 0;
    virtual void setLaunchCommandsVisible(bool visible) = 0;
    // Writes changed notes to the old directory, then switches and loads the notes the new one
    // holds, without dropping a final line break and without clearing their changed flags.
    virtual void changeNoteDirectory(const QString &dir) = 0;
    // Selects the strip's first tab; does nothing when no tab is shown.
    virtual void selectFirstTab() = 0;
    // Takes the global hot key (portable key text, empty for none) at once.
    virtual void setHotKey(const QString &key) { Q_UNUSED(key); }
    // Unlocked notes lock again after this many minutes without input; 0 for never.
    virtual void setLockAfterMinutes(int minutes) { Q_UNUSED(minutes); }
};
