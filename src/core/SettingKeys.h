#pragma once

#include <QString>

#include <span>

// Every settings key of the program, spelled once. Values are text; the value forms and what an
// absent key means are listed in settingKeyTable() for documentation and tests.
namespace SettingKey {
inline const QString OnTop = QStringLiteral("OnTop");
inline const QString CoordsX = QStringLiteral("CoordsX");
inline const QString CoordsY = QStringLiteral("CoordsY");
inline const QString Height = QStringLiteral("Height");
inline const QString Width = QStringLiteral("Width");
inline const QString Network = QStringLiteral("Network");
inline const QString StartMin = QStringLiteral("StartMin");
inline const QString ShowinTaskBar = QStringLiteral("ShowinTaskBar");
inline const QString DisplayApps = QStringLiteral("DisplayApps");
inline const QString NoSplash = QStringLiteral("NoSplash");
inline const QString NoSound = QStringLiteral("NoSound");
inline const QString AutoCompletion = QStringLiteral("AutoCompletion");
inline const QString IEEnhanced = QStringLiteral("IEEnhanced");
inline const QString Browser = QStringLiteral("Browser");
inline const QString EMail = QStringLiteral("EMail");               // also read as "Email"
inline const QString Email = QStringLiteral("Email");
inline const QString EMailSettings = QStringLiteral("EMailSettings"); // read as "EmailSettings"
inline const QString EmailSettings = QStringLiteral("EmailSettings");
inline const QString Dialer = QStringLiteral("Dialer");
inline const QString DefaultFont = QStringLiteral("DefaultFont");
inline const QString DefaultFontSize = QStringLiteral("DefaultFontSize");
inline const QString Password = QStringLiteral("drow");
inline const QString HotKey = QStringLiteral("HotKey"); // absent: Ctrl+Alt+N; empty: none
inline const QString SpellCheck = QStringLiteral("SpellCheck");
// Minutes without input before unlocked notes lock again, 0 for never.
inline const QString LockAfterMinutes = QStringLiteral("LockAfterMinutes");

// "Tab1" ... "Tab7": whether note tab n is shown.
QString tabShown(int n);
// "Tab1C" ... "Tab7C": the caption of note tab n.
QString tabCaption(int n);
} // namespace SettingKey

struct SettingKeyInfo
{
    const char *key;
    const char *valueForm;
    const char *whenAbsent;
};

// The complete key table, in the order the preferences dialog and start-up meet them.
std::span<const SettingKeyInfo> settingKeyTable();
