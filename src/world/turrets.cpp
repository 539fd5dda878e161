#include "world/turrets.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/bullets.h"

namespace {

bool targetAlive(const Turret& t) {
    return t.targetPlayer >= 0 && size_t(t.targetPlayer) < game.players.size() &&
           game.players[size_t(t.targetPlayer)].ship.alive != 0;
}

// Turns the barrel toward the target and fires when the aim is close and reloaded.
void aimAndFire(Turret& t, Uint32 now) {
    const Ship& ship = game.players[size_t(t.targetPlayer)].ship;
    const double g = game.gameSpeed;
    const double f = game.frameFactor;
    const float r = t.turnRate;

    const float dist = float(distance(float(t.x), float(t.y), float(ship.x), float(ship.y)));
    // A target standing exactly on the turret has no direction: skip this step
    // rather than let a NaN into the barrel angle.
    if (!(dist > 0.0f)) {
        return;
    }
    const float dx = float(ship.x) - float(t.x);
    const float dy = float(ship.y) - float(t.y);
    const float ux = dx / dist;
    const float uy = dy / dist;
    const float aimX = dist * float(std::cos(t.angle));
    const float aimY = dist * float(std::sin(t.angle));
    const double E = distance(aimX, aimY, dx, dy);

    const double dPlus =
        distance(float(std::cos(t.angle + 5)), float(std::sin(t.angle + 5)), ux, uy);
    const double dMinus =
        distance(float(std::cos(t.angle - 5)), float(std::sin(t.angle - 5)), ux, uy);

    if (dMinus < dPlus) {
        const double S = distance(aimX, aimY, dist * float(std::cos(t.angle + r)),
                                  dist * float(std::sin(t.angle + r)));
        const double part = S > 0 ? std::min(E / S, 1.0) : 0.0;
        t.angle += part * r * g * f;
    } else {
        const double S = distance(aimX, aimY, dist * float(std::cos(t.angle - r)),
                                  dist * float(std::sin(t.angle - r)));
        const double part = S > 0 ? std::min(E / S, 1.0) : 0.0;
        // The decreasing turn is not scaled by game speed and frame length.
        t.angle -= part * r;
    }

    t.aimX = dist * float(std::cos(t.angle));
    t.aimY = dist * float(std::sin(t.angle));
    const double err = distance(t.aimX, t.aimY, dx, dy);

    // Below the frame cap the reload grows in the same ratio, as a ship's does.
    const float share = game.measuredFps / float(std::max(game.frameCap, 1));
    if ((now - t.lastFireTicks) * game.gameSpeed * share > t.fireDelayMs && err < 30) {
        turretFire(t);
        t.lastFireTicks = now;
    }
}

} // namespace

Turret makeTurret(float x, float y) {
    Turret t;
    initTurret(t);
    const LevelParameters& p = game.levelParams;
    t.x = x;
    t.y = y;
    t.angle = 0;
    t.bulletSpeed = p.turretBulletSpeed;
    t.fireDelayMs = truncToInt(p.turretFireDelay);
    // At high difficulty the delay goes negative and the range empty: draw 0 then.
    // The sum is kept wide so a saturated delay cannot overflow.
    const long long range = (long long)t.fireDelayMs + 2;
    const long long part = range > 0 ? std::rand() % std::min(range, (long long)INT_MAX) : 0;
    t.lastFireTicks = Uint32((long long)t.fireDelayMs + part);
    t.bulletLifeMs = float(p.turretBulletLife);
    t.turnRate = p.turretTurnRate;
    t.image = game.turretImage;
    t.bulletImage = game.turretBulletImage;
    return t;
}

void pickTarget(Turret& t) {
    if (game.players.empty()) {
        return;
    }
    const Ship& first = game.players[0].ship;
    double best = distance(float(t.x), float(t.y), float(first.x), float(first.y)) + 1;
    for (size_t i = 0; i < game.players.size(); ++i) {
        const Player& p = game.players[i];
        const double d = distance(float(t.x), float(t.y), float(p.ship.x), float(p.ship.y));
        if (d <= best && p.ship.alive != 0 && p.lives >= 1) {
            t.targetPlayer = int(i);
            best = d;
        }
    }
}

void updateTurrets() {
    if (game.players.empty()) {
        return;
    }
    for (Turret& t : game.turrets) {
        const Uint32 now = currentTicks();
        if (t.targetPlayer == 0 || !targetAlive(t)) {
            pickTarget(t);
            t.lastRetargetTicks = now;
        } else if (now - t.lastRetargetTicks > Uint32(game.turretRetargetMs)) {
            pickTarget(t);
            t.lastRetargetTicks = now;
        }
        if (!targetAlive(t)) {
            continue;
        }
        aimAndFire(t, now);
    }
}

void drawTurrets() {
    for (const Turret& t : game.turrets) {
        blitWorld(truncToInt(t.x), truncToInt(game.worldHeight - t.y), t.image, game.screen);
        blitOnRim(truncToInt(t.x), truncToInt(t.y), t.angle, t.image, t.bulletImage, game.screen);
    }
}

void drawCrosshairs() {
    for (const Turret& t : game.turrets) {
        if (!targetAlive(t)) {
            continue;
        }
        blitWorld(truncToInt(t.x + t.aimX), truncToInt(game.worldHeight - (t.y + t.aimY)),
                  game.crosshairImage, game.screen);
    }
}
