#pragma once

#include "FrameExtents.h"
#include "GlobalHotKey.h"
#include "Keyring.h"
#include "KeystrokeSender.h"
#include "Launcher.h"
#include "ScreenLock.h"
#include "SoundPlayer.h"

#include <memory>

// The platform services of this build: the Linux ones in the program, recording fakes in tests.
struct Platform
{
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<KeystrokeSender> keys;
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<GlobalHotKey> hotKey;
    std::unique_ptr<FrameExtents> frames;
    std::unique_ptr<Keyring> keyring;
    std::unique_ptr<ScreenLock> screenLock;

    static Platform createNative();
};
