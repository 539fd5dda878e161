// The game at its extremes: every key, difficulty 500, long pauses and the clock's wrap.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "app/assets.h"
#include "app/video.h"
#include "play/play.h"

namespace {

// Every number that motion, aiming or timing can spoil is finite; bodies and ships in the field
// or less out of it than half their picture's width in pixels (where they wrap): at 640 x 480
// no picture is 160 pixels wide, and pictures grow with the window.
bool sane() {
    double sum = game.frameFactor + game.measuredFps, m = 80 * std::max(1.0, game.scaleX / 0.4);
    bool inField = true;
    const auto add = [&](double x, double y, double vx, double vy) {
        sum += x + y + vx + vy;
        inField =
            inField && x >= -m && y >= -m && x <= game.worldWidth + m && y <= game.worldHeight + m;
    };
    for (const Body& b : game.bodies) {
        add(b.x, b.y, b.vx, b.vy);
    }
    for (const Player& p : game.players) {
        add(p.ship.x, p.ship.y, p.ship.vx, p.ship.vy + p.ship.angle);
    }
    return std::isfinite(sum) && inField;
}

} // namespace

// Two players fly and fire for ten seconds after every key held and pressed (100 a frame for
// the queue of 128; U twice, as an uncapped loop never sleeps), or after a pause, so that the
// longest step pushes them at full strength; the world stays sane, and the ships fire on.
TEST(Extremes, EveryKeyTheLongestPauseAndTheClockWrap) {
    // clang-format off
    const struct { const char* name; int difficulty, level; Uint32 clock, pauseMs; int w = 0, h = 0; } rows[] = {
        {"every key", 1, 1, 100000, 0},
        {"every key at difficulty 500 on level 600", 500, 600, 100000, 0},
        {"an hour of pause", 1, 10, 100000, 3600u * 1000u},
        {"weeks of pause", 1, 10, 100000, 0x7FFFFFFFu},
        {"every key as the clock wraps", 1, 10, 0u - 1000u, 0},
        {"a pause across the wrap", 1, 10, 0u - 1000u, 5000},
        // The smallest and largest windows the settings allow, with the real images: fonts
        // of size 0 and up to 195, sprites zoomed to nothing or to 2.5 times.
        {"every key in a 1 x 1 window", 1, 10, 100000, 0, 1, 1},
        {"every key in a 4000 x 3000 window", 1, 10, 100000, 0, 4000, 3000},
    };
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EXIT(
            {
                if (r.w) {
                    videoModeOk = anyModeOk;
                    std::tie(game.screenWidth, game.screenHeight) = std::tie(r.w, r.h);
                    game.spriteScale = GameState::deriveSpriteScale(r.w, r.h);
                    std::tie(game.scaleX, game.scaleY) = std::pair(r.w / 1600.0, r.h / 1200.0);
                }
                startPlay(2);
                r.w ? loadImages() : void();
                useManualClock(r.clock);
                game.difficulty = r.difficulty;
                game.level = r.level;
                const auto flying = [] {
                    releaseAllKeys();
                    for (SDLKey k : {SDLK_UP, SDLK_LEFT, SDLK_SPACE, SDLK_w, SDLK_a, SDLK_LCTRL}) {
                        holdKey(k);
                    }
                    sane() ? void() : std::_Exit(3);
                };
                Steps steps(300, flying);
                for (int first = 1; first < SDLK_LAST && !r.pauseMs; first += 100) {
                    steps[size_t(first / 100)] = [first]() {
                        holdEveryKey();
                        for (int k = first; k < std::min(first + 100, int(SDLK_LAST)); ++k) {
                            pushKeyDown(SDLKey(k));
                            k == SDLK_u ? void(pushKeyDown(SDLK_u)) : void();
                        }
                    };
                }
                if (r.pauseMs) {
                    steps[0] = [] { pushKeyDown(SDLK_PAUSE); };
                    steps[1] = [&] {
                        advanceClock(r.pauseMs);
                        flying();
                        pushKeyDown(SDLK_PAUSE);
                    };
                    steps[2] = [&] {
                        std::abs(game.frameFactor - (r.pauseMs + 33) * 0.03) < 2 ? flying()
                                                                                 : std::_Exit(4);
                    };
                }
                runScriptOnSleeps(steps, pushQuit);
                const int ended = runGame();
                std::_Exit(ended == 0 && sane() && (!r.pauseMs || !game.bullets.empty()) ? 0 : 3);
            },
            ::testing::ExitedWithCode(0), "")
            << r.name;
    }
}
