#include "world/world_step.h"

#include <algorithm>
#include <cmath>

#include "app/game_state.h"
#include "play/messages.h"
#include "world/bullets.h"
#include "world/collisions.h"
#include "world/objects.h"
#include "world/particles.h"
#include "world/ships.h"
#include "world/turrets.h"

namespace {
const double kFrameMs30 = 33.333333333333336;
} // namespace

void stepWorldFrame() {
    // The hotkeys keep frameCap at 1 or more; a lower value would never end the loop.
    float share = 30.0f / float(std::max(game.frameCap, 1));
    while (share > 0) {
        stepWorld();
        share -= 1;
    }
}

void stepWorld() {
    const Uint32 now = currentTicks();
    game.frameFactor = double(Uint32(now - game.lastFrameTicks)) / kFrameMs30;
    game.lastFrameTicks = currentTicks();

    // Collisions are judged on the positions drawn last frame, before anything moves.
    resolveCollisions();
    moveBodies();
    moveBullets();
    updateParticles();
    updateTurrets();
    updatePlayers();
    expireMessages();
    removeDead();
    wrapObjects(1);
    if (currentTicks() - game.fpsSampleStart > Uint32(game.fpsSampleMs)) {
        sampleFps();
    }
}

void sampleFps() {
    const double elapsed = (currentTicks() - game.fpsSampleStart) / 1000.0;
    // A sample of no time at all keeps the last figure rather than dividing by zero.
    if (elapsed > 0) {
        game.measuredFps = float(std::trunc(game.framesCounted / elapsed));
    }
    game.fpsSampleStart = currentTicks();
    game.framesCounted = 0;
}
