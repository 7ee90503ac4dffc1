#pragma once

class SettingsStore;
class QWidget;

// Asks for the start-up password when one is stored. Returns false after two wrong answers:
// the program must then end at once, writing nothing.
bool askStartupPassword(SettingsStore &settings, QWidget *parent = nullptr);
