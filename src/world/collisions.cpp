#include "world/collisions.h"

#include <cmath>
#include <vector>

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

// Every object's screen disc, worked out once per pass: positions and images do not
// change while it runs (fragments are appended and not visited).
struct PassDiscs {
    std::vector<ScreenDisc> shots;
    std::vector<ScreenDisc> bodies;
    std::vector<ScreenDisc> turrets;
};

ScreenDisc discOf(float x, float y, SDL_Surface* image) {
    return screenDisc(x, y, widthOf(image), heightOf(image));
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

void shotsAgainstBodies(const PassDiscs& d, size_t bodyCount, size_t bulletCount) {
    for (size_t bi = 0; bi < bodyCount; ++bi) {
        const Body& b = game.bodies[bi];
        if (b.hitClass == ignoresBullets && b.absorbsBullets == 0) {
            continue;
        }
        const ScreenDisc& bodyDisc = d.bodies[bi];
        if (b.hitClass == destroyedByAnyBullet) {
            for (size_t si = 0; si < bulletCount; ++si) {
                Bullet& s = game.bullets[si];
                Body& body = game.bodies[bi];
                if (discsOverlap(d.shots[si], bodyDisc) && s.alive) {
                    body.alive = 0;
                    if (s.absorbedOnHit && body.absorbsBullets) {
                        s.alive = 0;
                    }
                }
            }
        } else if (b.hitClass == breaksUp) {
            for (size_t si = 0; si < bulletCount; ++si) {
                Bullet& s = game.bullets[si];
                if (discsOverlap(d.shots[si], bodyDisc) && s.alive) {
                    shotHitsBreakable(bi, s);
                }
            }
        }
    }
}

void shipsAgainstShotsAndBodies(const PassDiscs& d, size_t playerCount, size_t bodyCount,
                                size_t bulletCount) {
    for (size_t i = 0; i < playerCount; ++i) {
        Ship& ship = game.players[i].ship;
        if (ship.alive == 0 || ship.shielded != 0) {
            continue;
        }
        const ScreenDisc shipDisc = discOf(float(ship.x), float(ship.y), shipImageOf(ship));
        for (size_t si = 0; si < bulletCount && ship.alive != 0; ++si) {
            Bullet& s = game.bullets[si];
            if (s.ownerId != ship.id && s.alive && discsOverlap(shipDisc, d.shots[si]) &&
                s.harmsShips) {
                playerDied(int(i));
                if (s.absorbedOnHit) {
                    s.alive = 0;
                }
            }
        }
        for (size_t bi = 0; bi < bodyCount && ship.alive != 0; ++bi) {
            const Body& b = game.bodies[bi];
            if (b.alive && b.deadly && discsOverlap(shipDisc, d.bodies[bi])) {
                playerDied(int(i));
            }
        }
    }
}

void shotsAgainstTurrets(const PassDiscs& d, size_t bulletCount, size_t turretCount) {
    for (size_t si = 0; si < bulletCount; ++si) {
        Bullet& s = game.bullets[si];
        for (size_t ti = 0; ti < turretCount; ++ti) {
            const Turret& t = game.turrets[ti];
            if (s.ownerId != t.id && s.absorbedOnHit && discsOverlap(d.shots[si], d.turrets[ti])) {
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

    PassDiscs d;
    d.shots.reserve(bulletCount);
    for (const Bullet& s : game.bullets) {
        d.shots.push_back(discOf(s.x, s.y, s.image));
    }
    d.bodies.reserve(bodyCount);
    for (const Body& b : game.bodies) {
        d.bodies.push_back(discOf(float(b.x), float(b.y), b.image));
    }
    d.turrets.reserve(turretCount);
    for (const Turret& t : game.turrets) {
        d.turrets.push_back(discOf(float(t.x), float(t.y), t.image));
    }

    shotsAgainstBodies(d, bodyCount, bulletCount);
    shipsAgainstShotsAndBodies(d, playerCount, bodyCount, bulletCount);
    shotsAgainstTurrets(d, bulletCount, turretCount);
}
