// PENDING: stand-in until this file's subsystem lands.
#include "world/particles.h"
#include "app/game_state.h"

void makeExplosion(int, float, float, float, float, float, SDL_Surface*) {}
void emitRearExhaust(Ship&) {}
void emitFrontExhaust(Ship&) {}
void updateParticles() {}
void drawParticles() {}
