// World records (bodies, shots, particles, turrets), level numbers, and the shared
// motion rules: gravity, the acceleration cap, wrap-around, removal and the hit test.
#pragma once

#include <SDL.h>

enum BodyKind { planet = 1, asteroid = 2 };
enum HitClass { ignoresBullets = 0, destroyedByAnyBullet = 1, breaksUp = 2 };

// Planets and asteroids.
struct Body {
    int kind = 0;
    int id = 0;
    int alive = 0;
    double x = 0, y = 0;
    double vx = 0, vy = 0; // world units per 30-fps frame
    int attracts = 0;      // exerts gravity
    int pulled = 0;        // feels gravity, together with pullEnabled
    int pullEnabled = 0;
    int hitClass = 0;
    float fragmentSpread = 0;
    int absorbsBullets = 0; // a shot that hits it ends
    int deadly = 0;         // a ship touching it dies
    float mass = 0;
    int size = 0; // asteroid size 1..5
    int splitsLeft = 0;
    SDL_Surface* image = nullptr; // not owned
};

struct Bullet {
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    Uint32 birthTicks = 0;
    int alive = 0;
    int gravityOn = 0;
    int homing = 0;
    int attracts = 0;
    int absorbedOnHit = 0;
    int lifetimeMs = 0; // game-speed milliseconds
    int harmsShips = 0;
    SDL_Surface* image = nullptr; // sprite and hit extent
    float mass = 0;
    int ownerId = 0; // id of the firing ship or turret
};

struct Particle {
    float x = 0, y = 0;
    int ownerId = 0; // id of the ship whose exhaust it is, -1 otherwise
    float vx = 0, vy = 0;
    Uint32 birthTicks = 0;
    int alive = 0;
    int lifetimeMs = 0;
    int frameOffset = 0;          // animation phase in the strip
    SDL_Surface* image = nullptr; // strip of particleFrameCount frames
};

struct Turret {
    int id = 0;
    int targetPlayer = 0; // index into players
    Uint32 lastRetargetTicks = 0;
    double x = 0, y = 0;
    Uint32 lastFireTicks = 0;
    int fireDelayMs = 0;
    float bulletSpeed = 0;
    float bulletLifeMs = 0;
    double angle = 0;         // barrel heading, radians
    float aimX = 0, aimY = 0; // aim point relative to the turret (the crosshairs)
    float turnRate = 0;       // radians per 30-fps frame
    SDL_Surface* image = nullptr;
    SDL_Surface* bulletImage = nullptr; // barrel marker
};

// Numbers derived from level and difficulty by setLevelParameters.
struct LevelParameters {
    int asteroidCount = 0;
    int planetCount = 0;
    float planetMassMax = 6.0f;
    float planetMassMin = 4.0f;
    int turretCount = 0;
    float turretTurnRate = 0;
    float turretFireDelay = 0;
    float turretBulletSpeed = 0;
    int turretBulletLife = 0;
    int fragmentCount = 2;
};

struct Ship;

// Rounds to single precision for certain. GCC 12 may keep a float result in double
// precision when it is widened again (it vectorised the fragment speeds that way), so
// values the game defines as single precision pass through a real float in memory.
inline float roundToSingle(double value) {
    volatile float rounded = float(value);
    return rounded;
}

// The one counter of identifiers: returns the current value and increments it.
int nextObjectId();

void initBody(Body& b);
void initBullet(Bullet& b);
void initParticle(Particle& p);
void initTurret(Turret& t);

void setLevelParameters(int level, int difficulty);

// Gravity sums, one per kind of receiver; each returns the acceleration in (ax, ay).
void applyGravity(const Body& receiver, float& ax, float& ay);
void applyGravity(const Bullet& receiver, float& ax, float& ay);
void applyGravity(const Ship& receiver, float& ax, float& ay);

// The acceleration cap and one motion step (doubles for bodies and ships, floats for shots).
void integrateMotion(float ax, float ay, double& x, double& y, double& vx, double& vy);
void integrateMotion(float ax, float ay, float& x, float& y, float& vx, float& vy);

void moveBodies();
void wrapObjects(int includeShips);
void removeDead();
bool circlesOverlap(float x1, float y1, float x2, float y2, int w1, int h1, int w2, int h2);

// One side of circlesOverlap, worked out once: the position in screen pixels rounded to
// single precision, and the radius (w + h) / 4 in whole pixels.
struct ScreenDisc {
    float x = 0;
    float y = 0;
    int radius = 0;
};
ScreenDisc screenDisc(float x, float y, int w, int h);
bool discsOverlap(const ScreenDisc& a, const ScreenDisc& b);
double distance(float x1, float y1, float x2, float y2);
