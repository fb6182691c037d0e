#pragma once

#include <QObject>

// Plays the short switch sound.
class SoundEffectManager : public QObject {
    Q_OBJECT
public:
    static SoundEffectManager& shared();

    void playSwitchSound();
};
