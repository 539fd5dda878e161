// Menu screens run headless over a level-1 field with synthetic sprites and a manual
// clock; scripted frames press keys, and lines are read back from the screen.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "support/test_support.h"
#include "world/asteroids.h"
#include "world/objects.h"

inline void startMenuSession() {
    startSdl(true);
    useManualClock(100000);
    useSyntheticImages();
    game.musicOn = 0;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
}

// One step per finished frame. A screen finishes the frame that read its last key; one
// still running a frame later ignored its input, and the process fails (status 97).
inline void scriptFrames(std::vector<std::function<void()>> steps) {
    runScriptOnSleeps(std::move(steps),
                      [extra = 0]() mutable { ++extra > 1 ? std::_Exit(97) : void(); });
}

inline std::function<void()> press(std::vector<SDLKey> keys) {
    return [keys]() { std::for_each(keys.begin(), keys.end(), pushKeyDown); };
}

// A line: font (0 small, 14 pixels high at 480 lines; 1 medium, 25; 2 large, 36), text,
// colour ('b' black, 'w' white, 'g' grey, which black may cover), x shift from centred, y.
struct Line {
    int font;
    std::string text;
    char colour;
    int shift, y;
};

inline Line large(const std::string& text, int y, int shift = 0) {
    return {2, text, 'b', shift, y};
}

inline void expectShown(const std::vector<Line>& lines) {
    for (const Line& l : lines) {
        TTF_Font* fonts[3] = {game.smallFont, game.mediumFont, game.largeFont};
        const SDL_Color c = l.colour == 'w'   ? game.highlightColour
                            : l.colour == 'g' ? game.shadowColour
                                              : game.textColour;
        SDL_Surface* s = TTF_RenderText_Solid(fonts[l.font], l.text.c_str(), c);
        int inked = 0, wrong = 0;
        for (int i = 0; i < s->w * s->h && l.y + i / s->w < game.screen->h; ++i) {
            if (static_cast<Uint8*>(s->pixels)[i / s->w * s->pitch + i % s->w] != 0) {
                const SDL_Color p =
                    pixelAt(game.screen, game.screenWidth / 2 - s->w / 2 + l.shift + i % s->w,
                            l.y + i / s->w);
                ++((p.r == c.r && p.g == c.g && p.b == c.b) ||
                           (l.colour == 'g' && p.r + p.g + p.b == 0)
                       ? inked
                       : wrong);
            }
        }
        SDL_FreeSurface(s);
        EXPECT_TRUE(inked > 0 && wrong == 0) << l.text << " at y " << l.y;
    }
}

// The lines a picture must show, then key presses (and anything else to do). A screen
// draws before it reads its keys, so what they did shows two frames later.
struct Look {
    std::vector<Line> lines;
    std::vector<SDLKey> keys;
    std::function<void()> act = nullptr;
};
inline void scriptLooks(const std::vector<Look>& looks) {
    std::vector<std::function<void()>> steps;
    for (const Look& l : looks) {
        steps.push_back([l]() { expectShown(l.lines), l.act ? l.act() : void(), press(l.keys)(); });
        steps.push_back([]() {});
    }
    steps.pop_back();
    scriptFrames(steps);
}
