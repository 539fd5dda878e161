// Turrets: how they are made, whom they aim at, how they turn and fire, and drawing.
#include "combat_fixture.h"
#include "play/messages.h"

namespace {

// A level-10 turret at (800, 600) with its barrel east, reload long past, and one
// player whose ship stands at (x, y).
Turret& startTurretDuel(double x, double y) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(x, y);
    return addTurret(800, 600);
}

bool isColour(SDL_Color c, Uint8 r, Uint8 g, Uint8 b) {
    return c.r == r && c.g == g && c.b == b;
}

} // namespace

TEST(Turrets, LevelTenDifficultyOneValues) {
    startCombat();
    setLevelParameters(10, 1);
    for (int i = 0; i < 50; ++i) {
        const Turret t = makeTurret(300, 400);
        EXPECT_EQ(t.fireDelayMs, 2400);
        EXPECT_FLOAT_EQ(t.turnRate, 0.045f);
        EXPECT_FLOAT_EQ(t.bulletSpeed, 4.7f);
        EXPECT_EQ(t.bulletLifeMs, 1990.0f);
        EXPECT_GE(t.lastFireTicks, 2400u);
        EXPECT_LE(t.lastFireTicks, 2400u + 2401u);
        EXPECT_EQ(t.angle, 0.0);
        EXPECT_EQ(t.x, 300.0);
        EXPECT_EQ(t.y, 400.0);
        EXPECT_EQ(t.image, game.turretImage);
        EXPECT_EQ(t.bulletImage, game.turretBulletImage);
    }
}

TEST(Turrets, EmptyOrNegativeReloadRangeDrawsZero) {
    startCombat();
    game.levelParams.turretFireDelay = -2.5f; // truncates to -2: a range of 0
    EXPECT_EQ(makeTurret(0, 0).lastFireTicks, Uint32(-2));
    game.levelParams.turretFireDelay = -3.0f;
    EXPECT_EQ(makeTurret(0, 0).lastFireTicks, Uint32(-3));
    game.levelParams.turretFireDelay = -500.0f;
    EXPECT_EQ(makeTurret(0, 0).lastFireTicks, Uint32(-500));
    // Levels where the real numbers land there.
    setLevelParameters(163, 4);
    EXPECT_EQ(makeTurret(0, 0).fireDelayMs, -2);
    setLevelParameters(245, 3);
    EXPECT_EQ(makeTurret(0, 0).fireDelayMs, -2);
    setLevelParameters(505, 2);
    EXPECT_EQ(makeTurret(0, 0).fireDelayMs, -2);
}

TEST(Turrets, StraightAheadTargetIsNotTurnedAndIsShotWhenReloaded) {
    Turret& t = startTurretDuel(1000, 600);
    t.lastFireTicks = currentTicks() - 2400;
    updateTurrets();
    EXPECT_EQ(t.angle, 0.0);
    EXPECT_FLOAT_EQ(t.aimX, 200.0f);
    EXPECT_FLOAT_EQ(t.aimY, 0.0f);
    EXPECT_TRUE(game.bullets.empty()); // 2400 ms is not more than the delay
    advanceClock(1);
    updateTurrets();
    EXPECT_EQ(t.angle, 0.0);
    ASSERT_EQ(game.bullets.size(), 1u);
    EXPECT_EQ(game.bullets[0].ownerId, t.id);
    EXPECT_EQ(t.lastFireTicks, currentTicks());
    advanceClock(100);
    updateTurrets();
    EXPECT_EQ(game.bullets.size(), 1u);
}

