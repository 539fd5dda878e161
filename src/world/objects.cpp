#include "world/objects.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/ships.h"

namespace {

// One gravity term: d * w / (14 d^2 + 5), accumulated in single precision.
void addPull(float px, float py, float sx, float sy, float w, float& ax, float& ay) {
    const float dx = sx - px;
    const float dy = sy - py;
    const float d2 = dx * dx + dy * dy;
    ax += dx * w / (14.0f * d2 + 5.0f);
    ay += dy * w / (14.0f * d2 + 5.0f);
}

float squared(float dx, float dy) {
    return dx * dx + dy * dy;
}

// The cap test uses M x g x f, the replacement length M alone. A zero pull is never
// rescaled, so 0 / 0 cannot arise when g or f is 0.
void capAcceleration(float& ax, float& ay) {
    const float mag = std::sqrt(ax * ax + ay * ay);
    if (mag > game.maxAcceleration * game.gameSpeed * game.frameFactor && mag > 0.0f) {
        ax = ax / mag * game.maxAcceleration;
        ay = ay / mag * game.maxAcceleration;
    }
}

// Shared by bodies and ships (doubles) and shots (floats): every product is taken in
// the type the operands give, and the result rounds to the field's own precision.
template <typename T> T keepPrecision(double value) {
    if constexpr (std::is_same_v<T, float>) {
        return roundToSingle(value);
    } else {
        return value;
    }
}

template <typename T> void integrateAs(float ax, float ay, T& x, T& y, T& vx, T& vy) {
    capAcceleration(ax, ay);
    const double f = game.frameFactor;
    const float g = game.gameSpeed;
    vx = keepPrecision<T>(vx + ax * f);
    vy = keepPrecision<T>(vy + ay * f);
    x = keepPrecision<T>(x + vx * g * f);
    y = keepPrecision<T>(y + vy * g * f);
}

// One axis of the wrap-around: the far edge is `field` + size / 2, the near one
// -(size / 2), and an object past either moves by one field plus its size.
template <typename T> void wrapAxis(T& x, int field, int size) {
    const T period = T(field + size);
    if (x > field + size / 2) {
        x -= field + size;
        // Only a step of enormous length (the first after a long pause) carries an
        // object more than a whole period out. It comes back where wrapping it step
        // after step would put it, instead of drifting away for good.
        if (x > field + size / 2 && std::isfinite(x)) {
            x -= period * std::ceil((x - T(field + size / 2)) / period);
        }
    }
    if (x < -(size / 2)) {
        x += field + size;
        if (x < -(size / 2) && std::isfinite(x)) {
            x += period * std::ceil((T(-(size / 2)) - x) / period);
        }
    }
}

template <typename T> void wrapOne(T& x, T& y, SDL_Surface* image) {
    if (image == nullptr) {
        return;
    }
    wrapAxis(x, game.worldWidth, image->w);
    wrapAxis(y, game.worldHeight, image->h);
}

} // namespace

int nextObjectId() {
    return game.nextObjectId++;
}

void initBody(Body& b) {
    b = Body{};
    b.id = nextObjectId();
    b.alive = 1;
    b.x = game.screenWidth / 2;
    b.y = game.screenHeight / 2;
    b.pullEnabled = 1;
    b.fragmentSpread = 1.0f;
    b.splitsLeft = -1;
}

void initBullet(Bullet& b) {
    b = Bullet{};
    b.birthTicks = currentTicks();
    b.alive = 1;
    b.absorbedOnHit = 1;
    b.image = game.shipBulletImage;
    b.mass = 0.01f;
}

void initParticle(Particle& p) {
    p = Particle{};
    p.ownerId = -1;
    p.birthTicks = currentTicks();
    p.alive = 1;
    p.frameOffset = game.particleFrameCount > 0 ? std::rand() % game.particleFrameCount : 0;
    p.image = game.exhaustParticleImage;
}

void initTurret(Turret& t) {
    t = Turret{};
    t.id = nextObjectId();
    t.lastRetargetTicks = 500;
}

void setLevelParameters(int level, int difficulty) {
    // Levels start at 1; a lower one would divide the fire delay by zero.
    const int L = std::max(level, 1);
    const int D = difficulty;
    LevelParameters& p = game.levelParams;
    p.asteroidCount = truncToInt(int(std::sqrt(roundToSingle(2.25 * L))) + 2 + 1.25 * (D - 1));
    p.planetCount = int(std::sqrt(roundToSingle(1.2 * L))) - 1;
    p.planetMassMax = float(int(std::sqrt(8.0 * L)) + 2);
    p.planetMassMin = float(int(std::sqrt(8.0 * L)));
    p.turretCount = int(std::sqrt(roundToSingle(0.8 * L + 20))) - 4;
    p.turretTurnRate = float(0.0045 * D * L);
    p.turretFireDelay = float(800.0 / (L / 30.0) - (50.0 * D - 50));
    p.turretBulletSpeed = float(0.5 * D + 0.02 * L + 4);
    p.turretBulletLife = truncToInt(140.0 * D + 100.0 * L + 850);
    p.fragmentCount = D / 3 + 2;
}

