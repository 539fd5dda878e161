// One whole game: the level loop, the frame loop, frame pacing.
#pragma once

#include <SDL.h>

// 0 when the window was closed, 1 otherwise (game over, Escape, failed flip).
int runGame();

// The last two steps of every frame, kept apart so the menus can pace the same way.
// Sleeps out what is left of 1000 / frameCap ms since frameStart, when capping is on.
void paceFrame(Uint32 frameStart);
// Maximum Speed: nudges frameCap towards what the machine manages, given the clock
// reading taken just before paceFrame.
void adaptFrameCap(Uint32 sleepMark);
