#include "SoundEffectManager.h"

SoundEffectManager& SoundEffectManager::shared()
{
    static auto* instance = new SoundEffectManager;
    return *instance;
}

void SoundEffectManager::playSwitchSound()
{
}