TEST(Turrets, FarSideTargetTurnsTheDecreasingWayByTheBareRate) {
    Turret& t = startTurretDuel(600, 600);
    // The decreasing turn ignores game speed and step length.
    game.gameSpeed = 2.0f;
    game.frameFactor = 3.0;
    updateTurrets();
    EXPECT_DOUBLE_EQ(t.angle, -double(0.045f));
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Turrets, IncreasingTurnScalesWithGameSpeedAndStepLength) {
    Turret& t = startTurretDuel(800, 800);
    game.gameSpeed = 1.0f;
    game.frameFactor = 2.0;
    updateTurrets();
    EXPECT_NEAR(t.angle, 2 * 0.045, 1e-7);
    EXPECT_NEAR(t.aimX, 200 * std::cos(t.angle), 1e-3);
    EXPECT_NEAR(t.aimY, 200 * std::sin(t.angle), 1e-3);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Turrets, NearlyOnTargetTurnsOnlyTheFractionNeeded) {
    Turret& t = startTurretDuel(800 + 200 * std::cos(0.01), 600 + 200 * std::sin(0.01));
    updateTurrets();
    EXPECT_NEAR(t.angle, 0.01, 1e-4);
    EXPECT_EQ(game.bullets.size(), 1u);
}

TEST(Turrets, HoldsFireUnlessTheAimIsWithinThirtyUnits) {
    Turret& t = startTurretDuel(800, 900);
    t.angle = -0.2; // 300 units out, about 0.11 rad after the turn: over 30 off
    updateTurrets();
    EXPECT_GT(std::hypot(t.aimX - 0.0, t.aimY - 300.0), 30.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Turrets, ReloadGrowsWhenTheGameRunsBelowItsCap) {
    Turret& t = startTurretDuel(1000, 600);
    game.measuredFps = 15.0f;
    t.lastFireTicks = currentTicks() - 4800;
    updateTurrets();
    EXPECT_TRUE(game.bullets.empty());
    advanceClock(1);
    updateTurrets();
    EXPECT_EQ(game.bullets.size(), 1u);
}

TEST(Turrets, EqualDistanceAimsAtTheLaterPlayer) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(1000, 600);
    addFlyingPlayer(600, 600);
    Turret& t = addTurret(800, 600);
    pickTarget(t);
    EXPECT_EQ(t.targetPlayer, 1);
    addFlyingPlayer(1000, 600);
    pickTarget(t);
    EXPECT_EQ(t.targetPlayer, 2);
}

TEST(Turrets, NearestLivingPlayerWithLivesIsChosen) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(1500, 600);
    addFlyingPlayer(850, 600);
    addFlyingPlayer(820, 600);
    addFlyingPlayer(810, 600);
    game.players[3].lives = 0;
    game.players[2].ship.alive = 0;
    Turret& t = addTurret(800, 600);
    pickTarget(t);
    EXPECT_EQ(t.targetPlayer, 1);
}

TEST(Turrets, WhenEveryShipIsDeadTheyKeepTheirTargetAndNeitherTurnNorFire) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(600, 600);
    addFlyingPlayer(800, 900);
    Turret& t = addTurret(800, 600);
    t.targetPlayer = 1;
    t.angle = 0.3;
    t.aimX = 12;
    t.aimY = 34;
    game.players[0].ship.alive = 0;
    game.players[1].ship.alive = 0;
    for (int step = 0; step < 5; ++step) {
        advanceClock(700);
        updateTurrets();
    }
    EXPECT_EQ(t.targetPlayer, 1);
    EXPECT_EQ(t.angle, 0.3);
    EXPECT_EQ(t.aimX, 12.0f);
    EXPECT_EQ(t.aimY, 34.0f);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Turrets, OtherTargetsAreKeptForASecondPlayerZeroIsRechosenEveryStep) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(1500, 600);
    addFlyingPlayer(900, 600);
    Turret& t = addTurret(800, 600);
    updateTurrets();
    ASSERT_EQ(t.targetPlayer, 1);
    const Uint32 chosen = t.lastRetargetTicks;
    EXPECT_EQ(chosen, currentTicks());
    // Player 0 comes closer, but the choice stands for a second.
    game.players[0].ship.x = 810;
    advanceClock(1000);
    updateTurrets();
    EXPECT_EQ(t.targetPlayer, 1);
    advanceClock(1);
    updateTurrets();
    EXPECT_EQ(t.targetPlayer, 0);
    // Aiming at player 0, it looks again at once.
    game.players[1].ship.x = 805;
    advanceClock(1);
    updateTurrets();
    EXPECT_EQ(t.targetPlayer, 1);
}

