// What the benchmarks share: headless SDL at a chosen size with the real data tree,
// the manual clock, held keys, a saved world to restore, and the summary table.
#pragma once

#include <SDL.h>

#include <chrono>
#include <ctime>
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

// The world collections and every counter the frame reads, saved and put back, so
// that each call of a benchmark starts from the same scene: the clock, the frame and
// frame-rate counters, the identifier counter and the random seed.
struct SavedWorld {
    std::vector<Turret> turrets;
    std::vector<Body> bodies;
    std::vector<Player> players;
    std::vector<Particle> particles;
    std::vector<Bullet> bullets;
    Uint32 now = 0;
    int frameCounter = 0;
    int nextObjectId = 0;
    unsigned seed = 0;
};
SavedWorld saveWorld(unsigned seed);
void restoreWorld(const SavedWorld& w);

// The floor no frame can beat: an unkeyed blit of a whole screen-sized picture and a
// flip. Its picture follows the screen size.
void floorFrame();

// The calling thread's CPU time: on a machine shared with other work, waiting for a
// core is not a cost of the code measured. Under the dummy driver SDL presents frames
// on this same thread, so the flip is inside the figure.
struct BenchClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<BenchClock>;
    static constexpr bool is_steady = true;
    static time_point now() {
        timespec t = {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(rep(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};
inline double secondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// One line of the summary table: a figure measured in repetitions (at least five),
// each beside the reference measured interleaved with it; printed as minimum, median
// and maximum, the ratio as the median of the repetitions' ratios.
struct Figure {
    std::string name;
    std::string unit;       // "ms" or "s"
    std::string goal;       // in words
    double limit = 0;       // the goal: median (or median ratio) below this; 0: none
    bool ratioGoal = false; // the limit bounds the ratio to the reference
    std::vector<double> values;
    std::vector<double> references; // empty: no reference
};
// Adds one repetition's value (and reference) to the figure of that name.
void addSample(const std::string& name, const std::string& unit, const std::string& goal,
               double limit, bool ratioGoal, double value, double reference = 0);
void printFigures();
