// Exhaust and explosion particles.
#pragma once

#include <SDL.h>

#include "app/clock.h"

struct Ship;

void makeExplosion(int count, float spread, float x, float y, float vx, float vy,
                   SDL_Surface* image);
// Each stamps the ship's exhaust timer with `now`: the player update passes the reading
// its interval tests used, so an emission in one step holds back the other emitter.
void emitRearExhaust(Ship& s, Uint32 now = currentTicks());
void emitFrontExhaust(Ship& s, Uint32 now = currentTicks());
void updateParticles();
void drawParticles();
