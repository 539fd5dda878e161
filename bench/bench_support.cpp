#include "bench_support.h"

#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>

#include "app/assets.h"
#include "app/drawing.h"
#include "app/video.h"
#include "play/messages.h"

namespace {

bool sdlUp = false;
std::vector<Figure> figures;

void advanceOnSleep(Uint32 ms) {
    advanceClock(ms);
}

void bringUpSdl() {
    if (SDL_Init(0xFFFF) == -1 || TTF_Init() == -1 ||
        Mix_OpenAudio(game.sampleRate, AUDIO_S16LSB, 2, game.sampleSize) == -1) {
        std::fprintf(stderr, "SDL start failed: %s\n", SDL_GetError());
        std::exit(2);
    }
    sdlUp = true;
}

} // namespace

void useScreen(int width, int height) {
    const bool sameSize = game.screen != nullptr && game.screenWidth == width &&
                          game.screenHeight == height && game.background != nullptr;
    if (!sdlUp) {
        bringUpSdl();
    }
    if (sameSize) {
        return;
    }
    videoModeOk = anyModeOk;
    setVideoMode(false, width, height, game.screenBpp, 640, 480, 8);
    game.spriteScale = GameState::deriveSpriteScale(game.screenWidth, game.screenHeight);
    game.scaleX = double(game.screenWidth) / double(game.worldWidth);
    game.scaleY = double(game.screenHeight) / double(game.worldHeight);
    game.keyState = SDL_GetKeyState(nullptr);
    if (game.background != nullptr) {
        freeImages();
    }
    loadFiles();
}

void shutDownSdl() {
    if (!sdlUp) {
        return;
    }
    clearMessages();
    game.bodies.clear();
    game.bullets.clear();
    game.particles.clear();
    game.turrets.clear();
    if (game.background != nullptr) {
        freeImages();
    }
    game.background = nullptr;
    game.shipImages.clear();
    Mix_HaltMusic();
    Mix_FreeMusic(game.music);
    game.music = nullptr;
    for (Mix_Chunk** c :
         {&game.shipFireSound, &game.turretFireSound, &game.engineSound, &game.asteroidHitSound}) {
        Mix_FreeChunk(*c);
        *c = nullptr;
    }
    Mix_CloseAudio();
    for (TTF_Font** f : {&game.smallFont, &game.mediumFont, &game.largeFont}) {
        TTF_CloseFont(*f);
        *f = nullptr;
    }
    TTF_Quit();
    SDL_Quit();
    game.screen = nullptr;
    game.keyState = nullptr;
    sdlUp = false;
}

void useSteppedClock(Uint32 now) {
    useManualClock(now);
    clockSeam.advancePerRead = 0;
    clockSeam.sleepHook = advanceOnSleep;
}

void useRealClock() {
    clockSeam = ClockSeam{};
    game.lastFrameTicks = currentTicks();
    game.fpsSampleStart = currentTicks();
}

SavedWorld saveWorld() {
    SavedWorld w;
    w.turrets = game.turrets;
    w.bodies = game.bodies;
    w.players = game.players;
    w.particles = game.particles;
    w.bullets = game.bullets;
    w.now = clockSeam.now;
    w.frameCounter = game.frameCounter;
    return w;
}

void restoreWorld(const SavedWorld& w) {
    game.turrets = w.turrets;
    game.bodies = w.bodies;
    game.players = w.players;
    game.particles = w.particles;
    game.bullets = w.bullets;
    clockSeam.now = w.now;
    game.lastFrameTicks = w.now - 33;
    game.fpsSampleStart = w.now;
    game.frameCounter = w.frameCounter;
    // Deaths during a step leave messages; the next step starts without them.
    clearMessages();
}

void floorFrame() {
    blitAt(0, 0, game.background, game.screen);
    SDL_Flip(game.screen);
}

void recordFigure(const Figure& f) {
    for (Figure& old : figures) {
        if (old.name == f.name) {
            old = f;
            return;
        }
    }
    figures.push_back(f);
}

void printFigures() {
    if (figures.empty()) {
        return;
    }
    std::printf("\n%-54s %12s %12s %8s  %-26s %s\n", "Figure", "value", "reference", "ratio",
                "goal", "holds");
    for (const Figure& f : figures) {
        char value[32];
        char reference[32] = "";
        char ratio[32] = "";
        if (f.unit == "%") {
            std::snprintf(value, sizeof value, "%.2f %%", f.value * 100);
        } else {
            std::snprintf(value, sizeof value, "%.3f %s", f.value, f.unit.c_str());
        }
        if (f.reference > 0) {
            std::snprintf(reference, sizeof reference, "%.3f %s", f.reference, f.unit.c_str());
            std::snprintf(ratio, sizeof ratio, "%.2fx", f.value / f.reference);
        }
        std::printf("%-54s %12s %12s %8s  %-26s %s\n", f.name.c_str(), value, reference, ratio,
                    f.goal.c_str(), f.holds ? "yes" : "NO");
    }
}
