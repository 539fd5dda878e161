#include "world/bullets.h"

#include <cmath>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/objects.h"
#include "world/ships.h"

namespace {

void playSound(Mix_Chunk* chunk) {
    if (game.soundsOn) {
        Mix_PlayChannelTimed(-1, chunk, 0, -1);
    }
}

// Half the firer's sprite, converted back to world units, along its heading.
void rimOffset(SDL_Surface* image, double angle, double& ox, double& oy) {
    const int w = image != nullptr ? image->w : 0;
    const int h = image != nullptr ? image->h : 0;
    ox = w / (2 * game.scaleX) * std::cos(angle);
    oy = h / (2 * game.scaleY) * std::sin(angle);
}

} // namespace

void shipFire(Ship& s) {
    SDL_Surface* image = (s.design >= 0 && size_t(s.design) < game.shipImages.size())
                             ? game.shipImages[size_t(s.design)].shipImage
                             : nullptr;
    double ox = 0;
    double oy = 0;
    rimOffset(image, s.angle, ox, oy);
    Bullet b;
    initBullet(b);
    b.x = float(s.x + ox);
    b.y = float(s.y + oy);
    b.vx = float(s.bulletSpeed * std::cos(s.angle) + s.vx);
    b.vy = float(s.bulletSpeed * std::sin(s.angle) + s.vy);
    b.gravityOn = 0;
    b.homing = s.homingShots;
    b.attracts = 0;
    b.absorbedOnHit = 1;
    b.lifetimeMs = 3500;
    b.harmsShips = s.teamAttack;
    b.image = game.shipBulletImage;
    b.mass = 0.01f;
    b.ownerId = s.id;
    game.bullets.push_back(b);
    playSound(game.shipFireSound);
}

void turretFire(Turret& t) {
    double ox = 0;
    double oy = 0;
    rimOffset(t.image, t.angle, ox, oy);
    Bullet b;
    initBullet(b);
    b.x = float(t.x + ox);
    b.y = float(t.y + oy);
    b.vx = float(t.bulletSpeed * std::cos(t.angle));
    b.vy = float(t.bulletSpeed * std::sin(t.angle));
    b.gravityOn = 0;
    b.homing = 0;
    b.attracts = 0;
    b.absorbedOnHit = 1;
    b.lifetimeMs = truncToInt(t.bulletLifeMs);
    b.harmsShips = 1;
    b.image = game.turretBulletImage;
    b.mass = 0.01f;
    b.ownerId = t.id;
    game.bullets.push_back(b);
    playSound(game.turretFireSound);
}

void moveBullets() {
    for (Bullet& b : game.bullets) {
        const Uint32 now = currentTicks();
        if ((now - b.birthTicks) * game.gameSpeed > b.lifetimeMs) {
            b.alive = 0;
            continue;
        }
        float ax = 0;
        float ay = 0;
        applyGravity(b, ax, ay);
        integrateMotion(ax, ay, b.x, b.y, b.vx, b.vy);
    }
}

void drawBullets() {
    for (const Bullet& b : game.bullets) {
        blitWorld(truncToInt(b.x), truncToInt(game.worldHeight - b.y), b.image, game.screen);
    }
}
