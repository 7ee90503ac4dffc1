#pragma once

#include "../SoundPlayer.h"

#include <memory>

class QSoundEffect;

class QtSoundPlayer final : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void playAsync(const QString &wavPath) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};
