#include "world/particles.h"

#include <cmath>
#include <cstdlib>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/ships.h"

namespace {

// rand() % n for a range that may be empty: an empty range draws 0 without a division.
int drawBelow(int n) {
    return n > 0 ? std::rand() % n : 0;
}

double jitter() {
    return ((std::rand() % 10000) - 5000) / 1500.0;
}

SDL_Surface* shipImageOf(const Ship& s) {
    if (s.design < 0 || size_t(s.design) >= game.shipImages.size()) {
        return nullptr;
    }
    return game.shipImages[size_t(s.design)].shipImage;
}

// sign +1 puts the particle at the nose and pushes it forward, -1 at the tail and backward.
void emitExhaust(Ship& s, int sign, Uint32 now) {
    SDL_Surface* image = shipImageOf(s);
    const int w = image != nullptr ? image->w : 0;
    const int h = image != nullptr ? image->h : 0;
    const double a = s.angle;
    const double e = game.exhaustSpeed;
    Particle p;
    initParticle(p);
    p.ownerId = s.id;
    p.x = float(s.x + sign * (w / (2 * game.scaleX)) * std::cos(a));
    p.y = float(s.y + sign * (h / (2 * game.scaleY)) * std::sin(a));
    p.vx = float(s.vx + sign * e * std::cos(a) + jitter());
    p.vy = float(s.vy + sign * e * std::sin(a) + jitter());
    p.lifetimeMs = 800;
    p.frameOffset = drawBelow(game.particleFrameCount);
    game.particles.push_back(p);
    s.lastExhaustTicks = now;
}

bool ownedByShip(int ownerId) {
    for (const Player& p : game.players) {
        if (p.ship.id == ownerId) {
            return true;
        }
    }
    return false;
}

} // namespace

void makeExplosion(int count, float spread, float x, float y, float vx, float vy,
                   SDL_Surface* image) {
    Particle base;
    initParticle(base);
    base.x = x;
    base.y = y;
    base.image = image;
    const int spreadInt = truncToInt(spread);
    const int spread30 = truncToInt(spread / 30);
    for (int i = 0; i < count; ++i) {
        Particle p = base;
        const double a = (std::rand() % 36000) / 100.0;
        const double r1 = drawBelow(spreadInt) / 600.0;
        const int r2 = drawBelow(spread30);
        const float speed = float(std::pow(r2 / 100.0, 5) + r1);
        p.vx = float(std::sin(a) * speed + vx);
        p.vy = float(std::cos(a) * speed + vy);
        p.lifetimeMs = (std::rand() % 10000) / 10 + 1000;
        p.frameOffset = drawBelow(game.particleFrameCount);
        game.particles.push_back(p);
    }
}

void emitRearExhaust(Ship& s, Uint32 now) {
    emitExhaust(s, -1, now);
}

void emitFrontExhaust(Ship& s, Uint32 now) {
    emitExhaust(s, +1, now);
}

void updateParticles() {
    for (Particle& p : game.particles) {
        const Uint32 now = currentTicks();
        if ((now - p.birthTicks) * game.gameSpeed > p.lifetimeMs) {
            p.alive = 0;
            continue;
        }
        // Exhaust flickers by picking a new frame every step.
        if (ownedByShip(p.ownerId)) {
            p.frameOffset = drawBelow(game.particleFrameCount);
        }
        // The sum is taken in double precision and only then stored as a float.
        p.x = float(p.x + p.vx * game.gameSpeed * game.frameFactor);
        p.y = float(p.y + p.vy * game.gameSpeed * game.frameFactor);
    }
}

void drawParticles() {
    const int frames = game.particleFrameCount;
    if (frames <= 0) {
        return;
    }
    for (const Particle& p : game.particles) {
        if (p.image == nullptr) {
            continue;
        }
        const int frame = (game.frameCounter + p.frameOffset) % frames;
        const int W = p.image->w;
        SDL_Rect clip = {};
        clip.x = Sint16(frame * W / frames);
        clip.y = 0;
        clip.w = Uint16(W / frames);
        clip.h = Uint16(p.image->h);
        blitWorld(truncToInt(p.x), truncToInt(game.worldHeight - p.y), p.image, game.screen, &clip);
    }
}
