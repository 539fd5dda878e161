#include "support/input_seams.h"

#include "app/game_state.h"

void holdKey(SDLKey key, bool held) {
    SDL_GetKeyState(nullptr)[key] = held ? 1 : 0;
}

void holdEveryKey(bool held) {
    int n = 0;
    Uint8* keys = SDL_GetKeyState(&n);
    for (int i = 0; i < n; ++i) {
        keys[i] = held ? 1 : 0;
    }
}

void releaseAllKeys() {
    holdEveryKey(false);
}

bool pushKeyDown(SDLKey key) {
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    return SDL_PushEvent(&e) == 0;
}

void pushQuit() {
    SDL_Event e = {};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void useManualClock(Uint32 now) {
    setManualClock(now);
    game.lastFrameTicks = now;
    game.fpsSampleStart = now;
}

int anyModeOk(int, int, int bpp, Uint32) {
    return bpp;
}
