#pragma once

#include <QString>

#include <array>

class Launcher;
class PreferencesTarget;
class QWidget;
class SettingsStore;

// Everything the preferences dialog shows, one member per control.
struct PreferenceValues
{
    bool useSystemHandlers = true;   // Check2, "IEEnhanced"
    QString browser;                 // Text1, "Browser"
    QString email;                   // Text2, "EMail"
    QString emailOptions;            // Text3, "EMailSettings"
    bool noSound = false;            // Check4, "NoSound"
    bool startMinimized = true;      // Check1, "StartMin"
    bool noSplash = false;           // Check3, "NoSplash"
    bool showInTaskBar = false;      // Check5, "ShowinTaskBar"
    bool hideLaunchCommands = false; // Check6, "DisplayApps"
    QString dialer;                  // Text5, "Dialer"
    std::array<QString, 7> tabNames; // Text6..Text10, Text12, Text13, "Tab1C".."Tab7C"
    std::array<bool, 7> tabShown{};  // Check13..Check7, "Tab1".."Tab7"
    QString noteDirectory;           // Text11, "Network"
    QString password;                // Text14
    QString confirmation;            // Text15
    QString hotKey;                  // "HotKey", portable key text; empty for none
    bool startAtLogin = false;       // the XDG autostart entry exists
    int lockAfterMinutes = 15;       // "LockAfterMinutes", 0 for never
};

// Reading the settings into the dialog and applying the dialog to the settings and the window.
namespace Preferences {

// The values the dialog opens with. Browser and e-mail boxes left blank are filled from the
// desktop's registered handlers, when the launcher is given.
PreferenceValues read(const SettingsStore &settings, Launcher *launcher);

// The program part of a registered handler command: the text before its first blank, or a
// quoted program path whole.
QString handlerProgram(const QString &command);

// Puts the default names into every name box, shows tabs 1 to 5 and hides 6 and 7.
void resetTabs(PreferenceValues &values);

enum class ApplyResult {
    Done,              // everything written and applied; the dialog closes
    PasswordMismatch,  // the user was told, the old password is gone; the dialog stays open
    PasswordNotSaved,  // the store refused the password; the user was told, the dialog stays open
    NoteDirectoryKept, // the chosen note directory cannot be written and the user chose another
                       // one: nothing was applied, the dialog stays open
};

// Writes every setting and applies the changes to the window, in the order users rely on: the
// password comes last, so a mismatch leaves everything else applied. A setting that cannot be
// written is reported once; the window still takes the new values for this session.
ApplyResult apply(const PreferenceValues &values, SettingsStore &settings, PreferencesTarget &target,
                  QWidget *dialogParent);

// Deletes the stored password at once; a missing one is not an error.
void removePassword(SettingsStore &settings);

} // namespace Preferences
