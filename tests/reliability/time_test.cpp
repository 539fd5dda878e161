// Time at its extremes: an hour of pause in the middle of a game, and play across the
// wrap of the 32-bit millisecond clock, where every rule must see the same durations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "play/game_loop.h"
#include "play/messages.h"
#include "play/play_fixture.h"
#include "reliability/world_checks.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/players.h"
#include "world/world_step.h"

namespace {

bool inField(double x, double y, SDL_Surface* image) {
    const int w = image != nullptr ? image->w : 0;
    const int h = image != nullptr ? image->h : 0;
    return x >= -w && x <= game.worldWidth + w && y >= -h && y <= game.worldHeight + h;
}

// How many objects stand outside the field (with a margin of their own size).
int objectsOutside() {
    int n = 0;
    for (const Body& b : game.bodies) {
        n += inField(b.x, b.y, b.image) ? 0 : 1;
    }
    for (const Bullet& b : game.bullets) {
        n += inField(b.x, b.y, b.image) ? 0 : 1;
    }
    for (const Particle& p : game.particles) {
        n += inField(p.x, p.y, p.image) ? 0 : 1;
    }
    for (const Player& p : game.players) {
        n += inField(p.ship.x, p.ship.y, game.shipImages[size_t(p.ship.design)].shipImage) ? 0 : 1;
    }
    return n;
}

const Uint32 kHourMs = 3600u * 1000u;

} // namespace

TEST(LongPause, AnHourPausedThenPlayedStaysFiniteAndInTheField) {
    startPlaySession(2);
    game.level = 10; // planets and a turret
    std::srand(11);
    double firstStepFactor = 0;
    int framesAfter = 0;
    int shotsAfter = 0;
    int worstOutside = 0;
    std::string spoiled;
    runScriptOnSleeps({
                          []() { pushKeyDown(SDLK_PAUSE); },
                          []() {
                              EXPECT_EQ(game.paused, 1);
                              // Thrust, turn and fire held through the pause: the longest step of
                              // all then pushes the ships at full strength.
                              advanceClock(kHourMs);
                              holdKey(SDLK_UP);
                              holdKey(SDLK_LEFT);
                              holdKey(SDLK_SPACE);
                              pushKeyDown(SDLK_PAUSE);
                          },
                          [&]() { firstStepFactor = game.frameFactor; },
                      },
                      [&]() {
                          ++framesAfter;
                          if (spoiled.empty()) {
                              spoiled = firstNonFiniteValue();
                          }
                          worstOutside = std::max(worstOutside, objectsOutside());
                          shotsAfter += int(game.bullets.size());
                          if (framesAfter == 300) {
                              pushQuit();
                          }
                      });
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ(game.paused, 0);
    EXPECT_NEAR(firstStepFactor, (kHourMs + 33) / (100.0 / 3.0), 2.0);
    EXPECT_EQ(spoiled, "") << "a non-finite value in the " << spoiled;
    // The step that measured the hour wrapped everything straight back in.
    EXPECT_EQ(worstOutside, 0);
    EXPECT_GT(shotsAfter, 0); // the ships fire again once the frame rate is sampled
    EXPECT_GT(game.bodies.size(), 0u);
}

TEST(LongPause, TheMenuBackdropComesBackAtOnceAfterAnHourLongStep) {
    startPlaySession();
    game.level = 4;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
    // What the title menu measures after the machine slept for an hour.
    game.frameFactor = kHourMs / (100.0 / 3.0);
    moveBodies();
    wrapObjects(1);
    EXPECT_EQ(firstNonFiniteValue(), "");
    EXPECT_EQ(objectsOutside(), 0);
}

