#include "world/asteroids.h"

#include <cstdlib>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/ships.h"
#include "world/turrets.h"

namespace {

// rand() % n for a range that may be empty: an empty range draws 0 without a division.
int drawBelow(int n) {
    return n > 0 ? std::rand() % n : 0;
}

} // namespace

Body makePlanet(float x, float y, float mass) {
    Body b;
    initBody(b);
    b.kind = planet;
    b.x = x;
    b.y = y;
    b.attracts = 1;
    b.pulled = 0;
    b.pullEnabled = 1;
    b.hitClass = ignoresBullets;
    b.absorbsBullets = 1;
    b.deadly = 0;
    b.mass = mass;
    b.splitsLeft = -1;
    b.fragmentSpread = 1.0f;
    b.vx = 0;
    b.vy = 0;
    b.image = game.planetImage;
    return b;
}

Body makeAsteroid(double x, double y, float vx, float vy, int attracts, int size, int splitsLeft,
                  float fragmentSpread) {
    Body b;
    initBody(b);
    b.kind = asteroid;
    b.x = x;
    b.y = y;
    b.attracts = attracts;
    b.pulled = 1;
    b.pullEnabled = 0;
    b.hitClass = breaksUp;
    b.absorbsBullets = 1;
    b.deadly = 1;
    b.mass = 8.0f * float(size);
    b.size = size;
    b.splitsLeft = splitsLeft;
    b.fragmentSpread = fragmentSpread;
    b.vx = vx;
    b.vy = vy;
    b.image = (size >= 2 && size <= 5) ? game.asteroidImages[size] : game.asteroidImages[1];
    return b;
}

void setupLevel() {
    game.bodies.clear();
    game.bullets.clear();
    game.particles.clear();
    game.turrets.clear();

    respawnAllShips();

    const LevelParameters& p = game.levelParams;
    for (int i = 0; i < p.planetCount; ++i) {
        const int range = truncToInt(p.planetMassMax - p.planetMassMin) + 1;
        const float mass = float(drawBelow(range)) + p.planetMassMin;
        const int y = drawBelow(game.worldHeight);
        const int x = drawBelow(game.worldWidth);
        game.bodies.push_back(makePlanet(float(x), float(y), mass));
    }
    const float spread = float(game.difficulty * 0.1 + 1.0);
    for (int i = 0; i < p.asteroidCount; ++i) {
        const float vy = roundToSingle(((std::rand() % 1000) - 500) / 350.0);
        const float vx = roundToSingle(((std::rand() % 1000) - 500) / 350.0);
        const int y = drawBelow(game.worldHeight);
        const int x = drawBelow(game.worldWidth);
        game.bodies.push_back(makeAsteroid(x, y, vx, vy, 0, 4, 3, spread));
    }
    for (int i = 0; i < p.turretCount; ++i) {
        const int y = drawBelow(game.worldHeight);
        const int x = drawBelow(game.worldWidth);
        game.turrets.push_back(makeTurret(float(x), float(y)));
    }
}

int countAsteroids() {
    int n = 0;
    for (const Body& b : game.bodies) {
        n += b.kind == asteroid ? 1 : 0;
    }
    return n;
}

void splitAsteroid(int bodyIndex) {
    if (bodyIndex < 0 || size_t(bodyIndex) >= game.bodies.size()) {
        return;
    }
    // Fragments are appended, which may move the sequence: work on a copy of the parent.
    Body a = game.bodies[size_t(bodyIndex)];
    if (a.splitsLeft > 1) {
        a.size -= 1;
        a.splitsLeft -= 1;
        game.bodies[size_t(bodyIndex)].size = a.size;
        game.bodies[size_t(bodyIndex)].splitsLeft = a.splitsLeft;
        for (int i = 0; i < game.levelParams.fragmentCount; ++i) {
            const float vy = roundToSingle(std::rand() % 1000 * a.fragmentSpread / 250 + a.vy);
            const float vx = roundToSingle(std::rand() % 1000 * a.fragmentSpread / 250 + a.vx);
            // Integer division: offsets of 0 to 3 units, never negative.
            const double y = (std::rand() % 1000) / 300 + a.y;
            const double x = (std::rand() % 1000) / 300 + a.x;
            game.bodies.push_back(
                makeAsteroid(x, y, vx, vy, a.attracts, a.size, a.splitsLeft, a.fragmentSpread));
        }
    }
    game.bodies[size_t(bodyIndex)].alive = 0;
}

void drawBodies() {
    for (const Body& b : game.bodies) {
        blitWorld(truncToInt(b.x), truncToInt(game.worldHeight - b.y), b.image, game.screen);
    }
}
