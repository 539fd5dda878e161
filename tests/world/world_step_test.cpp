// The steps of one frame, the order inside a step, frame timing and the FPS sample.
#include "world/world_step.h"
#include "world_fixture.h"

namespace {

// Steps one frame at `cap` with a ship that fires in every step: one shot per step.
size_t stepsPerFrame(int cap) {
    Player& p = addFlyingPlayer(800, 600);
    p.ship.fireDelayMs = -1;
    holdKey(SDLK_SPACE);
    game.frameCap = cap;
    stepWorldFrame();
    return game.bullets.size();
}

} // namespace

TEST(StepWorldFrame, RunsCeilingOfThirtyOverTheCapSteps) {
    const int caps[] = {60, 30, 20, 15, 10, 7};
    const size_t steps[] = {1, 1, 2, 2, 3, 5};
    startWorld();
    for (int i = 0; i < 6; ++i) {
        game.players.clear();
        game.bullets.clear();
        EXPECT_EQ(stepsPerFrame(caps[i]), steps[i]) << "cap " << caps[i];
    }
}

TEST(StepWorldFrame, CapBelowOneStepsAsAtOneInsteadOfHanging) {
    startWorld();
    EXPECT_EQ(stepsPerFrame(0), 30u);
}

TEST(StepWorldFrame, LaterStepsOfAFrameSeeAlmostNoTime) {
    startWorld();
    addAsteroid(100, 100, 1.0f, 0.0f);
    game.frameCap = 20;
    advanceClock(50);
    stepWorldFrame();
    EXPECT_NEAR(game.bodies[0].x, 101.5, 1e-9);
    EXPECT_DOUBLE_EQ(game.frameFactor, 0.0);
    EXPECT_EQ(game.lastFrameTicks, 100050u);
}

TEST(StepWorld, FrameFactorIsHalfAtSixtyFramesPerSecond) {
    startWorld();
    advanceClock(17);
    stepWorld();
    EXPECT_NEAR(game.frameFactor, 0.51, 1e-9);
}

TEST(StepWorld, FirstStepAfterAPauseMeasuresThePause) {
    startWorld();
    addAsteroid(100, 600, 1.0f, 0.0f);
    advanceClock(3333);
    stepWorld();
    EXPECT_NEAR(game.bodies[0].x - 100, 100.0, 0.02);
}

TEST(StepWorld, ClockDifferenceIsUnsigned) {
    startWorld();
    setManualClock(10);
    game.lastFrameTicks = 0xFFFFFFF0u; // the clock wrapped since the last step
    game.fpsSampleStart = 0;
    stepWorld();
    EXPECT_NEAR(game.frameFactor, 26 / 33.333333333333336, 1e-12);
}

TEST(StepWorld, ObjectsKilledInTheStepAreGoneBeforeThePicture) {
    startWorld();
    Bullet old;
    initBullet(old);
    old.x = old.y = 50;
    old.lifetimeMs = 100;
    old.birthTicks = 100000 - 500;
    game.bullets.push_back(old);
    addAsteroid(900, 900).alive = 0;
    advanceClock(33);
    stepWorld();
    EXPECT_TRUE(game.bullets.empty());
    EXPECT_TRUE(game.bodies.empty());
}

TEST(StepWorld, WrapsAfterMoving) {
    startWorld();
    addAsteroid(1610, 600, 10.0f, 0.0f); // ends at 1620, past 1600 + 17
    advanceClock(33);                    // 0.99 of a frame: 9.9 units
    stepWorld();
    EXPECT_NEAR(game.bodies[0].x, 1610 + 9.9 - 1635, 1e-6);
}

TEST(StepWorld, SamplesTheFrameRateOnlyAfterTheFullSample) {
    startWorld();
    game.framesCounted = 40;
    game.fpsSampleStart = 100000 - 1000;
    stepWorld();
    EXPECT_FLOAT_EQ(game.measuredFps, 30.0f); // exactly 1000 ms: not yet
    EXPECT_EQ(game.framesCounted, 40);
    game.fpsSampleStart = 100000 - 1001;
    stepWorld();
    EXPECT_FLOAT_EQ(game.measuredFps, 39.0f); // 40 / 1.001, truncated
    EXPECT_EQ(game.framesCounted, 0);
    EXPECT_EQ(game.fpsSampleStart, 100000u);
}

TEST(SampleFps, TruncatesFramesOverSeconds) {
    startWorld();
    game.framesCounted = 50;
    game.fpsSampleStart = 100000 - 1500;
    sampleFps();
    EXPECT_FLOAT_EQ(game.measuredFps, 33.0f);
}

TEST(SampleFps, NoElapsedTimeKeepsTheLastFigure) {
    startWorld();
    game.measuredFps = 25;
    game.framesCounted = 50;
    game.fpsSampleStart = 100000;
    sampleFps();
    EXPECT_FLOAT_EQ(game.measuredFps, 25.0f);
    EXPECT_EQ(game.framesCounted, 0);
}

TEST(WorldDrive, FieldDriftsWrapsAndClearsUnderTheStep) {
    startWorld();
    setLevelParameters(1, 1);
    Player& p = addFlyingPlayer(0, 0);
    p.lives = 0; // out of play: nothing can hit it
    setupLevel();
    const double startX = game.bodies[0].x;
    for (int frame = 0; frame < 600; ++frame) {
        advanceClock(33);
        stepWorld();
        for (const Body& b : game.bodies) {
            ASSERT_GE(b.x, -37.0);
            ASSERT_LE(b.x, 1637.0);
            ASSERT_GE(b.y, -37.0);
            ASSERT_LE(b.y, 1237.0);
        }
    }
    EXPECT_NE(game.bodies[0].x, startX);

    // Shoot every asteroid with a ship's shot until the field is empty.
    int frames = 0;
    while (countAsteroids() > 0 && frames < 200) {
        for (const Body& b : game.bodies) {
            Bullet s;
            initBullet(s);
            s.x = float(b.x);
            s.y = float(b.y);
            s.lifetimeMs = 3500;
            s.ownerId = p.ship.id;
            game.bullets.push_back(s);
        }
        advanceClock(33);
        stepWorld();
        ++frames;
    }
    EXPECT_EQ(countAsteroids(), 0);
    EXPECT_LE(frames, 3 * 3); // three generations, at most once per step each
}
