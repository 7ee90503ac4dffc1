#include "../Platform.h"
#include "DBusScreenLock.h"
#include "LinuxLauncher.h"
#include "PortalGlobalHotKey.h"
#include "QtSoundPlayer.h"
#include "SecretServiceKeyring.h"
#include "X11KeystrokeSender.h"
#include "XcbFrameExtents.h"
#include "XcbGlobalHotKey.h"

#include <QGuiApplication>

Platform Platform::createNative()
{
    Platform p;
    p.launcher = std::make_unique<LinuxLauncher>();
    p.keys = std::make_unique<X11KeystrokeSender>();
    p.sound = std::make_unique<QtSoundPlayer>();
    // X11 lets a program grab a key on the root window; Wayland leaves it to the desktop portal.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        p.hotKey = std::make_unique<PortalGlobalHotKey>();
    else
        p.hotKey = std::make_unique<XcbGlobalHotKey>();
    // Unknown off X11: the window then goes by Qt's own view of its frame.
    p.frames = std::make_unique<XcbFrameExtents>();
    p.keyring = std::make_unique<SecretServiceKeyring>();
    p.screenLock = std::make_unique<DBusScreenLock>();
    return p;
}
