// The program's one seam over time: every clock read and every sleep goes through here,
// so that tests can drive time exactly instead of waiting for it.
#pragma once

#include <SDL.h>

// Milliseconds of the SDL clock, or the manual clock while a test has set one.
Uint32 currentTicks();

// Sleeps for ms milliseconds (SDL_Delay), or hands the request to the test hook.
void sleepMs(Uint32 ms);

// Sleep for (target - elapsed) when the difference is a positive whole number of
// milliseconds; a zero, negative or non-finite difference sleeps not at all, so a
// clock that moved on between two readings can never wrap into a weeks-long delay.
void sleepRemaining(double ms);

// ---- Test seam
struct ClockSeam {
    bool manual = false; // currentTicks() returns `now` instead of SDL_GetTicks()
    Uint32 now = 0;
    Uint32 advancePerRead = 0;              // the manual clock moves on by this after every read
    void (*sleepHook)(Uint32 ms) = nullptr; // replaces SDL_Delay when set
};
extern ClockSeam clockSeam;

void setManualClock(Uint32 now);
void advanceClock(Uint32 ms);
