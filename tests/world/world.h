// World tests: clock at 100000 ms, sprites at 0.4 pixels per unit (ship 24 x 24, asteroid
// 35 x 35, shot 4 x 4, turret 28 x 28, planet 70 x 70), rand() from seed 1 (glibc).
#pragma once

#include "support/test_support.h"
#include "world/asteroids.h"
#include "world/bullets.h"
#include "world/collisions.h"
#include "world/particles.h"
#include "world/players.h"
#include "world/ships.h"
#include "world/turrets.h"
#include "world/world_step.h"
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

inline int playsOf(Mix_Chunk* chunk) {
    int n = 0;
    for (int c = 0; c < Mix_AllocateChannels(-1); ++c) {
        n += Mix_Playing(c) && Mix_GetChunk(c) == chunk ? 1 : 0;
    }
    return n;
}

// A keyboard player in play (six lives, unshielded, at rest) at (x, y) heading `angle`.
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

// A size-4 asteroid, as a level starts them (three break-ups left).
inline Body& addAsteroid(double x, double y, float vx = 0, float vy = 0) {
    game.bodies.push_back(makeAsteroid(x, y, vx, vy, 0, 4, 3, 1.1f));
    return game.bodies.back();
}

template <typename T> long countAlive(const std::vector<T>& v) {
    return std::count_if(v.begin(), v.end(), [](const T& o) { return o.alive != 0; });
}

inline void clearWorld() {
    game.players.clear();
    game.bodies.clear();
    game.bullets.clear();
    game.particles.clear();
    game.turrets.clear();
    Mix_HaltChannel(-1);
    releaseAllKeys();
}

inline void startWorld(bool fonts = false) {
    startSdl(fonts);
    useManualClock(100000);
    useSyntheticImages();
    static std::vector<Uint8> silence(44100 * 4 * 2, 0); // still playing when a test looks
    for (Mix_Chunk** c :
         {&game.shipFireSound, &game.turretFireSound, &game.engineSound, &game.asteroidHitSound}) {
        *c = Mix_QuickLoad_RAW(silence.data(), Uint32(silence.size()));
    }
    game.soundsOn = 0;
    clearWorld();
    std::srand(1);
}

// Whether a row of results agrees with a row of worked values, each within `tolerance`.
inline testing::AssertionResult near(const std::vector<double>& got,
                                     const std::vector<double>& want, double tolerance = 1e-4) {
    for (size_t i = 0; i < got.size() && i < want.size(); ++i) {
        if (!(std::fabs(got[i] - want[i]) <= tolerance)) {
            return testing::AssertionFailure()
                   << "value " << i << ": " << got[i] << ", not " << want[i];
        }
    }
    return testing::AssertionResult(got.size() == want.size());
}

inline bool colourAt(int x, int y, Uint8 r, Uint8 g, Uint8 b) {
    const SDL_Color c = pixelAt(game.screen, x, y);
    return c.r == r && c.g == g && c.b == b;
}

// A scene of tokens "<kind>x,y<flags>": S ship, A size-4 asteroid moving (0.5, 0.25), P
// planet of mass 2, K body any shot destroys, T turret, G attracting shot of mass 2, E
// exhaust particle, B shot fired by ship n (@n), the turret (@t) or a stranger (@x).
// Flags: h harms ships, p pierces, d dead, s shielded, o out of lives, f flies at 11
// along x, g gravityOn, m homing, r an asteroid that feels gravity, of mass 5.
inline void build(const std::string& scene) {
    std::istringstream in(scene);
    for (std::string tok; in >> tok;) {
        float x = 0, y = 0;
        int used = 0;
        std::sscanf(tok.c_str() + 1, "%f,%f%n", &x, &y, &used);
        const std::string flags = tok.substr(size_t(1 + used));
        auto has = [&](char c) { return flags.find(c) != std::string::npos; };
        const char kind = tok[0];
        if (kind == 'S') { // at rest, heading east, six lives
            Player& p = addFlyingPlayer(x, y);
            p.ship.shielded = has('s');
            p.ship.alive = !has('d');
            p.lives = has('o') ? 0 : 6;
        } else if (kind == 'A') {
            addAsteroid(x, y, 0.5f, 0.25f).pullEnabled = has('r');
            game.bodies.back().mass = has('r') ? 5 : 32;
        } else if (kind == 'P' || kind == 'K') {
            game.bodies.push_back(makePlanet(x, y, 2));
            game.bodies.back().hitClass = kind == 'K' ? destroyedByAnyBullet : ignoresBullets;
        } else if (kind == 'T') {
            game.turrets.push_back(makeTurret(x, y));
        } else if (kind == 'E') {
            makeExplosion(1, 0, x, y, 0, 0, game.exhaustParticleImage);
        } else {
            const char o = kind == 'G' ? 'x' : flags[flags.find('@') + 1];
            Bullet b;
            initBullet(b);
            b.x = x;
            b.y = y;
            b.vx = has('f') ? 11 : 0;
            b.lifetimeMs = 3500;
            b.ownerId = o == 'x'   ? 999
                        : o == 't' ? game.turrets[0].id
                                   : game.players[size_t(o - '0')].ship.id;
            b.harmsShips = has('h');
            b.absorbedOnHit = !has('p');
            b.alive = !has('d');
            b.attracts = kind == 'G';
            b.mass = kind == 'G' ? 2 : b.mass;
            b.gravityOn = has('g');
            b.homing = has('m');
            game.bullets.push_back(b);
        }
    }
}
