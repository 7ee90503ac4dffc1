#pragma once

#include "FrameExtents.h"
#include "GlobalHotKey.h"
#include "KeystrokeSender.h"
#include "Launcher.h"
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

    static Platform createNative();
};
