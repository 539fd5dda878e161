// Shared set-up for the combat tests: headless SDL, the manual clock, synthetic
// sprites of the real sizes, silent sound effects that can be watched, and helpers
// that place ships, asteroids, shots and turrets where a test wants them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "support/test_support.h"
#include "support/world_builders.h"
#include "world/asteroids.h"
#include "world/bullets.h"
#include "world/collisions.h"
#include "world/objects.h"
#include "world/particles.h"
#include "world/players.h"
#include "world/ships.h"
#include "world/turrets.h"

// Two seconds of silence: long enough to be still playing when a test looks.
inline Mix_Chunk* makeSilentChunk() {
    static std::vector<Uint8> silence(44100 * 4 * 2, 0);
    return Mix_QuickLoad_RAW(silence.data(), Uint32(silence.size()));
}

// How many channels are playing `chunk` right now.
inline int playsOf(Mix_Chunk* chunk) {
    int n = 0;
    const int channels = Mix_AllocateChannels(-1);
    for (int c = 0; c < channels; ++c) {
        if (Mix_Playing(c) && Mix_GetChunk(c) == chunk) {
            ++n;
        }
    }
    return n;
}

// SDL, a manual clock at 100000 ms, sprites, sounds, one 30-fps frame per step,
// the frame rate on its cap and sounds switched off until a test turns them on.
inline void startCombat() {
    startSdl(false);
    useManualClock(100000);
    useSyntheticImages();
    game.shipFireSound = makeSilentChunk();
    game.turretFireSound = makeSilentChunk();
    game.engineSound = makeSilentChunk();
    game.asteroidHitSound = makeSilentChunk();
    game.frameFactor = 1.0;
    game.gameSpeed = 1.0f;
    game.frameCap = 30;
    game.measuredFps = 30.0f;
    game.soundsOn = 0;
    game.level = 1;
    game.difficulty = 1;
    releaseAllKeys();
    std::srand(4242);
}

// A shot at rest (unless given a velocity) fired by `ownerId`.
inline Bullet& addShot(float x, float y, int ownerId, int harmsShips = 0, float vx = 0,
                       float vy = 0) {
    Bullet b;
    initBullet(b);
    b.x = x;
    b.y = y;
    b.vx = vx;
    b.vy = vy;
    b.lifetimeMs = 3500;
    b.ownerId = ownerId;
    b.harmsShips = harmsShips;
    game.bullets.push_back(b);
    return game.bullets.back();
}

// A turret of the current level parameters, its reload long past.
inline Turret& addTurret(float x, float y) {
    game.turrets.push_back(makeTurret(x, y));
    Turret& t = game.turrets.back();
    t.lastFireTicks = 0;
    return t;
}

inline int countAlive(const std::vector<Body>& bodies) {
    int n = 0;
    for (const Body& b : bodies) {
        n += b.alive != 0 ? 1 : 0;
    }
    return n;
}
