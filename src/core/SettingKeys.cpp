#include "SettingKeys.h"

#include <array>

QString SettingKey::tabShown(int n)
{
    return QStringLiteral("Tab%1").arg(n);
}

QString SettingKey::tabCaption(int n)
{
    return QStringLiteral("Tab%1C").arg(n);
}

namespace {
constexpr std::array kTable{
    SettingKeyInfo{"Tab1", "YES or NO", "shown"},
    SettingKeyInfo{"Tab2", "YES or NO", "shown"},
    SettingKeyInfo{"Tab3", "YES or NO", "shown"},
    SettingKeyInfo{"Tab4", "YES or NO", "shown"},
    SettingKeyInfo{"Tab5", "YES or NO", "shown"},
    SettingKeyInfo{"Tab6", "YES or NO", "hidden"},
    SettingKeyInfo{"Tab7", "YES or NO", "hidden"},
    SettingKeyInfo{"Tab1C", "caption text", "Notes"},
    SettingKeyInfo{"Tab2C", "caption text", "Web Pages"},
    SettingKeyInfo{"Tab3C", "caption text", "E-Mail Addresses"},
    SettingKeyInfo{"Tab4C", "caption text", "Phone/Fax Numbers"},
    SettingKeyInfo{"Tab5C", "caption text", "Other"},
    SettingKeyInfo{"Tab6C", "caption text", "Other 2"},
    SettingKeyInfo{"Tab7C", "caption text", "Other 3"},
    SettingKeyInfo{"Network", "directory of the note files", "the program's own directory"},
    SettingKeyInfo{"OnTop", "Yes or No", "not on top; start-up writes No"},
    SettingKeyInfo{"CoordsX", "left edge in twips", "centred when both are 0"},
    SettingKeyInfo{"CoordsY", "top edge in twips", "centred when both are 0"},
    SettingKeyInfo{"Height", "height in twips, or Max", "design size"},
    SettingKeyInfo{"Width", "width in twips, or Max", "design size"},
    SettingKeyInfo{"StartMin", "1 or 0", "normal start"},
    SettingKeyInfo{"ShowinTaskBar", "YES or NO", "no task-bar entry while minimised"},
    SettingKeyInfo{"DisplayApps", "YES (hide launch commands) or NO", "shown"},
    SettingKeyInfo{"NoSplash", "1 or 0", "splash shown"},
    SettingKeyInfo{"NoSound", "1 or 0", "sounds on"},
    SettingKeyInfo{"AutoCompletion", "Yes or No", "on"},
    SettingKeyInfo{"IEEnhanced", "YES or NO", "off (the dialog shows it ticked)"},
    SettingKeyInfo{"Browser", "browser command", "setup prompt"},
    SettingKeyInfo{"EMail", "e-mail program command (also read as Email)", "setup prompt"},
    SettingKeyInfo{"EMailSettings", "e-mail options (read as EmailSettings)", "no options"},
    SettingKeyInfo{"Dialer", "dialer path", "the system dialer"},
    SettingKeyInfo{"DefaultFont", "font name", "the font of the first note"},
    SettingKeyInfo{"DefaultFontSize", "size in points", "the size of the first note's font"},
    SettingKeyInfo{"drow", "the password record", "no password"},
    SettingKeyInfo{"HotKey", "key sequence in portable text (Ctrl+Alt+N), empty for none", "Ctrl+Alt+N"},
    SettingKeyInfo{"SpellCheck", "Yes or No", "on when a dictionary is installed"},
    SettingKeyInfo{"LockAfterMinutes", "whole minutes without input, 0 to 1440; 0 for never",
                   "15 (also for other values)"},
};
} // namespace

std::span<const SettingKeyInfo> settingKeyTable()
{
    return kTable;
}
