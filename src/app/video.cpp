#include "app/video.h"

#include <cstdlib>
#include <string>

#include "app/game_state.h"
#include "app/startup.h"

int (*videoModeOk)(int width, int height, int bpp, Uint32 flags) = SDL_VideoModeOK;
SDL_Surface* (*openVideoSurface)(int width, int height, int bpp, Uint32 flags) = SDL_SetVideoMode;

namespace {

const char* modeWord() {
    return game.fullscreen ? "fullscreen" : "windowed";
}

void takeMode(int width, int height, int bpp, Uint32 flags) {
    game.screen = openVideoSurface(width, height, bpp, flags);
    game.screenWidth = width;
    game.screenHeight = height;
    game.screenBpp = bpp;
}

} // namespace

std::vector<Report> setVideoMode(bool report, int width, int height, int bpp, int fallbackWidth,
                                 int fallbackHeight, int fallbackBpp) {
    std::vector<Report> reports;
    if (report) {
        freshTextStream() << "Attempting to set up screen in " << modeWord() << " mode with "
                          << width << "x" << height << " resolution and " << bpp
                          << " Bit color depth";
        reports.push_back({game.textStream.str(), 6000});
    }

    bool fellBack = false;
    if (game.fullscreen) {
        int d = videoModeOk(width, height, bpp, SDL_FULLSCREEN);
        if (d != 0) {
            takeMode(width, height, d, SDL_FULLSCREEN);
        } else if ((d = videoModeOk(width, height, bpp, SDL_HWSURFACE)) != 0) {
            fellBack = true;
            game.fullscreen = 0;
            takeMode(width, height, d, SDL_HWSURFACE);
        } else {
            fellBack = true;
            game.fullscreen = 0;
            takeMode(fallbackWidth, fallbackHeight, fallbackBpp, SDL_HWSURFACE);
        }
    } else {
        int d = videoModeOk(width, height, bpp, SDL_HWSURFACE);
        if (d != 0) {
            takeMode(width, height, d, SDL_HWSURFACE);
        } else {
            fellBack = true;
            takeMode(fallbackWidth, fallbackHeight, fallbackBpp, SDL_HWSURFACE);
        }
    }

    if (game.screen == nullptr) {
        exitWithoutCleanup(2000);
    }

    if (report) {
        if (fellBack) {
            freshTextStream() << "Attempt failed, falling back to " << modeWord()
                              << " mode in resolution " << game.screenWidth << "x"
                              << game.screenHeight << " with color depth " << game.screenBpp;
        } else if (bpp == game.screenBpp) {
            freshTextStream() << "Change in video mode succeeded";
        } else {
            freshTextStream() << "Change in video mode succeeded, and BPP changed to "
                              << game.screenBpp;
        }
        reports.push_back({game.textStream.str(), 6000});
    }
    return reports;
}

std::vector<Report> checkFullscreenToggle() {
    if (game.keyState == nullptr) {
        return {};
    }
    bool alt = game.keyState[SDLK_LALT] || game.keyState[SDLK_RALT];
    if (!alt || !game.keyState[SDLK_RETURN]) {
        return {};
    }
    int chosen = game.fullscreen == 0 ? 1 : 0;
    game.fullscreen = chosen;
    std::vector<Report> reports =
        setVideoMode(true, game.screenWidth, game.screenHeight, game.screenBpp, 640, 480, 8);
    reports.push_back(
        {chosen == 1 ? "Changed to fullscreen mode" : "Changed to windowed mode", 3000});
    return reports;
}
