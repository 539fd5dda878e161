// Turrets: making them, choosing a target, aiming and firing, and drawing them.
#pragma once

#include "world/objects.h"

Turret makeTurret(float x, float y);
void pickTarget(Turret& t);
void updateTurrets();
void drawTurrets();
void drawCrosshairs();
