#include "world/collisions.h"

#include <cmath>

#include "app/game_state.h"
#include "world/asteroids.h"
#include "world/particles.h"
#include "world/players.h"

namespace {

int widthOf(SDL_Surface* s) {
    return s != nullptr ? s->w : 0;
}

int heightOf(SDL_Surface* s) {
    return s != nullptr ? s->h : 0;
}

bool touches(const Bullet& s, double x, double y, SDL_Surface* image) {
    return circlesOverlap(s.x, s.y, float(x), float(y), widthOf(s.image), heightOf(s.image),
                          widthOf(image), heightOf(image));
}

bool firedByShip(int ownerId) {
    for (const Player& p : game.players) {
        if (p.ship.id == ownerId) {
            return true;
        }
    }
    return false;
}

SDL_Surface* shipImageOf(const Ship& s) {
    if (s.design < 0 || size_t(s.design) >= game.shipImages.size()) {
        return nullptr;
    }
    return game.shipImages[size_t(s.design)].shipImage;
}

// A ship's shot breaks the asteroid with an explosion and a crunch; any shot that is
// absorbed ends.
void shotHitsBreakable(size_t bodyIndex, Bullet& s) {
    Body& b = game.bodies[bodyIndex];
    if (b.kind == asteroid) {
        if (firedByShip(s.ownerId)) {
            const int count = widthOf(b.image) * heightOf(b.image) / 15;
            const float spread = float(std::sqrt(s.vx * s.vx + s.vy * s.vy) * 250);
            makeExplosion(count, spread, float(b.x), float(b.y), float(b.vx), float(b.vy),
                          game.explosionParticleImage);
            if (game.soundsOn) {
                Mix_PlayChannelTimed(-1, game.asteroidHitSound, 0, -1);
            }
            splitAsteroid(int(bodyIndex));
        } else if (s.absorbedOnHit) {
            s.alive = 0;
        }
    }
    // splitAsteroid may have grown the sequence: look the body up again.
    if (s.absorbedOnHit && game.bodies[bodyIndex].absorbsBullets) {
        s.alive = 0;
    }
}

void shotsAgainstBodies(size_t bodyCount, size_t bulletCount) {
    for (size_t bi = 0; bi < bodyCount; ++bi) {
        const Body& b = game.bodies[bi];
        if (b.hitClass == ignoresBullets && b.absorbsBullets == 0) {
            continue;
        }
        if (b.hitClass == destroyedByAnyBullet) {
            for (size_t si = 0; si < bulletCount; ++si) {
                Bullet& s = game.bullets[si];
                Body& body = game.bodies[bi];
                if (s.alive && touches(s, body.x, body.y, body.image)) {
                    body.alive = 0;
                    if (s.absorbedOnHit && body.absorbsBullets) {
                        s.alive = 0;
                    }
                }
            }
        } else if (b.hitClass == breaksUp) {
            for (size_t si = 0; si < bulletCount; ++si) {
                Bullet& s = game.bullets[si];
                const Body& body = game.bodies[bi];
                if (s.alive && touches(s, body.x, body.y, body.image)) {
                    shotHitsBreakable(bi, s);
                }
            }
        }
    }
}

void shipsAgainstShotsAndBodies(size_t playerCount, size_t bodyCount, size_t bulletCount) {
    for (size_t i = 0; i < playerCount; ++i) {
        Ship& ship = game.players[i].ship;
        if (ship.alive == 0 || ship.shielded != 0) {
            continue;
        }
        SDL_Surface* image = shipImageOf(ship);
        for (size_t si = 0; si < bulletCount && ship.alive != 0; ++si) {
            Bullet& s = game.bullets[si];
            if (s.ownerId != ship.id && s.alive &&
                circlesOverlap(float(ship.x), float(ship.y), s.x, s.y, widthOf(image),
                               heightOf(image), widthOf(s.image), heightOf(s.image)) &&
                s.harmsShips) {
                playerDied(int(i));
                if (s.absorbedOnHit) {
                    s.alive = 0;
                }
            }
        }
        for (size_t bi = 0; bi < bodyCount && ship.alive != 0; ++bi) {
            const Body& b = game.bodies[bi];
            if (b.alive && b.deadly &&
                circlesOverlap(float(ship.x), float(ship.y), float(b.x), float(b.y), widthOf(image),
                               heightOf(image), widthOf(b.image), heightOf(b.image))) {
                playerDied(int(i));
            }
        }
    }
}

void shotsAgainstTurrets(size_t bulletCount, size_t turretCount) {
    for (size_t si = 0; si < bulletCount; ++si) {
        Bullet& s = game.bullets[si];
        for (size_t ti = 0; ti < turretCount; ++ti) {
            const Turret& t = game.turrets[ti];
            if (s.ownerId != t.id && s.absorbedOnHit && touches(s, t.x, t.y, t.image)) {
                s.alive = 0;
            }
        }
    }
}

} // namespace

void resolveCollisions() {
    // Lengths are taken once: fragments made in this pass are not visited by it.
    const size_t bodyCount = game.bodies.size();
    const size_t bulletCount = game.bullets.size();
    const size_t turretCount = game.turrets.size();
    const size_t playerCount = game.players.size();

    shotsAgainstBodies(bodyCount, bulletCount);
    shipsAgainstShotsAndBodies(playerCount, bodyCount, bulletCount);
    shotsAgainstTurrets(bulletCount, turretCount);
}
