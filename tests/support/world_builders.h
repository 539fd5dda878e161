// Builders of the least world a rule needs: a player in flight, an asteroid.
#pragma once

#include "app/game_state.h"
#include "world/asteroids.h"
#include "world/players.h"
#include "world/ships.h"

// A keyboard player in play (six lives, unshielded, at rest) at (x, y) heading `angle`.
inline Player& addFlyingPlayer(double x, double y, double angle = 0.0) {
    addPlayer();
    const int index = int(game.players.size()) - 1;
    resetShip(index, float(x), float(y));
    Player& p = game.players.back();
    p.lives = 6;
    p.ship.angle = angle;
    p.ship.shielded = 0;
    p.ship.protectionTimerOn = 0;
    return p;
}

// A size-4 asteroid, as a level starts them (three break-ups left).
inline Body& addAsteroid(double x, double y, float vx = 0, float vy = 0) {
    game.bodies.push_back(makeAsteroid(x, y, vx, vy, 0, 4, 3, 1.1f));
    return game.bodies.back();
}
