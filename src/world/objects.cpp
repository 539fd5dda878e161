// PENDING: stand-in until this file's subsystem lands.
#include "world/objects.h"
#include "app/game_state.h"

int nextObjectId() { return game.nextObjectId++; }
void initBody(Body&) {}
void initBullet(Bullet&) {}
void initParticle(Particle&) {}
void initTurret(Turret&) {}
void setLevelParameters(int, int) {}
void applyGravity(const Body&, float& ax, float& ay) { ax = ay = 0; }
void applyGravity(const Bullet&, float& ax, float& ay) { ax = ay = 0; }
void applyGravity(const Ship&, float& ax, float& ay) { ax = ay = 0; }
void integrateMotion(float, float, double&, double&, double&, double&) {}
void integrateMotion(float, float, float&, float&, float&, float&) {}
void moveBodies() {}
void wrapObjects(int) {}
void removeDead() {}
bool circlesOverlap(float, float, float, float, int, int, int, int) { return false; }
double distance(float, float, float, float) { return 0; }
