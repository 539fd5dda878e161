#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "play/messages.h"
#include "play/play_fixture.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/players.h"
#include "world/turrets.h"

namespace {

// Runs the game with one scripted step per sleep (that is, per finished frame);
// once the steps run out the window is closed, so a game that should have ended
// cannot hang the test.
int playScript(std::vector<std::function<void()>> steps) {
    runScriptOnSleeps(std::move(steps), []() { pushQuit(); });
    return runGame();
}

void removeAsteroids() {
    std::erase_if(game.bodies, [](const Body& b) { return b.kind == asteroid; });
}

} // namespace

TEST(GameFlow, AnnouncesTheGameAndTheFirstLevel) {
    startPlaySession();
    pushQuit();
    EXPECT_EQ(playScript({}), 0);
    const std::vector<std::string> shown = shownTexts();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], "New game started with 1 player at difficulty level 1");
    EXPECT_EQ(shown[1], "Starting Level 1");
    EXPECT_EQ(game.messages[0].durationMs, 6000u);
    EXPECT_EQ(game.messages[1].durationMs, 6000u);
}

TEST(GameFlow, TwoPlayersArePlural) {
    startPlaySession(2);
    game.difficulty = 3;
    pushQuit();
    playScript({});
    EXPECT_EQ(shownTexts()[0], "New game started with 2 players at difficulty level 3");
}

TEST(GameFlow, ALevelWithoutAsteroidsEndsAfterThatFrame) {
    startPlaySession();
    int levelAfterEmptyFrame = 0;
    playScript({
        removeAsteroids,                                         // after frame 1
        [&]() { levelAfterEmptyFrame = game.level; },            // frame 2 counted none
        [&]() { EXPECT_EQ(countShown("Starting Level 2"), 1); }, // first frame of level 2
    });
    EXPECT_EQ(levelAfterEmptyFrame, 1);
    EXPECT_EQ(game.level, 2);
    EXPECT_GT(countAsteroids(), 0); // the new level has its own
}

TEST(GameFlow, EndsWithinASecondOfTheLastLife) {
    startPlaySession();
    Uint32 lostAt = 0;
    int framesAfter = 0;
    runScriptOnSleeps({[&]() {
                          game.players[0].lives = 0;
                          lostAt = currentTicks();
                      }},
                      [&]() {
                          ++framesAfter;
                          if (framesAfter > 100) {
                              pushQuit();
                          }
                      });
    EXPECT_EQ(runGame(), 1);
    EXPECT_GT(framesAfter, 1); // the game went on meanwhile
    EXPECT_LE(currentTicks() - lostAt, 1000u + 34u);
    EXPECT_EQ(game.players[0].lives, 0);
}

TEST(GameFlow, ClosingTheWindowFinishesTheFrameAndReturnsZero) {
    startPlaySession();
    pushQuit();
    EXPECT_EQ(playScript({}), 0);
    EXPECT_EQ(sleepsSeen(), 1);
    EXPECT_EQ(game.frameCounter, 1);
}

TEST(GameFlow, EscapeLeavesAtOnceWithShotsAndParticlesGone) {
    startPlaySession();
    size_t bodies = 0;
    size_t messages = 0;
    int result = playScript({[&]() {
        game.bullets.push_back(Bullet{});
        game.particles.push_back(Particle{});
        game.turrets.push_back(makeTurret(100, 100));
        bodies = game.bodies.size();
        messages = game.messages.size();
        pushKeyDown(SDLK_ESCAPE);
    }});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(sleepsSeen(), 1); // the Escape frame did not get as far as its sleep
    EXPECT_TRUE(game.bullets.empty());
    EXPECT_TRUE(game.particles.empty());
    EXPECT_EQ(game.bodies.size(), bodies);
    EXPECT_EQ(game.turrets.size(), 1u);
    EXPECT_EQ(game.messages.size(), messages);
}

