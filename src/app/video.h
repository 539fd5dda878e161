// The window: setting a video mode with its fall-backs, and the Alt+Enter toggle.
#pragma once

#include <SDL.h>

void setVideoMode(bool report, int width, int height, int bpp, int fallbackWidth,
                  int fallbackHeight, int fallbackBpp);
void checkFullscreenToggle();

// Test seam over the mode query; SDL_VideoModeOK unless a test replaces it.
extern int (*videoModeOk)(int width, int height, int bpp, Uint32 flags);
// Test seam over opening the surface; SDL_SetVideoMode unless a test replaces it.
extern SDL_Surface* (*openVideoSurface)(int width, int height, int bpp, Uint32 flags);
