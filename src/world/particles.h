// Exhaust and explosion particles.
#pragma once

#include <SDL.h>

struct Ship;

void makeExplosion(int count, float spread, float x, float y, float vx, float vy,
                   SDL_Surface* image);
void emitRearExhaust(Ship& s);
void emitFrontExhaust(Ship& s);
void updateParticles();
void drawParticles();
