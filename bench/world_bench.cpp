// One world step as the counts of bodies, shots and particles grow.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_support.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/particles.h"
#include "world/players.h"
#include "world/world_step.h"

namespace {

// Whether a shot at (x, y) would touch any body: shots in flight mostly do not, and a
// step where hundreds hit at once measures the bursts instead of the step.
int crowdTouching = 0;

bool touchesAnyBody(const Bullet& s) {
    for (const Body& b : game.bodies) {
        if (circlesOverlap(s.x, s.y, float(b.x), float(b.y), s.image->w + 4, s.image->h + 4,
                           b.image->w, b.image->h)) {
            return true;
        }
    }
    return false;
}

// Small asteroids drifting anywhere, the four players' shots in flight clear of them,
// bursts of particles; four shielded players steer nothing.
SavedWorld crowdedWorld(int bodies, int shots, int particles) {
    std::srand(7);
    useSteppedClock();
    releaseAllKeys();
    game.level = 1;
    game.difficulty = 1;
    game.playerCount = 4;
    game.nextObjectId = 0;
    setLevelParameters(game.level, game.difficulty);
    createPlayers();
    for (Player& p : game.players) {
        p.lives = 6;
    }
    game.bodies.clear();
    game.bullets.clear();
    game.particles.clear();
    game.turrets.clear();
    respawnAllShips();
    const float spread = 1.1f;
    for (int i = 0; i < bodies; ++i) {
        const float vx = float((std::rand() % 1000) - 500) / 350.0f;
        const float vy = float((std::rand() % 1000) - 500) / 350.0f;
        game.bodies.push_back(makeAsteroid(std::rand() % game.worldWidth,
                                           std::rand() % game.worldHeight, vx, vy, 0, 2, 1,
                                           spread));
    }
    for (int i = 0; i < shots; ++i) {
        Bullet b;
        initBullet(b);
        for (int tries = 0; tries < 1000 && (tries == 0 || touchesAnyBody(b)); ++tries) {
            b.x = float(std::rand() % game.worldWidth);
            b.y = float(std::rand() % game.worldHeight);
        }
        b.vx = float((std::rand() % 2200) - 1100) / 100.0f;
        b.vy = float((std::rand() % 2200) - 1100) / 100.0f;
        b.lifetimeMs = 3500;
        b.ownerId = game.players[size_t(i) % game.players.size()].ship.id;
        game.bullets.push_back(b);
    }
    for (int left = particles; left > 0; left -= 500) {
        makeExplosion(std::min(left, 500), 5000.0f, float(std::rand() % game.worldWidth),
                      float(std::rand() % game.worldHeight), 0, 0, game.explosionParticleImage);
    }
    int touching = 0;
    for (const Bullet& b : game.bullets) {
        touching += touchesAnyBody(b) ? 1 : 0;
    }
    crowdTouching = touching;
    return saveWorld(8);
}

void BM_StepWorld(benchmark::State& state) {
    const int bodies = int(state.range(0));
    const int shots = int(state.range(1));
    const int particles = int(state.range(2));
    useScreen(640, 480);
    const SavedWorld saved = crowdedWorld(bodies, shots, particles);
    double sum = 0;
    long n = 0;
    for (auto _ : state) {
        restoreWorld(saved);
        const auto start = BenchClock::now();
        advanceClock(33);
        stepWorld();
        const double step = secondsSince(start);
        state.SetIterationTime(step);
        sum += step;
        ++n;
    }
    state.counters["touching"] = crowdTouching;
    const std::string name = "stepWorld " + std::to_string(bodies) + " bodies, " +
                             std::to_string(shots) + " shots, " + std::to_string(particles) +
                             " particles";
    if (bodies == 200 && shots == 1000 && particles == 10000) {
        addSample(name, "ms", "< 0.6 ms", 0.0006, false, sum / double(n));
    } else {
        addSample(name, "ms", "scaling", 0, false, sum / double(n));
    }
}
BENCHMARK(BM_StepWorld)
    ->ArgNames({"bodies", "shots", "particles"})
    ->Args({10, 0, 0})
    ->Args({100, 0, 0})
    ->Args({1000, 0, 0})
    ->Args({0, 100, 0})
    ->Args({0, 1000, 0})
    ->Args({0, 5000, 0})
    ->Args({0, 0, 1000})
    ->Args({0, 0, 10000})
    ->Args({0, 1000, 10000})
    ->Args({100, 1000, 0})
    ->Args({200, 1000, 10000})
    ->Args({1000, 5000, 10000})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(100)
    ->Repetitions(5);

} // namespace