TEST(Turrets, TargetKilledIsReplacedAtOnce) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(1500, 600);
    addFlyingPlayer(900, 600);
    Turret& t = addTurret(800, 600);
    updateTurrets();
    ASSERT_EQ(t.targetPlayer, 1);
    game.players[1].ship.alive = 0;
    advanceClock(10);
    updateTurrets();
    EXPECT_EQ(t.targetPlayer, 0);
}

TEST(Turrets, TargetStandingOnTheTurretSkipsTheTurnAndTheShot) {
    Turret& t = startTurretDuel(800, 600);
    t.angle = 0.5;
    for (int step = 0; step < 5; ++step) {
        advanceClock(33);
        updateTurrets();
    }
    EXPECT_EQ(t.angle, 0.5);
    EXPECT_TRUE(std::isfinite(t.aimX));
    EXPECT_TRUE(std::isfinite(t.aimY));
    EXPECT_TRUE(game.bullets.empty());
    // Once the ship moves off, aiming resumes.
    game.players[0].ship.x = 1000;
    advanceClock(33);
    updateTurrets();
    EXPECT_TRUE(std::isfinite(t.angle));
    EXPECT_NE(t.angle, 0.5);
}

TEST(Turrets, NoPlayersNoWork) {
    startCombat();
    setLevelParameters(10, 1);
    Turret& t = addTurret(800, 600);
    updateTurrets();
    EXPECT_EQ(t.angle, 0.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Turrets, DrawnWithTheBarrelMarkerOnTheRim) {
    startCombat();
    setLevelParameters(10, 1);
    addTurret(500, 600); // pixel (200, 240), 28 pixels wide: 186 to 213
    fillScreen(0, 0, 0);
    drawTurrets();
    EXPECT_TRUE(isColour(pixelAt(game.screen, 200, 240), 90, 90, 90));
    // Barrel east: the 4-pixel marker is centred on the right edge, x 212 to 215.
    EXPECT_TRUE(isColour(pixelAt(game.screen, 215, 240), 255, 80, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 200, 225), 0, 0, 0));
    game.turrets[0].angle = M_PI / 2;
    fillScreen(0, 0, 0);
    drawTurrets();
    EXPECT_TRUE(isColour(pixelAt(game.screen, 200, 225), 255, 80, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 215, 240), 0, 0, 0));
}

TEST(Turrets, CrosshairsShowTheAimOnlyWhileSwitchedOn) {
    startCombat();
    setLevelParameters(10, 1);
    addFlyingPlayer(700, 600);
    addTurret(500, 600);
    updateTurrets();
    ASSERT_FLOAT_EQ(game.turrets[0].aimX, 200.0f);
    // The aim point (700, 600) is pixel (280, 240).
    game.crosshairOn = 1;
    drawScene(0, 0, 0, 1, 0, 0, 1, 0);
    EXPECT_TRUE(isColour(pixelAt(game.screen, 280, 240), 255, 0, 0));
    game.crosshairOn = 0;
    drawScene(0, 0, 0, 1, 0, 0, 1, 0);
    EXPECT_FALSE(isColour(pixelAt(game.screen, 280, 240), 255, 0, 0));
    // Not for a turret whose target is dead.
    game.crosshairOn = 1;
    game.players[0].ship.alive = 0;
    drawScene(0, 0, 0, 1, 0, 0, 1, 0);
    EXPECT_FALSE(isColour(pixelAt(game.screen, 280, 240), 255, 0, 0));
}
