#pragma once

class SettingsStore;
class QWidget;

// True when a start-up password is stored that askStartupPassword would ask for (a damaged
// record locks nothing, so it counts as none).
bool startupPasswordSet(const SettingsStore &settings);

// Asks for the start-up password when one is stored. Returns false after two wrong answers:
// the program must then end at once, writing nothing.
bool askStartupPassword(SettingsStore &settings, QWidget *parent = nullptr);
