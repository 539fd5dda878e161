#include "world/world_step.h"

#include "app/game_state.h"
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
    // frameCap is never below 1, so the share is finite and the loop ends.
    float share = 30.0f / float(game.frameCap);
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
    if (elapsed > 0) {
        game.measuredFps = float(int(game.framesCounted / elapsed));
    }
    game.fpsSampleStart = currentTicks();
    game.framesCounted = 0;
}
