// Menu screens run headless over a level-1 field with synthetic sprites and a manual
// clock; scripted frames press keys, and lines are read back from the screen.
#pragma once

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

// One step per finished frame. A screen still running a frame after the last step has
// ignored its input (a screen finishes the frame that read its last key, so one frame
// past the steps is allowed): the process fails with status 97 instead of hanging.
inline void scriptFrames(std::vector<std::function<void()>> steps) {
    runScriptOnSleeps(std::move(steps), [extra = 0]() mutable {
        if (++extra > 1) {
            std::_Exit(97);
        }
    });
}

inline std::function<void()> press(std::vector<SDLKey> keys) {
    return [keys]() {
        for (SDLKey k : keys) {
            pushKeyDown(k);
        }
    };
}

// A line of text: font (0 small 14 px high, 1 medium 25, 2 large 36 at 480 lines),
// colour ('b' black, 'w' white, 'g' grey), x shift from centred, y in pixels.
struct Line {
    int font;
    std::string text;
    char colour;
    int shift;
    int y;
};

// Every inked pixel of a fresh rendering has the line's colour on the screen (or black,
// which may cover a grey shadow).
inline bool shown(const Line& l) {
    TTF_Font* fonts[3] = {game.smallFont, game.mediumFont, game.largeFont};
    const SDL_Color colour = l.colour == 'w'   ? game.highlightColour
                             : l.colour == 'g' ? game.shadowColour
                                               : game.textColour;
    SDL_Surface* s = TTF_RenderText_Solid(fonts[l.font], l.text.c_str(), colour);
    const int x0 = game.screenWidth / 2 - s->w / 2 + l.shift;
    int inked = 0, wrong = 0;
    for (int y = 0; y < s->h && l.y + y < game.screen->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            if (static_cast<Uint8*>(s->pixels)[y * s->pitch + x] != 0) {
                const SDL_Color c = pixelAt(game.screen, x0 + x, l.y + y);
                const bool ok = (c.r == colour.r && c.g == colour.g && c.b == colour.b) ||
                                (l.colour == 'g' && c.r + c.g + c.b == 0);
                ++(ok ? inked : wrong);
            }
        }
    }
    SDL_FreeSurface(s);
    return wrong == 0 && inked > 0;
}

inline void expectShown(const std::vector<Line>& lines) {
    for (const Line& l : lines) {
        EXPECT_TRUE(shown(l)) << l.text << " at y " << l.y;
    }
}

// The lines a picture must show, then key presses (and anything else to do). A screen
// draws before it reads its keys, so what they did shows two frames later: an idle
// frame follows each look.
struct Look {
    std::vector<Line> lines;
    std::vector<SDLKey> keys;
    std::function<void()> act = nullptr;
};
inline void scriptLooks(const std::vector<Look>& looks) {
    std::vector<std::function<void()>> steps;
    for (const Look& l : looks) {
        steps.push_back([l]() {
            expectShown(l.lines);
            if (l.act) {
                l.act();
            }
            press(l.keys)();
        });
        steps.push_back([]() {});
    }
    steps.pop_back();
    scriptFrames(steps);
}
