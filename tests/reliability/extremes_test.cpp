// Input at its extremes: every key at once, a flood of key presses in one frame, the
// hotkeys driven to absurd difficulties and levels, and screens of 1 x 1 and 4000 x 3000.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/video.h"
#include "menus/controls.h"
#include "menus/new_game.h"
#include "menus/settings_menu.h"
#include "menus/settings_script.h"
#include "menus/title_menu.h"
#include "play/game_loop.h"
#include "play/messages.h"
#include "play/play_fixture.h"
#include "reliability/world_checks.h"
#include "world/asteroids.h"
#include "world/objects.h"

namespace {

void pressKey(SDLKey key) {
    ASSERT_TRUE(pushKeyDown(key)) << "the event queue is full";
}

// The event queue holds 128 events, so every key code there is comes as a press in
// four frames of 100 or fewer, with every key held meanwhile. U comes twice: once
// would switch the frame cap off, and an uncapped loop never sleeps, which is when the
// scripted frames run.
std::vector<std::function<void()>> everyKeyHeldAndPressed() {
    std::vector<std::function<void()>> steps;
    for (int first = 1; first < SDLK_LAST; first += 100) {
        steps.push_back([first]() {
            holdEveryKey();
            for (int k = first; k < std::min(first + 100, int(SDLK_LAST)); ++k) {
                pressKey(SDLKey(k));
                if (k == SDLK_u) {
                    pressKey(SDLKey(k));
                }
            }
        });
    }
    return steps;
}

int pendingEvents() {
    SDL_PumpEvents();
    SDL_Event e;
    return SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// Every key the game answers in play with Alt held (Escape and Pause do nothing then),
// but U: an uncapped loop never sleeps, which is when the scripted frames run.
const std::vector<SDLKey> kAltKeys = {
    SDLK_MINUS, SDLK_EQUALS, SDLK_0, SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_f,     SDLK_q, SDLK_s,
    SDLK_m,     SDLK_n,      SDLK_1, SDLK_2,       SDLK_3,        SDLK_4,     SDLK_5, SDLK_6,
    SDLK_w,     SDLK_p,      SDLK_o, SDLK_k,       SDLK_l,        SDLK_RETURN};

} // namespace

TEST(AllKeys, PlayWithEveryKeyHeldAndPressedGoesOn) {
    startPlaySession(2);
    int framesAfter = 0;
    bool finite = true;
    std::vector<std::function<void()>> steps = everyKeyHeldAndPressed();
    steps.push_back(releaseAllKeys);
    runScriptOnSleeps(steps, [&]() {
        finite = finite && firstNonFiniteValue().empty();
        if (++framesAfter == 60) {
            pushQuit();
        }
    });
    EXPECT_EQ(runGame(), 0);
    EXPECT_GE(framesAfter, 60);
    EXPECT_TRUE(finite);
    EXPECT_GE(game.level, 1);
}

namespace {

struct Screen {
    const char* name;
    std::function<void()> run;
};

void PrintTo(const Screen& s, std::ostream* os) {
    *os << s.name;
}

class EveryKeyInAMenu : public ::testing::TestWithParam<Screen> {};

} // namespace

// Every key held and pressed, then the window is closed: the screen either finishes by
// itself or ends the program with 0 for the close, in time.
TEST_P(EveryKeyInAMenu, EndsCleanly) {
    EXPECT_EXIT(
        {
            startMenuSession();
            game.playerCount = 2;
            createPlayers();
            std::vector<std::function<void()>> steps = everyKeyHeldAndPressed();
            steps.push_back([]() {
                releaseAllKeys();
                pushQuit();
            });
            scriptFrames(steps, 3);
            GetParam().run();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Screens, EveryKeyInAMenu,
    ::testing::Values(Screen{"Title", titleMenu}, Screen{"PlayerCount", playerCountPrompt},
                      Screen{"Ships", shipPrompt}, Screen{"Difficulty", difficultyPrompt},
                      Screen{"Controls", controlsPrompt}, Screen{"Settings", settingsMenu}),
    [](const ::testing::TestParamInfo<Screen>& info) { return std::string(info.param.name); });

// A thousand presses in one frame: the queue keeps what it can hold and drops the rest,
// and the game reads every press it kept in that frame.
TEST(KeyFlood, AThousandHotkeysInOneFrameAreAllReadThatFrame) {
    startPlaySession(2);
    int taken = 0;
    int leftOver = -1;
    int framesAfter = 0;
    runScriptOnSleeps({[&]() {
                           holdKey(SDLK_LALT);
                           for (int i = 0; i < 1000; ++i) {
                               taken += pushKeyDown(kAltKeys[size_t(i) % kAltKeys.size()]) ? 1 : 0;
                           }
                       },
                       [&]() {
                           leftOver = pendingEvents();
                           releaseAllKeys();
                       }},
                      [&]() {
                          if (++framesAfter == 30) {
                              pushQuit();
                          }
                      });
    EXPECT_EQ(runGame(), 0);
    EXPECT_GE(taken, 100);
    EXPECT_EQ(leftOver, 0);
    EXPECT_GE(framesAfter, 30);
    EXPECT_TRUE(firstNonFiniteValue().empty());
    EXPECT_GE(game.frameCap, 1);
}

TEST(KeyFlood, Difficulty500AndLevel600ThroughTheHotkeysThenAFight) {
    startPlaySession(2);
    game.soundsOn = 0;
    std::srand(500);
    std::vector<std::function<void()>> steps;
    // 499 presses of Alt+L, as many in a frame as the queue holds: the level falls far
    // below 1 and the next level starts at 1 again.
    for (int left = 499; left > 0; left -= 100) {
        steps.push_back([left]() {
            holdKey(SDLK_LALT);
            for (int i = 0; i < std::min(left, 100); ++i) {
                pressKey(SDLK_l);
            }
        });
    }
    steps.push_back([]() {});
    steps.push_back([]() {});
    steps.push_back([]() {
        EXPECT_EQ(game.difficulty, 500);
        EXPECT_EQ(game.level, 1);
        EXPECT_EQ(game.levelParams.fragmentCount, 168);
    });
    // Then one Alt+P a frame: each ends its level at once.
    for (int i = 0; i < 599; ++i) {
        steps.push_back([]() { pressKey(SDLK_p); });
    }
    int turretsAt600 = 0;
    int reloadAt600 = 0;
    steps.push_back([&]() {
        releaseAllKeys();
        turretsAt600 = int(game.turrets.size());
        reloadAt600 = game.turrets.empty() ? 0 : game.turrets[0].fireDelayMs;
        holdKey(SDLK_SPACE); // both players fire from now on
    });
    size_t mostBodies = 0;
    int levelAfterFight = 0;
    bool finite = true;
    int fightFrames = 0;
    runScriptOnSleeps(std::move(steps), [&]() {
        mostBodies = std::max(mostBodies, game.bodies.size());
        finite = finite && firstNonFiniteValue().empty();
        if (++fightFrames == 120) {
            levelAfterFight = game.level;
            pushQuit();
        }
    });
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ(levelAfterFight, 600);
    EXPECT_EQ(turretsAt600, 18);
    EXPECT_LT(reloadAt600, 0);
    EXPECT_TRUE(finite);
    // The level starts with 661 asteroids and 25 planets; every hit adds 168 fragments.
    EXPECT_GT(mostBodies, 686u + 1000u);
}

namespace {

// Edits that take a size row from `from` to `to` with the held-key steps of 100, 10, 1.
std::vector<Edit> stepRow(int row, int from, int to) {
    std::vector<Edit> edits;
    const int sign = to > from ? 1 : -1;
    const SDLKey arrow = sign > 0 ? SDLK_RIGHT : SDLK_LEFT;
    for (int step : {100, 10, 1}) {
        while ((to - from) * sign >= step) {
            std::vector<SDLKey> keys = {arrow};
            if (step >= 10) {
                keys.push_back(SDLK_LCTRL);
            }
            if (step == 100) {
                keys.push_back(SDLK_LSHIFT);
            }
            edits.push_back({row, keys});
            from += sign * step;
        }
    }
    return edits;
}

std::vector<Edit> resizeTo(int width, int height) {
    std::vector<Edit> edits = stepRow(0, 640, width);
    const std::vector<Edit> rows = stepRow(1, 480, height);
    edits.insert(edits.end(), rows.begin(), rows.end());
    return edits;
}

// The player's way to a new size: Settings from the title menu, the held-key edits,
// Apply, and back to the title menu, which sets the field up again at the new scale.
// `check` looks at the title menu's second frame; then the window is closed, which
// ends the program with 0.
[[noreturn]] void resizeThroughTheMenus(int width, int height, std::function<bool()> check) {
    startMenuSession();
    videoModeOk = anyModeOk;
    // The title menu finishes the frame that read Return, hence the idle step.
    std::vector<std::function<void()>> steps = {press({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}), idle()};
    const std::vector<std::function<void()>> edits = editScript(resizeTo(width, height), 7);
    steps.insert(steps.end(), edits.begin(), edits.end());
    steps.push_back(idle());
    steps.push_back([check]() {
        if (!check()) {
            std::fprintf(stderr, "the check failed at %d x %d, sprite scale %f\n", game.screen->w,
                         game.screen->h, game.spriteScale);
            std::_Exit(5);
        }
        pushQuit();
    });
    scriptFrames(steps, 2);
    runMenus();
    std::_Exit(4); // only the Quit item returns
}

Uint32 rgbAt(SDL_Surface* s, int x, int y) {
    const SDL_Color c = pixelAt(s, x, y);
    return Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b;
}

} // namespace

TEST(ScreenSize, FourThousandByThreeThousandWorks) {
    EXPECT_EXIT(resizeThroughTheMenus(4000, 3000,
                                      []() {
                                          // Drawn at 2.5 times the size the sprites have at
                                          // 1600 x 1200, the background to the far corner.
                                          return game.screen->w == 4000 && game.screen->h == 3000 &&
                                                 game.spriteScale == 2.5 &&
                                                 rgbAt(game.screen, 3999, 2999) ==
                                                     rgbAt(game.background, 3999, 2999);
                                      }),
                ::testing::ExitedWithCode(0), "");
}

// At 1 x 1 the sprites shrink to their least size and the fonts open at size 0, which
// the font engine takes: the menus and the field still run.
TEST(ScreenSize, OneByOneStillRunsTheMenus) {
    EXPECT_EXIT(resizeThroughTheMenus(1, 1,
                                      []() {
                                          return game.screen->w == 1 && game.screen->h == 1 &&
                                                 game.smallFont != nullptr &&
                                                 game.planetImage != nullptr;
                                      }),
                ::testing::ExitedWithCode(0), "");
}
