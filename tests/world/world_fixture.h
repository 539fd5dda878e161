// Shared set-up for the world tests: headless SDL, the manual clock, synthetic sprites
// of the real sizes, and keyboard players placed where a test wants them.
#pragma once

#include <gtest/gtest.h>

#include "support/test_support.h"
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

// A keyboard player in play (six lives, unshielded) at (x, y) heading `angle`.
inline Player& addFlyingPlayer(double x, double y, double angle = 0.0) {
    addPlayer();
    const int index = int(game.players.size()) - 1;
    resetShip(index, float(x), float(y));
    Player& p = game.players.back();
    p.lives = 6;
    p.ship.angle = angle;
    p.ship.shielded = 0;
    p.ship.protectionTimerOn = 0;
    return p;
}

// An asteroid drifting at (vx, vy) with no pull and the starting size.
inline Body& addAsteroid(double x, double y, float vx = 0, float vy = 0) {
    game.bodies.push_back(makeAsteroid(x, y, vx, vy, 0, 4, 3, 1.1f));
    return game.bodies.back();
}
