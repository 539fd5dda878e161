// In-game keys: Escape, Pause and the Alt table.
#pragma once

#include <SDL.h>

// Returns true when the key ends the game now (Escape).
bool handleGameKey(SDLKey key, int& asteroidsRemaining);
