// Whole frames against the floor (background blit and flip): play on a heavy scene,
// and the title and settings menus.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/drawing.h"
#include "bench_support.h"
#include "menus/settings_menu.h"
#include "menus/title_menu.h"
#include "play/messages.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/particles.h"
#include "world/players.h"
#include "world/world_step.h"

namespace {

const double kRatioGoal = 1.5;

std::string sizeName(int w, int h) {
    return std::to_string(w) + "x" + std::to_string(h);
}

void showPlayMessages() {
    showMessage("New game started with 4 players at difficulty level 1", 6000);
    showMessage("Starting Level 30", 6000);
}

// Level 30 at difficulty 1 with four players thrusting and firing, after a second
// and a half of play, with four ship-sized bursts (2000 particles) in flight.
SavedWorld heavyScene() {
    std::srand(30);
    useSteppedClock();
    releaseAllKeys();
    clearMessages();
    game.level = 30;
    game.difficulty = 1;
    game.playerCount = 4;
    game.frameCounter = 0;
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
        game.frameCounter += 1;
    }
    for (int i = 0; i < 4; ++i) {
        makeExplosion(500, 5000.0f, 200.0f + 400.0f * i, 300.0f + 200.0f * i, 0.5f, -0.5f,
                      game.shipImages[0].explosionImage);
    }
    return saveWorld();
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
    long n = 0;
    for (auto _ : state) {
        restoreWorld(saved);
        showPlayMessages();
        particles = game.particles.size();
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
    const double frameMs = frameSum / double(n) * 1000;
    const double floorMs = floorSum / double(n) * 1000;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = frameMs / floorMs;
    state.counters["particles"] = double(particles);
    recordFigure({"Floor (background + flip) " + sizeName(game.screenWidth, game.screenHeight),
                  floorMs, 0, "ms", "reference", true});
    recordFigure(
        {"Full frame, level 30, 4 players " + sizeName(game.screenWidth, game.screenHeight),
         frameMs, floorMs, "ms", "<= 1.5x floor", frameMs <= kRatioGoal * floorMs});
}
BENCHMARK(BM_PlayFrame)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// The menus are blocking loops: the sleep hook counts their frames and ends them.
int menuSleeps = 0;
int menuFrames = 0;
bool settingsScreen = false;

void menuSleep(Uint32 ms) {
    advanceClock(ms);
    ++menuSleeps;
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
    setLevelParameters(game.level, game.difficulty);
    createPlayers();
    setupLevel();
    const SavedWorld saved = saveWorld();
    menuFrames = 30;
    double frameSum = 0;
    double floorSum = 0;
    long frames = 0;
    for (auto _ : state) {
        restoreWorld(saved);
        menuSleeps = 0;
        clockSeam.sleepHook = menuSleep;
        const auto start = BenchClock::now();
        if (settingsScreen) {
            settingsMenu();
        } else {
            titleMenu();
        }
        const double menu = secondsSince(start);
        clockSeam.sleepHook = nullptr;
        double floor = 0;
        for (int i = 0; i < menuSleeps; ++i) {
            floor += timeFloor();
        }
        state.SetIterationTime(menu);
        frameSum += menu;
        floorSum += floor;
        frames += menuSleeps;
    }
    useSteppedClock();
    const double frameMs = frameSum / double(frames) * 1000;
    const double floorMs = floorSum / double(frames) * 1000;
    state.counters["frame_ms"] = frameMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = frameMs / floorMs;
    const std::string name = settingsScreen ? "Settings menu frame " : "Title menu frame ";
    recordFigure({name + sizeName(game.screenWidth, game.screenHeight), frameMs, floorMs, "ms",
                  "<= 1.5x floor", frameMs <= kRatioGoal * floorMs});
}
BENCHMARK(BM_MenuFrame)
    ->ArgNames({"w", "h", "settings"})
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

} // namespace
