// PENDING: stand-in until this file's subsystem lands.
#include "world/bullets.h"
#include "app/game_state.h"

void shipFire(Ship&) {}
void turretFire(Turret&) {}
void moveBullets() {}
void drawBullets() {}
