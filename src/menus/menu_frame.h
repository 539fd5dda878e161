// What every menu screen shares: the drifting backdrop, the title, text lines,
// the confirm key and the frame-cap wait.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

void drawTitle();
