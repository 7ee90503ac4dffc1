#pragma once

#include "../ScreenLock.h"

// Listens on the session bus for the screen saver's ActiveChanged(true): the freedesktop.org
// interface (KDE, Xfce, ...) and GNOME's own, which is the one GNOME Shell sends. Every lock is
// told, even when both interfaces tell it; locking twice is harmless. Without a session bus it
// simply never tells anything.
class DBusScreenLock final : public ScreenLock
{
    Q_OBJECT
public:
    explicit DBusScreenLock(QObject *parent = nullptr);

private slots:
    void activeChanged(bool active);
};
