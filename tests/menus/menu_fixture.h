// Menu screens run headless: SDL up, a manual clock, synthetic sprites over a
// level-1 field, no music, and helpers that read the lines back from the screen.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "support/test_support.h"
#include "world/asteroids.h"
#include "world/objects.h"

inline void startMenuSession() {
    startSdl(true);
    useManualClock(100000);
    useSyntheticImages();
    releaseAllKeys();
    game.musicOn = 0;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
}

// One scripted step per finished frame. A screen still running `grace` frames after
// the last step has ignored its input: the process ends with a failing status rather
// than hang (a window close would end it with 0 and pass unseen). A screen finishes
// the frame that read its last key, so one frame past the steps is allowed by default.
inline void scriptFrames(std::vector<std::function<void()>> steps, int grace = 1) {
    auto extra = std::make_shared<int>(0);
    runScriptOnSleeps(std::move(steps), [extra, grace]() {
        if (++*extra > grace) {
            std::fprintf(stderr, "the screen is still running after its script\n");
            std::_Exit(97);
        }
    });
}

// A step that presses the given keys, in order, before the next frame.
inline std::function<void()> press(std::vector<SDLKey> keys) {
    return [keys]() {
        for (SDLKey k : keys) {
            pushKeyDown(k);
        }
    };
}

inline std::function<void()> idle() {
    return []() {};
}

// Where a line is placed, from its own rendered width and height.
using Placement = std::function<std::pair<int, int>(int w, int h)>;

// Whether the screen shows `text` in `font` and `colour` at the placement: every
// inked pixel of a fresh rendering has that colour on the screen.
inline bool lineShown(TTF_Font* font, const std::string& text, SDL_Color colour,
                      const Placement& place) {
    SDL_Surface* line = TTF_RenderText_Solid(font, text.c_str(), colour);
    if (line == nullptr) {
        return false;
    }
    const std::pair<int, int> at = place(line->w, line->h);
    int inked = 0;
    bool same = true;
    for (int y = 0; same && y < line->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(line->pixels) + y * line->pitch;
        for (int x = 0; same && x < line->w; ++x) {
            if (row[x] == 0) {
                continue; // the transparent index
            }
            const int sx = at.first + x;
            const int sy = at.second + y;
            if (sx < 0 || sy < 0 || sx >= game.screen->w || sy >= game.screen->h) {
                continue;
            }
            ++inked;
            const SDL_Color c = pixelAt(game.screen, sx, sy);
            same = c.r == colour.r && c.g == colour.g && c.b == colour.b;
        }
    }
    SDL_FreeSurface(line);
    return same && inked > 0;
}

inline Placement centredAt(int shift, std::function<int(int h)> y) {
    return [shift, y](int w, int h) {
        return std::pair<int, int>(game.screenWidth / 2 - w / 2 + shift, y(h));
    };
}

// The large-font prompt line the player-count and capture screens share.
inline bool promptShown(const std::string& text, int shift = 0) {
    return lineShown(game.largeFont, text, game.textColour,
                     centredAt(shift, [](int h) { return game.screenHeight / 2 - 2 * h; }));
}

// One look at the screen, then key presses. A screen draws before it reads a frame's
// keys, so what the keys did is on the screen two frames later: an idle frame follows.
struct Look {
    std::function<void()> look;
    std::vector<SDLKey> keys;
};

inline std::vector<std::function<void()>> looksThenPresses(const std::vector<Look>& looks) {
    std::vector<std::function<void()>> steps;
    for (size_t i = 0; i < looks.size(); ++i) {
        const Look l = looks[i];
        steps.push_back([l]() {
            if (l.look) {
                l.look();
            }
            press(l.keys)();
        });
        if (i + 1 < looks.size()) {
            steps.push_back(idle());
        }
    }
    return steps;
}
