// What every menu screen shares: the drifting backdrop, the title, text lines,
// the confirm key, the event drain and the frame-cap wait.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <utility>

#include "app/drawing.h"
#include "app/game_state.h"

void drawTitle();

// The field keeps drifting behind the text: bodies, turrets and messages over the
// background. The title menu wraps ships too, the other screens do not.
void drawMenuBackdrop(int wrapShips);

// Renders one line, places it from its own size, blits it and frees it at once.
// A line whose rendering fails is skipped for this frame.
template <typename Place>
void drawTextLine(TTF_Font* font, const std::string& text, SDL_Color colour, Place place) {
    if (font == nullptr) {
        return;
    }
    game.textSurface = TTF_RenderText_Solid(font, text.c_str(), colour);
    if (game.textSurface == nullptr) {
        return;
    }
    const std::pair<int, int> at = place(game.textSurface->w, game.textSurface->h);
    blitAt(at.first, at.second, game.textSurface, game.screen);
    SDL_FreeSurface(game.textSurface);
    game.textSurface = nullptr;
}

// x of a centred line of width w.
int centredX(int w);

// Colour of selectable line `number` for the cursor.
SDL_Color itemColour(int cursor, int number);

// Return confirms only while neither Alt key is held (Alt+Return toggles full screen).
bool confirmKeyHeld();

// Refreshes the key state and handles Alt+Return.
void readKeyboard();

// Ends the program after a window close in a menu.
[[noreturn]] void quitFromMenu();

enum KeyAction { keepGoing = 0, abandonNow = 1 };

// Drains the event queue: a window close ends the program with status 0, every key
// press goes to onKey in arrival order. Returns true when onKey abandoned the screen.
// The sources are pumped once and only what that queued is taken: a joystick button
// past 255 reaches SDL as button 0 and toggles it at every pump, so polling until the
// queue ran dry never ended and the screen stopped answering.
template <typename OnKey> bool drainMenuEvents(OnKey onKey) {
    SDL_PumpEvents();
    while (SDL_PeepEvents(&game.event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (game.event.type == SDL_QUIT) {
            quitFromMenu();
        } else if (game.event.type == SDL_KEYDOWN) {
            if (onKey(game.event.key.keysym.sym) == abandonNow) {
                return true;
            }
        }
    }
    return false;
}

// Sleeps what is left of the frame budget, measured from frameStart.
void frameCapWait(Uint32 frameStart);
