#include "bench_support.h"

#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/assets.h"
#include "app/drawing.h"
#include "app/video.h"
#include "play/messages.h"

namespace {

bool sdlUp = false;
std::vector<Figure> figures;
SDL_Surface* floorPicture = nullptr;

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
    SDL_FreeSurface(floorPicture);
    floorPicture = SDL_DisplayFormat(game.screen);
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
    SDL_FreeSurface(floorPicture);
    floorPicture = nullptr;
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

SavedWorld saveWorld(unsigned seed) {
    SavedWorld w;
    w.turrets = game.turrets;
    w.bodies = game.bodies;
    w.players = game.players;
    w.particles = game.particles;
    w.bullets = game.bullets;
    w.now = clockSeam.now;
    w.frameCounter = game.frameCounter;
    w.nextObjectId = game.nextObjectId;
    w.seed = seed;
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
    game.nextObjectId = w.nextObjectId;
    // The fire gate scales with the measured rate: the same every call, whatever ran before.
    game.framesCounted = 0;
    game.measuredFps = float(game.frameCap);
    std::srand(w.seed);
    // Deaths during a step leave messages; the next step starts without them.
    clearMessages();
}

void floorFrame() {
    blitAt(0, 0, floorPicture, game.screen);
    SDL_Flip(game.screen);
}

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

} // namespace

void addSample(const std::string& name, const std::string& unit, const std::string& goal,
               double limit, bool ratioGoal, double value, double reference) {
    Figure* f = nullptr;
    for (Figure& old : figures) {
        if (old.name == name) {
            f = &old;
        }
    }
    if (f == nullptr) {
        figures.push_back(Figure{});
        f = &figures.back();
        f->name = name;
        f->unit = unit;
        f->goal = goal;
        f->limit = limit;
        f->ratioGoal = ratioGoal;
    }
    f->values.push_back(value);
    if (reference > 0) {
        f->references.push_back(reference);
    }
}

void printFigures() {
    if (figures.empty()) {
        return;
    }
    double load[3] = {};
    if (FILE* l = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(l, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) {
            load[0] = load[1] = load[2] = 0;
        }
        std::fclose(l);
    }
    std::printf("\nDummy video driver, CPU time of the thread; load average %.2f %.2f %.2f. min / "
                "median / max of the "
                "repetitions (n); ratio: median of per-repetition ratios.\n",
                load[0], load[1], load[2]);
    std::printf("%-52s %2s %28s %28s %6s  %-16s %s\n", "Figure", "n", "value (min/median/max)",
                "reference (min/median/max)", "ratio", "goal", "holds");
    for (const Figure& f : figures) {
        std::vector<double> v = f.values;
        std::sort(v.begin(), v.end());
        const double scale = f.unit == "ms" ? 1000.0 : 1.0;
        char value[64];
        std::snprintf(value, sizeof value, "%.3g/%.3g/%.3g %s", v.front() * scale,
                      median(v) * scale, v.back() * scale, f.unit.c_str());
        char reference[64] = "";
        char ratio[32] = "";
        double measured = median(v);
        if (!f.references.empty()) {
            std::vector<double> r = f.references;
            std::sort(r.begin(), r.end());
            std::snprintf(reference, sizeof reference, "%.3g/%.3g/%.3g %s", r.front() * scale,
                          median(r) * scale, r.back() * scale, f.unit.c_str());
            std::vector<double> ratios;
            for (size_t i = 0; i < f.values.size() && i < f.references.size(); ++i) {
                ratios.push_back(f.values[i] / f.references[i]);
            }
            std::snprintf(ratio, sizeof ratio, "%.3fx", median(ratios));
            if (f.ratioGoal) {
                measured = median(ratios);
            }
        }
        const bool met = f.ratioGoal ? measured <= f.limit : measured < f.limit;
        const char* holds = f.limit <= 0 ? "-" : (met ? "yes" : "NO");
        std::printf("%-52s %2zu %28s %28s %6s  %-16s %s\n", f.name.c_str(), f.values.size(), value,
                    reference, ratio, f.goal.c_str(), holds);
    }
}