namespace {

const Uint32 kStepPattern[3] = {33, 33, 34}; // 30 steps a second, exactly

// One line per world step: what a change of clock origin must leave untouched.
std::string describeStep(Uint32 sinceStart) {
    char line[256];
    const Player& p = game.players[0];
    std::snprintf(line, sizeof line,
                  "t=%u shots=%zu particles=%zu bodies=%zu messages=%zu alive=%d shielded=%d "
                  "protected=%d lives=%d ship=(%.3f,%.3f) turret=%.4f",
                  sinceStart, game.bullets.size(), game.particles.size(), game.bodies.size(),
                  game.messages.size(), p.ship.alive, p.ship.shielded, p.ship.protectionTimerOn,
                  p.lives, p.ship.x, p.ship.y, game.turrets.empty() ? 0.0 : game.turrets[0].angle);
    return line;
}

// Ten seconds of level 10 from clock reading `start`: one player thrusting, turning and
// firing throughout, destroyed after 100 steps (once the protection of the level's
// start is over), so the respawn, the protection that
// follows, the death message, the explosion's particles, the exhaust, the shots and the
// turret's reload all run their course.
std::vector<std::string> playTenSeconds(Uint32 start) {
    setManualClock(start);
    std::srand(20261207);
    clearMessages();
    game.nextObjectId = 0;
    game.players.clear();
    addPlayer();
    game.players[0].lives = 6;
    game.level = 10;
    game.difficulty = 1;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
    game.lastFrameTicks = start;
    game.fpsSampleStart = start;
    game.framesCounted = 0;
    game.measuredFps = 30;
    releaseAllKeys();
    holdKey(SDLK_UP);
    holdKey(SDLK_LEFT);
    holdKey(SDLK_SPACE);

    std::vector<std::string> trace;
    for (int step = 0; step < 300; ++step) {
        advanceClock(kStepPattern[step % 3]);
        if (step == 100) {
            playerDied(0);
        }
        stepWorld();
        game.framesCounted += 1; // the game loop's count, which the frame-rate sample reads
        trace.push_back(describeStep(currentTicks() - start));
    }
    return trace;
}

// The value written after `field=` in a trace line.
std::string fieldOf(const std::string& line, const std::string& field) {
    const size_t from = line.find(field + "=") + field.size() + 1;
    return line.substr(from, line.find(' ', from) - from);
}

// The steps (indices into the trace) at which `field` changes from one value to another.
std::vector<size_t> changesOf(const std::vector<std::string>& trace, const std::string& field) {
    std::vector<size_t> at;
    for (size_t i = 1; i < trace.size(); ++i) {
        if (fieldOf(trace[i], field) != fieldOf(trace[i - 1], field)) {
            at.push_back(i);
        }
    }
    return at;
}

} // namespace

TEST(ClockWrap, TenSecondsOfPlayAreTheSameWhereverTheWrapFalls) {
    startSdl(true);
    useSyntheticImages();
    game.musicOn = 0;
    const std::vector<std::string> reference = playTenSeconds(100000);

    // The reference itself shows every timer at work, so the comparison means something.
    ASSERT_EQ(changesOf(reference, "alive").size(), 2u); // destroyed, then back
    ASSERT_GE(changesOf(reference, "protected").size(), 3u);
    ASSERT_GE(changesOf(reference, "messages").size(), 2u);
    ASSERT_GE(changesOf(reference, "shots").size(), 10u);
    ASSERT_GE(changesOf(reference, "particles").size(), 10u);

    // The wrap half a second in, in the middle of the respawn wait, during the
    // protection, and late in the run.
    for (Uint32 beforeWrap : {500u, 1500u, 3000u, 4500u, 6000u, 9000u}) {
        const std::vector<std::string> wrapped = playTenSeconds(0u - beforeWrap);
        ASSERT_EQ(wrapped.size(), reference.size());
        for (size_t i = 0; i < reference.size(); ++i) {
            ASSERT_EQ(wrapped[i], reference[i])
                << "step " << i << " with the wrap " << beforeWrap << " ms after the start";
        }
    }
}

TEST(ClockWrap, RespawnAndProtectionCountFromBeforeTheWrap) {
    startSdl(false);
    useSyntheticImages();
    game.musicOn = 0;
    const std::vector<std::string> trace = playTenSeconds(0u - 4000u); // wraps mid-wait
    const auto msAt = [&](size_t step) { return Uint32(std::stoul(fieldOf(trace[step], "t"))); };
    const auto valueAt = [&](size_t step, const std::string& field) {
        return std::stoi(fieldOf(trace[step], field));
    };
    // Each return comes at the first step more than 3000 ms after the death, and each
    // protection ends at the first step more than 3000 ms after it began.
    Uint32 diedAt = 0;
    Uint32 shieldedAt = 0;
    int returns = 0;
    int shieldsEnded = 0;
    for (size_t i = 1; i < trace.size(); ++i) {
        if (valueAt(i - 1, "alive") == 1 && valueAt(i, "alive") == 0) {
            diedAt = msAt(i);
        }
        if (valueAt(i - 1, "alive") == 0 && valueAt(i, "alive") == 1) {
            ++returns;
            shieldedAt = msAt(i);
            EXPECT_GT(msAt(i) - diedAt, 3000u) << trace[i];
            EXPECT_LE(msAt(i - 1) - diedAt, 3000u) << trace[i];
        }
        if (returns > 0 && valueAt(i - 1, "shielded") == 1 && valueAt(i, "shielded") == 0) {
            ++shieldsEnded;
            EXPECT_GT(msAt(i) - shieldedAt, 3000u) << trace[i];
            EXPECT_LE(msAt(i - 1) - shieldedAt, 3000u) << trace[i];
        }
    }
    EXPECT_GE(returns, 1);
    EXPECT_GE(shieldsEnded, 1);
}
