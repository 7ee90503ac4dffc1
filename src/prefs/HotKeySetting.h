#pragma once

#include <QString>
#include <Qt>

class SettingsStore;

// The global hot key as the settings hold it: Qt's portable key text ("Ctrl+Alt+N").
namespace HotKeySetting {

inline const QString DefaultKey = QStringLiteral("Ctrl+Alt+N");

// The stored text; the default when the key was never set. Empty means no hot key.
QString read(const SettingsStore &settings);

struct Parsed
{
    bool ok = false;                      // false: text that names no key; nothing is grabbed
    QKeyCombination key{Qt::Key_unknown}; // Key_unknown for empty text (no hot key)
};
// The first key of the text; a key without Ctrl, Alt or Meta (a bare letter) is refused, since
// grabbing it would take that key from every program.
Parsed parse(const QString &text);

// Enter, Esc and Tab (Shift or none held) belong to the dialog the key is chosen in: they apply,
// cancel and move on, and are never taken as the hot key.
bool isDialogKey(QKeyCombination key);

// The status-bar message for a key another program holds.
QString heldElsewhereMessage(const QString &text);

} // namespace HotKeySetting
