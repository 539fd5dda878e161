// Writes the desktop build's first title-menu frame, without the drifting bodies, as a
// binary PPM: the picture the browser journey holds the web build to. Runs headless
// under SDL's dummy drivers from the source tree (the data is read below it).
// Usage: stellarox-title-frame OUT.ppm
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/assets.h"
#include "app/game_state.h"
#include "app/startup.h"
#include "menus/title_menu.h"
#include "play/music.h"
#include "world/asteroids.h"
#include "world/objects.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm\n", argv[0]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!init()) {
        return 1;
    }
    loadFiles();
    playMusicTrack(0, 7, 0);
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
    game.bodies.clear();
    game.turrets.clear();
    // One pass of the title loop: it draws, flips, then leaves on the queued Escape.
    SDL_Event escape = {};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&escape);
    titleMenu();

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || SDL_LockSurface(game.screen) != 0) {
        return 1;
    }
    const SDL_Surface* s = game.screen;
    std::fprintf(out, "P6\n%d %d\n255\n", s->w, s->h);
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            Uint32 pixel = 0;
            const Uint8* p =
                static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            std::memcpy(&pixel, p, s->format->BytesPerPixel);
            Uint8 rgb[3] = {};
            SDL_GetRGB(pixel, s->format, &rgb[0], &rgb[1], &rgb[2]);
            std::fwrite(rgb, 1, 3, out);
        }
    }
    SDL_UnlockSurface(game.screen);
    cleanup();
    return std::fclose(out) == 0 ? 0 : 1;
}
