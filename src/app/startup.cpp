#include "app/startup.h"

#include <cstdlib>

#include "app/game_state.h"
#include "app/video.h"

namespace {

// SDL keeps these strings (putenv), so they live as long as the program.
char softwareRenderer[] = "SDL_RENDER_DRIVER=software";
char plainFramebuffer[] = "SDL_FRAMEBUFFER_ACCELERATION=0";

} // namespace

bool init() {
    // The cheapest way to show a frame: SDL 2's software renderer writing the screen
    // straight into the window's shared image, the same pixels. Left to itself, SDL 2
    // picks OpenGL, both for the compatibility layer's renderer and behind a software
    // renderer's window; without a graphics card that is a rasteriser on two more
    // threads, three times the whole cost of a 640 x 480 frame at 30 per second.
    // Only as defaults: a player who chose otherwise (a GPU's renderer, say) keeps it.
    if (std::getenv("SDL_RENDER_DRIVER") == nullptr) {
        SDL_putenv(softwareRenderer);
    }
    if (std::getenv("SDL_FRAMEBUFFER_ACCELERATION") == nullptr) {
        SDL_putenv(plainFramebuffer);
    }
    if (SDL_Init(0xFFFF) == -1) {
        return false;
    }
    if (TTF_Init() == -1) {
        return false;
    }
    if (openMixer(game.sampleRate, AUDIO_S16LSB, 2, game.sampleSize) == -1) {
        return false;
    }
    setVideoMode(false, game.screenWidth, game.screenHeight, game.screenBpp, 640, 480, 8);
    SDL_WM_SetCaption("Stellarox", nullptr);
    return true;
}

int audioBufferSamples(int chunkSize) {
    int samples = 1;
    while (samples < chunkSize && samples < 32768) {
        samples *= 2;
    }
    return samples;
}

int openMixer(int frequency, Uint16 format, int channels, int chunkSize) {
    return Mix_OpenAudio(frequency, format, channels, audioBufferSamples(chunkSize));
}

void cleanup() {
    Mix_FreeChunk(game.shipFireSound);
    Mix_FreeChunk(game.turretFireSound);
    Mix_FreeChunk(game.asteroidHitSound);
    Mix_FreeChunk(game.engineSound);
    Mix_FreeMusic(game.music);
    Mix_CloseAudio();
    for (Player& p : game.players) {
        if (p.joystick != nullptr) {
            SDL_JoystickClose(p.joystick);
        }
    }
    TTF_CloseFont(game.smallFont);
    TTF_CloseFont(game.mediumFont);
    TTF_CloseFont(game.largeFont);
    TTF_Quit();
    SDL_Quit();
}

void quit(int status) {
    cleanup();
    std::exit(status);
}

void exitWithoutCleanup(int status) {
    Mix_CloseAudio();
    std::exit(status);
}
