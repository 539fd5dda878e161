// On-screen messages (the only way the game reports anything) and the composition
// of every picture from the background, the FPS line, the messages and the world layers.
#pragma once

#include <SDL.h>

#include <string>

struct Message {
    Uint32 durationMs = 5000;
    Uint32 startTicks = 0;
    SDL_Surface* surface = nullptr; // owned: freed by whoever removes the message
    int alive = 1;                  // a message is shown from the moment it is made
};

void showMessage(const std::string& text, Uint32 durationMs);
void expireMessages();
void drawMessages();
// Removes every message, freeing each one's rendered line.
void clearMessages();
void drawScene(int particlesOn, int bodiesOn, int bulletsOn, int turretsOn, int shipsOn,
               int messagesOn, int crosshairsOn, int fpsOn);
