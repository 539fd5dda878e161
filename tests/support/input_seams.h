// Doubles over the game's seams that need no test framework, shared by the tests and
// the benchmarks: held keys, queued key presses, the manual clock and a mode query.
#pragma once

#include <SDL.h>

// Marks a key as held (or released) in the array SDL_GetKeyState(NULL) returns.
void holdKey(SDLKey key, bool held = true);
void holdEveryKey(bool held = true);
void releaseAllKeys();

// Queues a key-down event, or a window close, through SDL_PushEvent. A press is
// refused when the queue is full (it holds 128 events).
bool pushKeyDown(SDLKey key);
void pushQuit();

// Puts the clock seam under the caller's control at `now`, the frame timers with it.
void useManualClock(Uint32 now = 100000);

// The dummy display is 1024 x 768 and lists only a few sizes: this mode query takes
// any size at the asked depth.
int anyModeOk(int width, int height, int bpp, Uint32 flags);
