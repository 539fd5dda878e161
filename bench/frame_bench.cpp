// Whole frames against the floor (an unkeyed full-screen blit and the flip): play on a
// fixed heavy scene, and the title and settings menus. Every floor is measured between
// the frames it is compared with, and each call of a benchmark is one repetition.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/drawing.h"
#include "bench_support.h"
#include "menus/settings_menu.h"
#include "menus/title_menu.h"
#include "play/messages.h"
#include "play/scene.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/particles.h"
#include "world/players.h"
#include "world/world_step.h"

namespace {

std::string sizeName(int w, int h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

void showPlayMessages() {
    showMessage("New game started with 4 players at difficulty level 1", 6000);
    showMessage("Starting Level 30", 6000);
}

// Level 30 at difficulty 1 with four players thrusting and firing, after a second and
// a half of play, with four ship-sized bursts (2000 particles) in flight. Built from
// the same seed, clock and counters on every call.
SavedWorld heavyScene() {
    std::srand(30);
    useSteppedClock();
    releaseAllKeys();
    clearMessages();
    game.level = 30;
    game.difficulty = 1;
    game.playerCount = 4;
    game.frameCounter = 0;
    game.framesCounted = 0;
    game.measuredFps = float(game.frameCap);
    game.nextObjectId = 0;
    setLevelParameters(game.level, game.difficulty);
    createPlayers();
    for (Player& p : game.players) {
        p.lives = 6;
    }
    setupLevel();
    // Every player has the default keys: all four thrust and fire.
    holdKey(SDLK_UP);
    holdKey(SDLK_SPACE);
    for (int i = 0; i < 45; ++i) {
        advanceClock(33);
        stepWorld();
        game.framesCounted += 1;
        game.frameCounter += 1;
    }
    for (int i = 0; i < 4; ++i) {
        makeExplosion(500, 5000.0f, 200.0f + 400.0f * i, 300.0f + 200.0f * i, 0.5f, -0.5f,
                      game.shipImages[0].explosionImage);
    }
    return saveWorld(31);
}

void playFrame() {
    advanceClock(33);
    game.keyState = SDL_GetKeyState(nullptr);
    stepWorldFrame();
    drawScene(1, 1, 1, 1, 1, 1, 1, 1);
    SDL_Flip(game.screen);
    game.framesCounted += 1;
    game.frameCounter += 1;
}

double timeFloor() {
    const auto start = BenchClock::now();
    floorFrame();
    return secondsSince(start);
}

void BM_PlayFrame(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    useScreen(w, h);
    const SavedWorld saved = heavyScene();
    double frameSum = 0;
    double floorSum = 0;
    size_t particles = 0;
    size_t shots = 0;
    long n = 0;
    for (auto _ : state) {
        restoreWorld(saved);
        showPlayMessages();
        particles = game.particles.size();
        shots = game.bullets.size();
        // Alternate the order so neither figure always follows the other.
        double floor = 0;
        if (n % 2 == 0) {
            floor = timeFloor();
        }
        const auto start = BenchClock::now();
        playFrame();
        const double frame = secondsSince(start);
        if (n % 2 != 0) {
            floor = timeFloor();
        }
        state.SetIterationTime(frame);
        frameSum += frame;
        floorSum += floor;
        ++n;
    }
    releaseAllKeys();
    const double frame = frameSum / double(n);
    const double floor = floorSum / double(n);
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = frame / floor;
    state.counters["particles"] = double(particles);
    state.counters["shots"] = double(shots);
    const std::string size = sizeName(game.screenWidth, game.screenHeight);
    addSample("Full frame, level 30, 4 players " + size, "ms", "<= 1.5 x floor", 1.5, true, frame,
              floor);
}
BENCHMARK(BM_PlayFrame)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->Repetitions(5);

// The menus are blocking loops: the sleep hook, called once per menu frame after its
// flip, times one floor there (outside the menu's own time) and ends the menu.
int menuSleeps = 0;
int menuFrames = 0;
bool settingsScreen = false;
double floorTime = 0;

void menuSleep(Uint32 ms) {
    advanceClock(ms);
    ++menuSleeps;
    floorTime += timeFloor();
    if (menuSleeps == menuFrames) {
        // The title menu leaves on Escape; the settings menu on Return at Cancel.
        pushKeyDown(settingsScreen ? SDLK_UP : SDLK_ESCAPE);
    } else if (settingsScreen && menuSleeps == menuFrames + 1) {
        pushKeyDown(SDLK_RETURN);
    }
}

void BM_MenuFrame(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    settingsScreen = state.range(2) != 0;
    useScreen(w, h);
    std::srand(1);
    useSteppedClock();
    releaseAllKeys();
    clearMessages();
    game.level = 1;
    game.difficulty = 1;
    game.playerCount = 1;
    game.nextObjectId = 0;
    setLevelParameters(game.level, game.difficulty);
    createPlayers();
    setupLevel();
    const SavedWorld saved = saveWorld(1);
    menuFrames = 30;
    double frameSum = 0;
    double floorSum = 0;
    long frames = 0;
    for (auto _ : state) {
        restoreWorld(saved);
        menuSleeps = 0;
        floorTime = 0;
        clockSeam.sleepHook = menuSleep;
        const auto start = BenchClock::now();
        if (settingsScreen) {
            settingsMenu();
        } else {
            titleMenu();
        }
        const double menu = secondsSince(start) - floorTime;
        clockSeam.sleepHook = nullptr;
        state.SetIterationTime(menu);
        frameSum += menu;
        floorSum += floorTime;
        frames += menuSleeps;
    }
    useSteppedClock();
    const double frame = frameSum / double(frames);
    const double floor = floorSum / double(frames);
    state.counters["frame_ms"] = frame * 1000;
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = frame / floor;
    const std::string name = settingsScreen ? "Settings menu frame " : "Title menu frame ";
    addSample(name + sizeName(game.screenWidth, game.screenHeight), "ms", "<= 1.2 x floor", 1.2,
              true, frame, floor);
}
BENCHMARK(BM_MenuFrame)
    ->ArgNames({"w", "h", "settings"})
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5);

} // namespace
