// PENDING: stand-in until this file's subsystem lands.
#include "world/turrets.h"
#include "app/game_state.h"

Turret makeTurret(float, float) {
    return Turret{};
}
void pickTarget(Turret&) {}
void updateTurrets() {}
void drawTurrets() {}
void drawCrosshairs() {}
