// On-screen messages: the only way the game reports anything.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "app/video.h"

void showMessage(const std::string& text, Uint32 durationMs);
void expireMessages();
void drawMessages();
// Removes every message, freeing each one's rendered line.
void clearMessages();
// Shows what the window code reported, in order.
void showReports(const std::vector<Report>& reports);
