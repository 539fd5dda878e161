// A whole first level played through the world step by a scripted pilot who only
// holds keys, with the clock moving 33 ms a step.
#include "combat_fixture.h"
#include "world/world_step.h"

namespace {

const double kShotSpeed = 11.0;

struct Aim {
    bool found = false;
    double heading = 0;  // where the barrel must point
    double distance = 0; // to the meeting point
    double reach = 0;    // half-width of the target seen from the ship, radians
};

// The first time a shot at kShotSpeed meets a point at r moving at w (both relative
// to the ship, in whose frame the shot flies straight), or a negative value for never.
double meetingTime(double rx, double ry, double wx, double wy) {
    const double qa = wx * wx + wy * wy - kShotSpeed * kShotSpeed;
    const double qb = 2 * (rx * wx + ry * wy);
    const double qc = rx * rx + ry * ry;
    if (std::fabs(qa) < 1e-9) {
        return qb < 0 ? -qc / qb : -1;
    }
    const double disc = qb * qb - 4 * qa * qc;
    if (disc < 0) {
        return -1;
    }
    const double t1 = (-qb - std::sqrt(disc)) / (2 * qa);
    const double t2 = (-qb + std::sqrt(disc)) / (2 * qa);
    const double first = std::min(t1, t2);
    const double second = std::max(t1, t2);
    return first > 0 ? first : second;
}

// Leads the asteroid (or one of its wrapped images) that a shot can meet soonest.
Aim aimAtNearestAsteroid(const Ship& s) {
    Aim best;
    double bestTime = 1e9;
    for (const Body& b : game.bodies) {
        if (b.kind != asteroid || !b.alive) {
            continue;
        }
        const double periodX = game.worldWidth + b.image->w;
        const double periodY = game.worldHeight + b.image->h;
        for (int ix = -1; ix <= 1; ++ix) {
            for (int iy = -1; iy <= 1; ++iy) {
                const double rx = b.x + ix * periodX - s.x;
                const double ry = b.y + iy * periodY - s.y;
                const double wx = b.vx - s.vx;
                const double wy = b.vy - s.vy;
                const double t = meetingTime(rx, ry, wx, wy);
                if (t <= 0 || t >= bestTime) {
                    continue;
                }
                bestTime = t;
                const double px = rx + wx * t;
                const double py = ry + wy * t;
                best.found = true;
                best.heading = std::atan2(py, px);
                best.distance = std::hypot(px, py);
                const double radiusUnits = (b.image->w + b.image->h) / 4 / game.scaleX;
                best.reach = std::atan2(radiusUnits * 0.6, best.distance);
            }
        }
    }
    return best;
}

// One step of the pilot: turn toward the lead point, shoot when it lines up.
void pilot(const Ship& s) {
    releaseAllKeys();
    if (!s.alive) {
        return;
    }
    const Aim aim = aimAtNearestAsteroid(s);
    if (!aim.found) {
        return;
    }
    const double err = std::remainder(aim.heading - s.angle, 2 * M_PI);
    const double halfTurn = s.turnRate / 2;
    if (err > halfTurn) {
        holdKey(SDLK_LEFT);
    } else if (err < -halfTurn) {
        holdKey(SDLK_RIGHT);
    }
    if (std::fabs(err) < aim.reach && aim.distance < 1400) {
        holdKey(SDLK_SPACE);
    }
}

} // namespace

TEST(WholeLevel, ScriptedShipShootsEveryAsteroidOfLevelOne) {
    startCombat();
    std::srand(2024);
    game.playerCount = 1;
    createPlayers();
    // Deaths are not the point here: enough lives that a collision never ends the run.
    game.players[0].lives = 1000;
    setLevelParameters(1, 1);
    setupLevel();
    ASSERT_EQ(countAsteroids(), 3);
    ASSERT_TRUE(game.turrets.empty());
    game.lastFrameTicks = currentTicks();

    int step = 0;
    const int kMaxSteps = 20000; // about eleven minutes of play
    size_t shotsSeen = 0;
    while (countAsteroids() > 0 && step < kMaxSteps) {
        pilot(game.players[0].ship);
        advanceClock(33);
        stepWorld();
        game.framesCounted += 1; // one drawn frame per step, as the game loop counts
        shotsSeen = std::max(shotsSeen, game.bullets.size());
        ++step;
    }
    EXPECT_EQ(countAsteroids(), 0) << "after " << step << " steps";
    EXPECT_GT(shotsSeen, 0u);
    // The last asteroid is erased in the step that broke it; level 1 has no planet.
    EXPECT_TRUE(game.bodies.empty());
    for (const Particle& p : game.particles) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    releaseAllKeys();
}