TEST(GameFlow, LevelKeysPastLevelOneRestartAtLevelOne) {
    startPlaySession();
    playScript({
        []() {
            holdKey(SDLK_LALT);
            pushKeyDown(SDLK_l);
            pushKeyDown(SDLK_l);
            pushKeyDown(SDLK_l);
        },
        []() { EXPECT_EQ(game.level, -2); },
        []() {},
    });
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.difficulty, 4);
    EXPECT_EQ(countShown("Starting Level 1"), 2);
    EXPECT_EQ(countShown("Starting Level -1"), 0);
    EXPECT_GT(game.levelParams.asteroidCount, 0);
}

TEST(GameFlow, PausedFramesKeepTheCapAndExpireMessages) {
    startPlaySession();
    game.paused = 1;
    Uint32 lastStep = 0;
    int frames = 0;
    runScriptOnSleeps({}, [&]() {
        ++frames;
        if (frames == 1) {
            showMessage("short", 100);
            lastStep = game.lastFrameTicks;
        }
        if (frames == 10) {
            pushQuit();
        }
    });
    runGame();
    for (Uint32 ms : sleepLog()) {
        EXPECT_EQ(ms, 33u);
    }
    EXPECT_EQ(game.frameCounter, 0);
    EXPECT_EQ(game.lastFrameTicks, lastStep); // no world step ran
    EXPECT_EQ(game.messages.size(), 2u);      // only the two start lines are left
}

TEST(GameFlow, AGameLeftPausedStartsTheNextPaused) {
    startPlaySession();
    playScript({[]() {
        pushKeyDown(SDLK_PAUSE);
        pushKeyDown(SDLK_ESCAPE);
    }});
    EXPECT_EQ(game.paused, 1);
    const int frames = game.frameCounter;
    pushQuit();
    playScript({});
    EXPECT_EQ(game.frameCounter, frames);
}

TEST(GameFlow, OnceASecondTheFpsFigureIsShown) {
    startPlaySession();
    game.paused = 1; // no world step, so nothing samples the rate anew
    game.measuredFps = 17.9f;
    std::vector<std::function<void()>> steps(40, []() {});
    steps[28] = []() { EXPECT_EQ(game.fpsShown, 30) << "before the first second"; };
    playScript(steps);
    EXPECT_EQ(game.fpsShown, 17);
}

// A whole game from the first frame to game over: a ship that turns, thrusts and fires,
// two levels skipped, a pause, and deaths until no life is left.
TEST(GameFlow, PlaysFromStartToGameOver) {
    startPlaySession();
    const KeyBindings keys = game.players[0].keys;
    std::vector<std::function<void()>> steps;
    steps.push_back([keys]() {
        holdKey(keys.thrust);
        holdKey(keys.left);
        holdKey(keys.fire);
    });
    for (int i = 0; i < 20; ++i) {
        steps.push_back([]() {});
    }
    steps.push_back([]() { pushAltKey(SDLK_p); });
    steps.push_back([]() { releaseAllKeys(); });
    steps.push_back([]() { pushAltKey(SDLK_p); });
    steps.push_back([]() { releaseAllKeys(); });
    steps.push_back([]() { pushKeyDown(SDLK_PAUSE); });
    steps.push_back([]() { pushKeyDown(SDLK_PAUSE); });
    for (int death = 0; death < 6; ++death) {
        steps.push_back([]() {
            advanceClock(7000); // long enough to come back and lose the shield
        });
        steps.push_back([]() {});
        steps.push_back([]() {
            if (game.players[0].ship.alive && game.players[0].lives > 0) {
                playerDied(0);
            }
        });
    }
    int framesAfter = 0;
    runScriptOnSleeps(steps, [&]() {
        if (++framesAfter > 200) {
            pushQuit();
        }
    });
    EXPECT_EQ(runGame(), 1);
    EXPECT_EQ(game.players[0].lives, 0);
    EXPECT_EQ(game.level, 3);
    EXPECT_LT(framesAfter, 200);
    EXPECT_GT(game.frameCounter, 30);
}
