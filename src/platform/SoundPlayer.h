#pragma once

#include <QString>

// Plays a short sound file without waiting for it to end.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void playAsync(const QString &wavPath) = 0;
};
