#pragma once

#include <QString>

// "Start Quillbox Plus when I log in": a desktop entry in the user's XDG autostart folder
// ($XDG_CONFIG_HOME/autostart/quillbox.desktop), which desktops run at login.
namespace AutostartEntry {

QString path();
bool exists();

// Writes the entry to start the program at programPath, or removes it. On failure error says why.
bool set(bool on, const QString &programPath, QString *error = nullptr);

// The entry's text; the Exec line quotes the path as desktop entries require.
QByteArray contents(const QString &programPath);

} // namespace AutostartEntry
