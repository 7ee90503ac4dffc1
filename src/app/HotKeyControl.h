#pragma once

#include "GlobalHotKey.h"

#include <QObject>
#include <QPointer>

class Quillbox;

// The global hot key of the main window: takes the key the settings name, toggles the window when
// it is pressed, and says in the status bar, once per key, when another program holds it.
class HotKeyControl final : public QObject
{
    Q_OBJECT
public:
    HotKeyControl(Quillbox &window, GlobalHotKey *hotKey);

    // Takes the key in portable text ("Ctrl+Alt+N"); empty releases it.
    GlobalHotKey::Status apply(const QString &text);

private:
    Quillbox &m_window;
    QPointer<GlobalHotKey> m_hotKey;
    QString m_reported; // the last key whose trouble the status bar has shown
};
