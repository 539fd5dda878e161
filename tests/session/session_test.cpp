// One whole session of the program in this process, with the real data tree: title
// menu, a two-player configuration, a game through several levels with deaths and a
// game over, the settings menu with a new screen size, then Quit. Written to run under
// valgrind as well (tests/CMakeLists.txt), where it catches bad reads, writes and leaks.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "app/game_state.h"
#include "app/startup.h"
#include "support/test_support.h"

namespace {

// One phase runs at every frame's sleep until it reports that it is done.
using Phase = std::function<bool()>;

std::vector<Phase> phases;
size_t phaseAt = 0;
int framesSeen = 0;
const int kFrameLimit = 20000;

void onSleep(Uint32 ms) {
    advanceClock(ms);
    if (++framesSeen > kFrameLimit || phaseAt >= phases.size()) {
        // A screen ignored its script; a window close would end with 0 and pass unseen.
        std::fprintf(stderr, "the session is stuck in phase %zu\n", phaseAt);
        std::_Exit(97);
    }
    if (phases[phaseAt]()) {
        ++phaseAt;
    }
}

Phase keys(std::vector<SDLKey> pressed) {
    return [pressed]() {
        for (SDLKey k : pressed) {
            pushKeyDown(k);
        }
        return true;
    };
}

Phase frames(int n) {
    auto left = std::make_shared<int>(n);
    return [left]() { return --*left <= 0; };
}

// Alt is read from the key-state array: held for the frame that reads the key.
Phase altKey(SDLKey key) {
    return [key]() {
        holdKey(SDLK_LALT);
        pushKeyDown(key);
        return true;
    };
}

Phase releaseKeys() {
    return []() {
        releaseAllKeys();
        return true;
    };
}

Phase hold(std::vector<SDLKey> held, int n) {
    auto left = std::make_shared<int>(n);
    return [held, left]() {
        for (SDLKey k : held) {
            holdKey(k);
        }
        if (--*left > 0) {
            return false;
        }
        releaseAllKeys();
        return true;
    };
}

// Game frames count up; menu frames leave the counter alone.
Phase untilPlaying() {
    auto before = std::make_shared<int>(-1);
    return [before]() {
        const bool playing = *before >= 0 && game.frameCounter != *before;
        *before = game.frameCounter;
        return playing;
    };
}

Phase untilInMenus() {
    auto before = std::make_shared<int>(-1);
    return [before]() {
        const bool still = game.frameCounter == *before;
        *before = game.frameCounter;
        return still;
    };
}

struct Seen {
    int maxLevel = 0;
    int deaths = 0;
    bool gameOver = false;
};
Seen seen;

int livesLeft() {
    int n = 0;
    for (const Player& p : game.players) {
        n += std::max(p.lives, 0);
    }
    return n;
}

// Every ship that can be hit is put onto an asteroid until nobody has lives left.
Phase crashUntilGameOver() {
    return []() {
        for (Player& p : game.players) {
            Ship& s = p.ship;
            if (s.alive == 0 || s.shielded != 0 || p.lives < 1) {
                continue;
            }
            for (const Body& b : game.bodies) {
                if (b.kind == asteroid && b.alive) {
                    s.x = b.x;
                    s.y = b.y;
                    break;
                }
            }
        }
        return livesLeft() == 0;
    };
}

Phase note(std::function<void()> f) {
    return [f]() {
        f();
        return true;
    };
}

} // namespace

TEST(Session, TitleConfigurationGameOverSettingsAndQuit) {
    useManualClock(100000);
    std::vector<Phase> script = {
        keys({SDLK_DOWN, SDLK_RETURN}), // "Configure Game"
        keys({SDLK_UP, SDLK_RETURN}),   // two players
        // Player 1 keeps the arrows and space, player 2 takes letters and Ctrl.
        keys({SDLK_LEFT}),
        keys({SDLK_RIGHT}),
        keys({SDLK_UP}),
        keys({SDLK_DOWN}),
        keys({SDLK_SPACE}),
        keys({SDLK_a}),
        keys({SDLK_d}),
        keys({SDLK_w}),
        keys({SDLK_s}),
        keys({SDLK_LCTRL}),
        keys({SDLK_RIGHT, SDLK_RETURN}), // player 1 flies the second design
        keys({SDLK_RETURN}),
        keys({SDLK_UP, SDLK_RETURN}), // back on "Configure Game": up to "Play Game"
        keys({SDLK_UP, SDLK_RETURN}), // difficulty 2
        untilPlaying(),
        note([]() {
            for (Player& p : game.players) {
                p.lives = 3; // a shorter way to the game over
            }
        }),
        hold({SDLK_SPACE, SDLK_LEFT, SDLK_w, SDLK_LCTRL}, 40),
        keys({SDLK_PAUSE}),
        frames(5),
        keys({SDLK_PAUSE}),
        altKey(SDLK_n),
        releaseKeys(), // the next track, then silence
        altKey(SDLK_m),
        releaseKeys(),
    };
    // Level after level through the level key, up to the first with turrets.
    for (int i = 0; i < 6; ++i) {
        script.push_back(altKey(SDLK_p));
        script.push_back(releaseKeys());
        script.push_back(hold({SDLK_SPACE, SDLK_UP}, 15));
        script.push_back(note([]() { seen.maxLevel = std::max(seen.maxLevel, game.level); }));
    }
    const std::vector<Phase> rest = {
        crashUntilGameOver(),
        note([]() { seen.deaths = 2 * 3 - livesLeft(); }),
        untilInMenus(),
        note([]() { seen.gameOver = true; }),
        keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}), // "Settings"
        hold({SDLK_RIGHT, SDLK_LCTRL}, 24),        // width up by tens
        keys({SDLK_DOWN}),
        hold({SDLK_RIGHT, SDLK_LCTRL}, 12), // height too
        keys({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN}),
        keys({SDLK_RETURN}), // "Apply changes"
        frames(10),
        keys({SDLK_DOWN, SDLK_RETURN}), // "Quit"
        frames(2),                      // the frame that read Quit still sleeps
    };
    script.insert(script.end(), rest.begin(), rest.end());
    phases = std::move(script);
    clockSeam.sleepHook = onSleep;

    EXPECT_EQ(runProgram(), 0);

    EXPECT_EQ(phaseAt, phases.size() - 1);
    ASSERT_EQ(game.players.size(), 2u);
    EXPECT_EQ(game.players[0].ship.design, 1);
    EXPECT_EQ(game.players[1].keys.left, SDLK_a);
    EXPECT_EQ(game.players[1].keys.fire, SDLK_LCTRL);
    EXPECT_GE(seen.maxLevel, 7);
    EXPECT_EQ(seen.deaths, 6);
    EXPECT_TRUE(seen.gameOver);
    EXPECT_GT(game.screenWidth, 640);
    EXPECT_GT(game.screenHeight, 480);
}
