#include "app/clock.h"

#include <cmath>

ClockSeam clockSeam;

Uint32 currentTicks() {
    if (clockSeam.manual) {
        const Uint32 read = clockSeam.now;
        clockSeam.now += clockSeam.advancePerRead;
        return read;
    }
    return SDL_GetTicks();
}

void sleepMs(Uint32 ms) {
    if (clockSeam.sleepHook != nullptr) {
        clockSeam.sleepHook(ms);
        return;
    }
    SDL_Delay(ms);
}

void sleepRemaining(double ms) {
    // Anything at or above a day is a broken clock, not a frame budget.
    if (!std::isfinite(ms) || ms < 1.0 || ms >= 86400000.0) {
        return;
    }
    sleepMs(Uint32(ms));
}

void setManualClock(Uint32 now) {
    clockSeam.manual = true;
    clockSeam.now = now;
}

void advanceClock(Uint32 ms) {
    clockSeam.now += ms;
}
