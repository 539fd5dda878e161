// The window: setting a video mode with its fall-backs, and the Alt+Enter toggle.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

// A line for the player about a mode change; the caller shows it, since the window code
// knows nothing of the message queue.
struct Report {
    std::string text;
    Uint32 durationMs = 0;
};

// With `report`, returns the attempt and its outcome; without, nothing.
std::vector<Report> setVideoMode(bool report, int width, int height, int bpp, int fallbackWidth,
                                 int fallbackHeight, int fallbackBpp);
// Alt+Enter held: the other mode, and the lines that tell of it.
std::vector<Report> checkFullscreenToggle();

// Test seam over the mode query; SDL_VideoModeOK unless a test replaces it.
extern int (*videoModeOk)(int width, int height, int bpp, Uint32 flags);
// Test seam over opening the surface; SDL_SetVideoMode unless a test replaces it.
extern SDL_Surface* (*openVideoSurface)(int width, int height, int bpp, Uint32 flags);
