// Shared set-up for the world tests: headless SDL, the manual clock, synthetic sprites
// of the real sizes, and keyboard players placed where a test wants them.
#pragma once

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "support/world_builders.h"
#include "world/asteroids.h"
#include "world/players.h"
#include "world/ships.h"

// SDL, a manual clock at 100000 ms, sprites, and one 30-fps frame per step.
inline void startWorld(bool fonts = false) {
    startSdl(fonts);
    useManualClock(100000);
    useSyntheticImages();
    game.frameFactor = 1.0;
    game.gameSpeed = 1.0f;
    game.soundsOn = 0;
    releaseAllKeys();
}

