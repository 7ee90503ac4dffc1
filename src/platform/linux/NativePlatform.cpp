#include "../Platform.h"
#include "LinuxLauncher.h"
#include "QtSoundPlayer.h"
#include "X11KeystrokeSender.h"
#include "XcbGlobalHotKey.h"

Platform Platform::createNative()
{
    Platform p;
    p.launcher = std::make_unique<LinuxLauncher>();
    p.keys = std::make_unique<X11KeystrokeSender>();
    p.sound = std::make_unique<QtSoundPlayer>();
    p.hotKey = std::make_unique<XcbGlobalHotKey>();
    return p;
}
