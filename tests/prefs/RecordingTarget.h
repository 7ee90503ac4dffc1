#pragma once

#include "PreferencesTarget.h"

#include <QStringList>

// Records what the preferences dialog asked of the main window, in order.
class RecordingTarget final : public PreferencesTarget
{
public:
    QStringList calls;
    std::array<TabPreference, 7> tabs{};
    bool soundOff = false;
    bool launchCommandsVisible = true;
    QString noteDirectory;

    void rebuildTabStrip(const std::array<TabPreference, 7> &t) override
    {
        calls << QStringLiteral("rebuildTabStrip");
        tabs = t;
    }
    void setSoundOff(bool off) override
    {
        calls << QStringLiteral("setSoundOff");
        soundOff = off;
    }
    void setLaunchCommandsVisible(bool visible) override
    {
        calls << QStringLiteral("setLaunchCommandsVisible");
        launchCommandsVisible = visible;
    }
    void changeNoteDirectory(const QString &dir) override
    {
        calls << QStringLiteral("changeNoteDirectory");
        noteDirectory = dir;
    }
    void selectFirstTab() override { calls << QStringLiteral("selectFirstTab"); }
    QStringList hotKeys; // every hot key applied, kept apart from the order of the calls above
    void setHotKey(const QString &key) override { hotKeys << key; }
    QList<int> lockAfterMinutes; // every idle time applied, likewise
    void setLockAfterMinutes(int minutes) override { lockAfterMinutes << minutes; }

    // The tags of the strip as the window builds it: the note numbers of the shown tabs, in order.
    QStringList tags() const
    {
        QStringList result;
        for (int n = 1; n <= 7; ++n) {
            if (tabs[n - 1].shown)
                result << QString::number(n);
        }
        return result;
    }
};
