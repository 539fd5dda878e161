// PENDING: stand-in until this file's subsystem lands.
#include "world/asteroids.h"
#include "app/game_state.h"

Body makePlanet(float, float, float) { return Body{}; }
Body makeAsteroid(double, double, float, float, int, int, int, float) { return Body{}; }
void setupLevel() {}
int countAsteroids() { return 0; }
void splitAsteroid(int) {}
void drawBodies() {}
