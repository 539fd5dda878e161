#include "app/startup.h"

#include <cstdlib>

#include "app/game_state.h"
#include "app/video.h"

bool init() {
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
