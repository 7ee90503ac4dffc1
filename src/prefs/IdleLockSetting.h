#pragma once

class SettingsStore;

// How long unlocked notes stay open without input before they lock again, as the settings hold it:
// whole minutes under "LockAfterMinutes", 0 for never.
namespace IdleLockSetting {

inline constexpr int DefaultMinutes = 15;
inline constexpr int MaximumMinutes = 24 * 60;

// The stored minutes. Absent, blank, not a whole number or outside 0 to a day: the default, so
// that a value edited by hand never leaves the notes open for good.
int read(const SettingsStore &settings);

inline bool valid(int minutes)
{
    return minutes >= 0 && minutes <= MaximumMinutes;
}

} // namespace IdleLockSetting
