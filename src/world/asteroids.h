// Planets and asteroids, level set-up, break-up and drawing of bodies.
#pragma once

#include "world/objects.h"

Body makePlanet(float x, float y, float mass);
Body makeAsteroid(double x, double y, float vx, float vy, int attracts, int size, int splitsLeft,
                  float fragmentSpread);
void setupLevel();
int countAsteroids();
// Breaks the asteroid at index `bodyIndex` of bodies: appends its fragments, marks it dead.
void splitAsteroid(int bodyIndex);
void drawBodies();
