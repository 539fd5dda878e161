// What the reliability tests ask of the world after an extreme: no NaN or infinity in
// any number that motion, aiming or timing can spoil.
#pragma once

#include <cmath>
#include <string>

#include "app/game_state.h"

// The kind of the first object holding one, or "" when every value is finite.
inline std::string firstNonFiniteValue() {
    for (const Body& b : game.bodies) {
        if (!std::isfinite(b.x) || !std::isfinite(b.y) || !std::isfinite(b.vx) ||
            !std::isfinite(b.vy) || !std::isfinite(b.mass)) {
            return "body";
        }
    }
    for (const Bullet& b : game.bullets) {
        if (!std::isfinite(b.x) || !std::isfinite(b.y) || !std::isfinite(b.vx) ||
            !std::isfinite(b.vy)) {
            return "shot";
        }
    }
    for (const Particle& p : game.particles) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.vx) ||
            !std::isfinite(p.vy)) {
            return "particle";
        }
    }
    for (const Turret& t : game.turrets) {
        if (!std::isfinite(t.angle) || !std::isfinite(t.aimX) || !std::isfinite(t.aimY)) {
            return "turret";
        }
    }
    for (const Player& p : game.players) {
        const Ship& s = p.ship;
        if (!std::isfinite(s.x) || !std::isfinite(s.y) || !std::isfinite(s.vx) ||
            !std::isfinite(s.vy) || !std::isfinite(s.angle)) {
            return "ship";
        }
    }
    if (!std::isfinite(game.frameFactor) || !std::isfinite(game.measuredFps)) {
        return "frame timing";
    }
    return "";
}
