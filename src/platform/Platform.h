#pragma once

#include <memory>

class Launcher;
class KeystrokeSender;
class SoundPlayer;

// The platform services of this build: the Linux ones in the program, recording fakes in tests.
struct Platform
{
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<KeystrokeSender> keys;
    std::unique_ptr<SoundPlayer> sound;

    static Platform createNative();
};
