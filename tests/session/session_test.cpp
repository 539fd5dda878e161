// A whole session on the real data tree, also run under valgrind: two players configured,
// a game through several levels to game over, a new screen size, then Quit.
#include <cstdlib>

#include "app/startup.h"
#include "play/play.h"

int runProgram(); // beside main, in app/main.cpp, built into this test without main

namespace {

using Phase = std::function<bool()>; // runs at every frame's sleep until it returns true
std::vector<Phase> phases;
size_t phaseAt = 0;
int frames = 0, framesToGameOver = 0;

// A screen that ignored its script would hang, or pass unseen with the window's close.
void onSleep(Uint32 ms) {
    advanceClock(ms);
    ++frames > 20000 || phaseAt >= phases.size() ? std::_Exit(97) : void();
    phaseAt += phases[phaseAt]() ? 1 : 0;
}
// Presses `keys` for one frame, or holds them for n frames, then runs `then`.
Phase keys(std::vector<SDLKey> keys, bool alt = false, int n = 0, void (*then)() = nullptr) {
    return [=, left = n]() mutable {
        releaseAllKeys();
        holdKey(SDLK_LALT, alt); // read from the key state, not from events
        for (SDLKey k : keys) {
            n > 0 ? holdKey(k) : void(pushKeyDown(k));
        }
        (then && left <= 1) ? then() : void();
        return --left <= 0;
    };
}
// Puts the ships onto asteroids until the menus are back (their frames count no frames).
bool crashUntilInMenus() {
    static int before = -1;
    for (Player& p : game.players) {
        for (const Body& b : game.bodies) {
            if (p.ship.alive && !p.ship.shielded && b.kind == asteroid && b.alive) {
                p.ship.x = b.x;
                p.ship.y = b.y;
            }
        }
    }
    framesToGameOver = game.players[0].lives + game.players[1].lives ? 0 : framesToGameOver + 1;
    const bool inMenus = game.frameCounter == before;
    before = game.frameCounter;
    return inMenus;
}

} // namespace

TEST(Session, TitleConfigurationGameOverSettingsAndQuit) {
    useManualClock(100000);
    phases = {
        keys({SDLK_DOWN, SDLK_RETURN}), keys({SDLK_UP, SDLK_RETURN}), // configure two players
        // Player 1 keeps the arrows and space, player 2 takes letters and Ctrl.
        keys({SDLK_LEFT}), keys({SDLK_RIGHT}), keys({SDLK_UP}), keys({SDLK_DOWN}),
        keys({SDLK_SPACE}), keys({SDLK_a}), keys({SDLK_d}), keys({SDLK_w}), keys({SDLK_s}),
        keys({SDLK_LCTRL}), keys({SDLK_RIGHT, SDLK_RETURN}), // player 1 flies the second design
        keys({SDLK_RETURN}), keys({SDLK_UP, SDLK_RETURN}),   // "Play Game"
        keys({SDLK_UP, SDLK_RETURN}), keys({}, false, 3),    // difficulty 2
        keys({SDLK_SPACE, SDLK_LEFT, SDLK_w, SDLK_LCTRL}, false, 40,
             [] {
                 game.players[0].lives = game.players[1].lives = 3; // a shorter way to game over
                 std::erase_if(game.bodies, [](Body& b) { return b.kind == asteroid; });
             }),
        keys({SDLK_PAUSE}, false, 0,
             [] {
                 clearMessages();
                 showMessage("short", 10); // runs out even while the game is paused
             }),
        keys({}, false, 5,
             [] {
                 EXPECT_EQ(game.level, 2);            // the frame after the clearing counted none
                 EXPECT_EQ(game.messages.size(), 2u); // "Game paused", "Starting Level 2"
             }),
        keys({SDLK_PAUSE}),
        keys({SDLK_l, SDLK_l, SDLK_l}, true), // the level falls below 1 and starts again at 1
        keys({}, false, 3,
             [] {
                 EXPECT_TRUE(game.level == 1 && game.difficulty == 5);
                 Mix_HaltMusic(); // the game starts another piece within a second
             }),
        keys({SDLK_0}, true), // Maximum Speed: each frame that slept raises the cap by 1
        keys({}, false, 20, [] { EXPECT_EQ(game.frameCap, 49); }),
        keys({}, false, 12, [] { EXPECT_EQ(Mix_PlayingMusic(), 1); }), keys({SDLK_n}, true),
        keys({SDLK_m}, true), // the next piece, then silence
        [n = 0]() mutable {   // level after level, up to the first with turrets
            keys({SDLK_SPACE, SDLK_UP}, false, 1)();
            ++n % 16 == 0 ? void(keys({SDLK_p}, true)()) : void();
            return game.level == 7;
        },
        crashUntilInMenus, keys({}, false, 0, [] { EXPECT_LE(framesToGameOver, 33); }),
        keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}),                    // "Settings"
        keys({SDLK_RIGHT, SDLK_LCTRL}, false, 24),                    // width up by tens
        keys({SDLK_DOWN}), keys({SDLK_RIGHT, SDLK_LCTRL}, false, 12), // height too
        keys({SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}),
        keys({}, false, 10), keys({SDLK_DOWN, SDLK_RETURN}), keys({}, false, 2), // Apply, Quit
    };
    clockSeam.sleepHook = onSleep;
    EXPECT_EQ(runProgram(), 0);
    EXPECT_EQ(phaseAt, phases.size() - 1);
    ASSERT_EQ(game.players.size(), 2u);
    EXPECT_TRUE(game.players[0].ship.design == 1 && game.players[1].keys.left == SDLK_a &&
                game.players[1].keys.fire == SDLK_LCTRL);
    EXPECT_GT(game.screenWidth + game.screenHeight, 640 + 480);
}
