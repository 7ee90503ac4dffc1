#pragma once

class SettingsStore;

// The "OnTop" preference ("Yes" or "No"). Any spelling of yes counts as on; the stored value is
// put back in its proper form ("yes" becomes "Yes", anything else "No").
class OnTopRule final
{
public:
    explicit OnTopRule(SettingsStore &settings);

    // Reads the preference, stores it back in its proper form and returns whether it is on.
    // The store is only written when the stored text differs, so a paint costs no file write.
    bool readAndNormalise();
    // "Set On &Top": stores the new state of the menu check mark.
    void store(bool on);

    // The window's stay-on-top flag is only touched when it differs from the wanted state;
    // changing it needlessly makes the window flicker.
    static bool needsFlagChange(bool windowIsOnTop, bool wanted) { return windowIsOnTop != wanted; }

private:
    SettingsStore &m_settings;
};
