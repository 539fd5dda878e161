// The steps of a frame, the step length, and the order of work inside a step.
#include "world.h"

TEST(World, StepWorld) {
    startWorld();
    // A frame runs ceil(30 / frameCap) steps (a ship firing every step counts them).
    const int caps[][2] = {{60, 1}, {30, 1}, {20, 2}, {15, 2}, {10, 3}, {7, 5}, {0, 30}};
    holdKey(SDLK_SPACE);
    for (const auto& r : caps) {
        SCOPED_TRACE(testing::Message() << "frame cap " << r[0]);
        game.players.clear();
        game.bullets.clear();
        addFlyingPlayer(800, 600).ship.fireDelayMs = -1;
        game.frameCap = r[0];
        stepWorldFrame();
        EXPECT_EQ(game.bullets.size(), size_t(r[1]));
    }
    releaseAllKeys();
    game.frameCap = 30;
    // The step length is the unsigned time since the last step over 33.33 ms.
    const std::tuple<Uint32, Uint32, double> lengths[] = {
        {100000, 17, 0.51}, {100017, 3333, 99.99}, {0xFFFFFFF0u, 26, 0.78}};
    for (const auto& [last, elapsed, factor] : lengths) {
        SCOPED_TRACE(elapsed);
        setManualClock(last + elapsed);
        game.lastFrameTicks = last;
        stepWorld();
        EXPECT_NEAR(game.frameFactor, factor, 1e-9);
        EXPECT_EQ(game.lastFrameTicks, last + elapsed);
    }
    // Collisions come first, judged where things were drawn (the asteroid flying off at
    // 100 units a frame is still hit); then motion, removal of the dead, and wrap-around
    // of everything (ships too). Later steps of a frame see almost no time.
    game.players.clear();
    game.bullets.clear();
    game.bodies.clear();
    game.particles.clear();
    build("S1615,100 A800,600 B800,600@0 A1610,900 B1,1@xd E50,50");
    game.bodies[0].vx = 100;
    game.bodies[1].vx = 10;
    game.particles[0].lifetimeMs = 10;
    game.frameCap = 20;
    advanceClock(33);
    stepWorldFrame();
    EXPECT_EQ(game.frameFactor, 0);
    EXPECT_EQ(countAsteroids(), 3);
    EXPECT_TRUE(game.bullets.empty());
    EXPECT_EQ(game.particles.size(), 81u);
    EXPECT_NEAR(game.bodies[0].x, 1610 + 9.9 - 1635, 1e-6);
    EXPECT_EQ(game.players[0].ship.x, 1615 - 1624);
}
