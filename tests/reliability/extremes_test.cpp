// The game at its extremes: every key held and pressed on every screen, difficulty 500 on
// level 600, a pause of an hour or of weeks, and play across the wrap of the clock.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "menus/controls.h"
#include "menus/new_game.h"
#include "menus/settings_menu.h"
#include "menus/title_menu.h"
#include "play/play.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/world_step.h"

namespace {

// Whether every number that motion, aiming or timing can spoil is finite.
bool worldFinite() {
    double sum = game.frameFactor + game.measuredFps;
    for (const Body& b : game.bodies) {
        sum += b.x + b.y + b.vx + b.vy;
    }
    for (const Bullet& b : game.bullets) {
        sum += b.x + b.y + b.vx + b.vy;
    }
    for (const Player& p : game.players) {
        sum += p.ship.x + p.ship.y + p.ship.vx + p.ship.vy + p.ship.angle;
    }
    return std::isfinite(sum);
}

// Whether the planets, asteroids and ships all stand in the field, give or take a sprite.
bool allInField() {
    const auto in = [](double x, double y) {
        return x >= -80 && y >= -80 && x <= game.worldWidth + 80 && y <= game.worldHeight + 80;
    };
    bool ok = true;
    for (const Body& b : game.bodies) {
        ok = ok && in(b.x, b.y);
    }
    for (const Player& p : game.players) {
        ok = ok && in(p.ship.x, p.ship.y);
    }
    return ok;
}

} // namespace

// The queue holds 128 events, so every key code comes as presses in frames of 100, with
// every key held meanwhile; U comes twice, as an uncapped loop never sleeps to run a step.
// The screen ends by itself or with 0 for the window close, and the world stays finite.
TEST(Extremes, EveryKeyHeldAndPressedOnEveryScreen) {
    // clang-format off
    const struct { const char* name; int difficulty, level; int (*run)(); } rows[] = {
        {"game", 1, 1, runGame},
        {"game at difficulty 500 on level 600", 500, 600, runGame},
        {"title", 1, 1, [] { titleMenu(); return 0; }},
        {"players", 1, 1, playerCountPrompt},
        {"ships", 1, 1, shipPrompt},
        {"difficulty", 1, 1, difficultyPrompt},
        {"controls", 1, 1, controlsPrompt},
        {"settings", 1, 1, settingsMenu},
    };
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EXIT(
            {
                startPlay(2);
                game.difficulty = r.difficulty;
                game.level = r.level;
                setLevelParameters(game.level, game.difficulty);
                setupLevel();
                Steps steps(60, [] {
                    releaseAllKeys();
                    holdKey(SDLK_SPACE); // both players fire
                    worldFinite() ? void() : std::_Exit(3);
                });
                for (int first = 1; first < SDLK_LAST; first += 100) {
                    steps.insert(steps.begin(), [first]() {
                        holdEveryKey();
                        for (int k = first; k < std::min(first + 100, int(SDLK_LAST)); ++k) {
                            pushKeyDown(SDLKey(k));
                            k == SDLK_u ? void(pushKeyDown(SDLK_u)) : void();
                        }
                    });
                }
                runScriptOnSleeps(steps, pushQuit);
                r.run();
                std::_Exit(worldFinite() ? 0 : 3);
            },
            ::testing::ExitedWithCode(0), "")
            << r.name;
    }
}

// Thrust, turn and fire are held through the pause, so the longest step of all pushes the
// ships at full strength; that step must wrap everything straight back into the field.
TEST(Extremes, PlayAfterAPauseOfAnHourOrOfWeeks) {
    for (Uint32 pauseMs : {3600u * 1000u, 0x7FFFFFFFu}) {
        startPlay(2);
        game.level = 10; // planets and a turret
        int frames = 0;
        double firstFactor = 0;
        runScriptOnSleeps({[] { pushKeyDown(SDLK_PAUSE); },
                           [pauseMs] {
                               advanceClock(pauseMs);
                               for (SDLKey k : {SDLK_UP, SDLK_LEFT, SDLK_SPACE, SDLK_PAUSE}) {
                                   k == SDLK_PAUSE ? void(pushKeyDown(k)) : holdKey(k);
                               }
                           },
                           [&] { firstFactor = game.frameFactor; }},
                          [&] {
                              EXPECT_TRUE(worldFinite() && allInField()) << pauseMs;
                              ++frames == 300 ? pushQuit() : void();
                          });
        EXPECT_EQ(runGame(), 0);
        EXPECT_NEAR(firstFactor, (pauseMs + 33) * 0.03, 2.0) << pauseMs;
        EXPECT_GT(game.bullets.size(), 0u); // the ships fire again once the rate is sampled
    }
}

namespace {

// Ten seconds of level 10 from clock reading `start`: one player thrusting, turning and
// firing throughout, destroyed at step 100; a line per world step of all a change of
// clock origin must leave untouched, alive and shielded first.
std::vector<std::string> playTenSeconds(Uint32 start) {
    setManualClock(start);
    std::srand(20261207);
    clearMessages();
    game.nextObjectId = 0;
    game.playerCount = 1;
    createPlayers();
    game.level = 10;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
    game.lastFrameTicks = game.fpsSampleStart = start;
    game.framesCounted = 0;
    game.measuredFps = 30;
    for (SDLKey k : {SDLK_UP, SDLK_LEFT, SDLK_SPACE}) {
        holdKey(k);
    }
    std::vector<std::string> trace;
    for (int step = 0; step < 300; ++step) {
        advanceClock(step % 3 == 2 ? 34 : 33);
        step == 100 ? playerDied(0) : void();
        stepWorld();
        game.framesCounted += 1;
        const Ship& s = game.players[0].ship;
        char line[200];
        std::snprintf(line, sizeof line, "%d %d %zu %zu %zu %zu %d %.3f %.3f %.4f", s.alive,
                      s.shielded, game.bullets.size(), game.particles.size(), game.bodies.size(),
                      game.messages.size(), game.players[0].lives, s.x, s.y,
                      game.turrets.empty() ? 0.0 : game.turrets[0].angle);
        trace.push_back(line);
    }
    return trace;
}

// The steps at which the character at `column` changes.
std::vector<int> changesAt(const std::vector<std::string>& trace, size_t column) {
    std::vector<int> at;
    for (size_t i = 1; i < trace.size(); ++i) {
        trace[i][column] != trace[i - 1][column] ? at.push_back(int(i)) : void();
    }
    return at;
}

} // namespace

TEST(Extremes, TenSecondsOfPlayAreTheSameWhereverTheClockWraps) {
    startPlay();
    const std::vector<std::string> reference = playTenSeconds(100000);
    // The start's shield ends at 3033 ms, the first step past 3000; destroyed at 3366 ms,
    // back at 6400 ms, the first step more than 3000 ms later, and shielded until 9433 ms.
    EXPECT_EQ(changesAt(reference, 0), (std::vector<int>{100, 191}));
    EXPECT_EQ(changesAt(reference, 2), (std::vector<int>{90, 191, 282}));
    for (Uint32 beforeWrap : {500u, 1500u, 3000u, 4500u, 6000u, 9000u}) {
        EXPECT_EQ(playTenSeconds(0u - beforeWrap), reference) << beforeWrap << " ms to the wrap";
    }
}
