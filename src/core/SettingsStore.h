#pragma once

#include <QString>
#include <QStringList>

// The program's one persistent key/value store: application "Quillbox Plus", section "Settings".
// Every value is text. Keys match regardless of letter case, so a key written by hand in the INI
// file as "browser=" is the same as the program's "Browser". Nothing is cached: every read goes to
// the file, so a value written by another running instance is seen at once.
class SettingsStore final
{
public:
    // The store at $XDG_CONFIG_HOME/Quillbox Plus/Quillbox Plus.ini (~/.config/... by default).
    SettingsStore();
    // A store at an explicit INI path (tests use a temporary directory).
    explicit SettingsStore(QString iniPath);

    static QString defaultPath();

    QString path() const { return m_path; }

    // The value stored under the key, or the empty string when there is none.
    QString GetSettingValue(const QString &key) const;
    // Stores the value as text, replacing an earlier value under any letter case of the key.
    // Returns false when the file could not be written.
    bool SaveSettingValue(const QString &key, const QString &value);
    bool SaveSettingValue(const QString &key, int value);
    bool SaveSettingValue(const QString &key, double value);
    // Removes the key in every letter case; a missing key is not an error.
    bool DeleteSetting(const QString &key);

    // All keys as they stand in the file (for diagnostics and tests).
    QStringList keys() const;

private:
    QString m_path;
};

// Shortest decimal text of a number ("10", "10.5", "-1200").
QString shortestDecimal(double value);
