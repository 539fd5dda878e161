// What the benchmarks share: headless SDL at a chosen size with the real data tree,
// the manual clock, held keys, a saved world to restore, and the summary table.
#pragma once

#include <SDL.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "support/input_seams.h"

// SDL with the dummy drivers, the mixer and the fonts and images of the data tree at
// width x height (reloaded only when the size changes).
void useScreen(int width, int height);

// Shuts down everything useScreen brought up, leaving no dangling asset pointers.
void shutDownSdl();

// The clock seam under the bench's control, starting at `now`; sleeps only advance it.
void useSteppedClock(Uint32 now = 100000);
void useRealClock();

// The world collections, the clock and the frame counter, saved and put back.
struct SavedWorld {
    std::vector<Turret> turrets;
    std::vector<Body> bodies;
    std::vector<Player> players;
    std::vector<Particle> particles;
    std::vector<Bullet> bullets;
    Uint32 now = 0;
    int frameCounter = 0;
};
SavedWorld saveWorld();
void restoreWorld(const SavedWorld& w);

// The reference frame: the keyed background and a flip, nothing else.
void floorFrame();

using BenchClock = std::chrono::steady_clock;
inline double secondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// One line of the summary table: a figure, its reference, and the goal it is held to.
struct Figure {
    std::string name;
    double value = 0;     // ms, or a share
    double reference = 0; // ms of the reference measured beside it (0: none)
    std::string unit;     // "ms", "s" or "%"
    std::string goal;     // in words
    bool holds = false;
};
// Records a figure; a later record of the same name replaces the earlier one.
void recordFigure(const Figure& f);
void printFigures();