void applyGravity(const Body& receiver, float& ax, float& ay) {
    ax = 0;
    ay = 0;
    if (!receiver.alive || !receiver.pulled || !receiver.pullEnabled) {
        return;
    }
    const float px = roundToSingle(receiver.x);
    const float py = roundToSingle(receiver.y);
    for (const Body& j : game.bodies) {
        if (&j == &receiver || !j.attracts) {
            continue;
        }
        const float sx = roundToSingle(j.x);
        const float sy = roundToSingle(j.y);
        if (squared(sx - px, sy - py) == 0.0f) {
            continue;
        }
        addPull(px, py, sx, sy, j.mass * receiver.mass, ax, ay);
    }
    for (const Bullet& k : game.bullets) {
        if (!k.attracts || squared(k.x - px, k.y - py) == 0.0f) {
            continue;
        }
        addPull(px, py, k.x, k.y, k.mass * receiver.mass, ax, ay);
    }
}

void applyGravity(const Bullet& receiver, float& ax, float& ay) {
    ax = 0;
    ay = 0;
    if (!receiver.gravityOn && !receiver.homing) {
        return;
    }
    const float px = receiver.x;
    const float py = receiver.y;
    for (const Body& j : game.bodies) {
        const bool homingTarget = receiver.homing && j.kind == asteroid;
        if (!j.attracts && !homingTarget) {
            continue;
        }
        const float sx = roundToSingle(j.x);
        const float sy = roundToSingle(j.y);
        if (squared(sx - px, sy - py) == 0.0f) {
            continue;
        }
        if (homingTarget) {
            addPull(px, py, sx, sy, 500.0f, ax, ay);
        } else if (receiver.gravityOn) {
            addPull(px, py, sx, sy, j.mass, ax, ay);
        }
    }
    for (const Bullet& k : game.bullets) {
        if (&k == &receiver || !k.attracts) {
            continue;
        }
        addPull(px, py, k.x, k.y, k.mass, ax, ay);
    }
}

void applyGravity(const Ship& receiver, float& ax, float& ay) {
    ax = 0;
    ay = 0;
    const float px = roundToSingle(receiver.x);
    const float py = roundToSingle(receiver.y);
    for (const Body& j : game.bodies) {
        if (!j.attracts) {
            continue;
        }
        const float sx = roundToSingle(j.x);
        const float sy = roundToSingle(j.y);
        if (squared(sx - px, sy - py) == 0.0f) {
            continue;
        }
        addPull(px, py, sx, sy, j.mass, ax, ay);
    }
    for (const Bullet& k : game.bullets) {
        if (!k.attracts || squared(k.x - px, k.y - py) == 0.0f) {
            continue;
        }
        addPull(px, py, k.x, k.y, k.mass, ax, ay);
    }
}

void integrateMotion(float ax, float ay, double& x, double& y, double& vx, double& vy) {
    integrateAs(ax, ay, x, y, vx, vy);
}

void integrateMotion(float ax, float ay, float& x, float& y, float& vx, float& vy) {
    integrateAs(ax, ay, x, y, vx, vy);
}

void moveBodies() {
    for (Body& b : game.bodies) {
        if (!b.alive) {
            continue;
        }
        float ax = 0;
        float ay = 0;
        if (b.pulled && b.pullEnabled) {
            applyGravity(b, ax, ay);
        }
        integrateMotion(ax, ay, b.x, b.y, b.vx, b.vy);
    }
}

void wrapObjects(int includeShips) {
    for (Bullet& b : game.bullets) {
        wrapOne(b.x, b.y, b.image);
    }
    for (Body& b : game.bodies) {
        wrapOne(b.x, b.y, b.image);
    }
    for (Particle& p : game.particles) {
        wrapOne(p.x, p.y, p.image);
    }
    if (!includeShips) {
        return;
    }
    for (Player& p : game.players) {
        const int design = p.ship.design;
        if (design >= 0 && size_t(design) < game.shipImages.size()) {
            wrapOne(p.ship.x, p.ship.y, game.shipImages[size_t(design)].shipImage);
        }
    }
}

void removeDead() {
    std::erase_if(game.bullets, [](const Bullet& b) { return b.alive == 0; });
    std::erase_if(game.bodies, [](const Body& b) { return b.alive == 0; });
    std::erase_if(game.particles, [](const Particle& p) { return p.alive == 0; });
}

bool circlesOverlap(float x1, float y1, float x2, float y2, int w1, int h1, int w2, int h2) {
    return discsOverlap(screenDisc(x1, y1, w1, h1), screenDisc(x2, y2, w2, h2));
}

ScreenDisc screenDisc(float x, float y, int w, int h) {
    ScreenDisc d;
    d.x = roundToSingle(x * game.scaleX);
    d.y = roundToSingle(y * game.scaleY);
    d.radius = (w + h) / 4;
    return d;
}

bool discsOverlap(const ScreenDisc& a, const ScreenDisc& b) {
    const float reach = float(a.radius + b.radius);
    // The rounded root of a sum of rounded squares is never below either distance along
    // an axis, so objects that far apart on one axis are rejected without it, exactly.
    if (!(std::fabs(a.x - b.x) < reach && std::fabs(a.y - b.y) < reach)) {
        return false;
    }
    return reach > std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

double distance(float x1, float y1, float x2, float y2) {
    return std::sqrt(double(x1 - x2) * (x1 - x2) + double(y1 - y2) * (y1 - y2));
}
