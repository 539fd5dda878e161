// Shots of ships and turrets: what firing builds, how long shots live, sounds, drawing.
#include "combat_fixture.h"

TEST(Shots, ShipAtSpeedFiveFiresAtSixteenAlongItsHeading) {
    startCombat();
    const double heading = 0.7;
    Player& p = addFlyingPlayer(800, 600, heading);
    p.ship.vx = 5 * std::cos(heading);
    p.ship.vy = 5 * std::sin(heading);
    shipFire(p.ship);
    ASSERT_EQ(game.bullets.size(), 1u);
    const Bullet& b = game.bullets[0];
    EXPECT_NEAR(std::hypot(b.vx, b.vy), 16.0, 1e-4);
    EXPECT_NEAR(std::atan2(b.vy, b.vx), heading, 1e-5);
    // On the rim of the 24-pixel sprite: 30 world units out along the heading.
    EXPECT_NEAR(b.x, 800 + 30 * std::cos(heading), 1e-3);
    EXPECT_NEAR(b.y, 600 + 30 * std::sin(heading), 1e-3);
    EXPECT_EQ(b.ownerId, p.ship.id);
    EXPECT_EQ(b.lifetimeMs, 3500);
    EXPECT_EQ(b.harmsShips, 0);
    EXPECT_EQ(b.absorbedOnHit, 1);
    EXPECT_EQ(b.gravityOn, 0);
    EXPECT_EQ(b.attracts, 0);
    EXPECT_EQ(b.image, game.shipBulletImage);
    EXPECT_EQ(b.birthTicks, 100000u);
    EXPECT_EQ(b.alive, 1);
}

TEST(Shots, ShipShotsCarryTeamAttackAndHoming) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    p.ship.teamAttack = 1;
    p.ship.homingShots = 1;
    shipFire(p.ship);
    EXPECT_EQ(game.bullets[0].harmsShips, 1);
    EXPECT_EQ(game.bullets[0].homing, 1);
}

TEST(Shots, ShipShotLives3500GameSpeedMilliseconds) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    shipFire(p.ship);
    advanceClock(3500);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 1);
    advanceClock(1);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 0);
}

TEST(Shots, AtGameSpeedTwoAShipShotEnds1750RealMsAfterFiring) {
    startCombat();
    game.gameSpeed = 2.0f;
    Player& p = addFlyingPlayer(800, 600);
    shipFire(p.ship);
    advanceClock(1750);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 1);
    const float x = game.bullets[0].x;
    advanceClock(1);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 0);
    // A shot whose time ran out is not moved any more.
    EXPECT_EQ(game.bullets[0].x, x);
}

TEST(Shots, MoveByVelocityTimesGameSpeedAndStepLength) {
    startCombat();
    addShot(100, 200, 99, 0, 3.0f, -2.0f);
    game.gameSpeed = 2.0f;
    game.frameFactor = 0.5;
    advanceClock(20);
    moveBullets();
    EXPECT_FLOAT_EQ(game.bullets[0].x, 103.0f);
    EXPECT_FLOAT_EQ(game.bullets[0].y, 198.0f);
}

TEST(Shots, PlanetsDoNotBendShots) {
    startCombat();
    game.bodies.push_back(makePlanet(130, 200, 7.0f));
    addShot(100, 200, 99, 0, 1.0f, 0.0f);
    advanceClock(20);
    moveBullets();
    EXPECT_EQ(game.bullets[0].vx, 1.0f);
    EXPECT_EQ(game.bullets[0].vy, 0.0f);
}

TEST(Shots, FiringIsSilentWhileSoundsAreOff) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    setLevelParameters(10, 1);
    Turret& t = addTurret(200, 200);
    game.soundsOn = 0;
    shipFire(p.ship);
    turretFire(t);
    EXPECT_EQ(game.bullets.size(), 2u);
    EXPECT_EQ(playsOf(game.shipFireSound), 0);
    EXPECT_EQ(playsOf(game.turretFireSound), 0);
    game.soundsOn = 1;
    shipFire(p.ship);
    EXPECT_EQ(playsOf(game.shipFireSound), 1);
    EXPECT_EQ(playsOf(game.turretFireSound), 0);
    turretFire(t);
    EXPECT_EQ(playsOf(game.turretFireSound), 1);
}

TEST(Shots, TurretShotsCarryTheLevelLifeAndHarmShips) {
    startCombat();
    setLevelParameters(10, 1);
    Turret& t = addTurret(400, 300);
    t.angle = M_PI;
    turretFire(t);
    ASSERT_EQ(game.bullets.size(), 1u);
    const Bullet& b = game.bullets[0];
    EXPECT_EQ(b.lifetimeMs, 1990);
    EXPECT_EQ(b.harmsShips, 1);
    EXPECT_EQ(b.ownerId, t.id);
    EXPECT_EQ(b.image, game.turretBulletImage);
    EXPECT_EQ(b.homing, 0);
    // Speed 4.7 along the barrel; nothing of the turret's own motion (it has none).
    EXPECT_NEAR(b.vx, -4.7, 1e-5);
    EXPECT_NEAR(b.vy, 0.0, 1e-5);
    // The 28-pixel turret's rim is 35 units out.
    EXPECT_NEAR(b.x, 365.0, 1e-3);
    EXPECT_NEAR(b.y, 300.0, 1e-3);
}

TEST(Shots, TurretShotLivesItsLevelLifetime) {
    startCombat();
    setLevelParameters(10, 1);
    Turret& t = addTurret(400, 300);
    turretFire(t);
    advanceClock(1990);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 1);
    advanceClock(1);
    moveBullets();
    EXPECT_EQ(game.bullets[0].alive, 0);
}

TEST(Shots, DrawnCentredOnTheirPlaceEvenWhenDead) {
    startCombat();
    Bullet& b = addShot(500, 600, 99);
    b.alive = 0;
    fillScreen(0, 0, 0);
    drawBullets();
    // World (500, 600) is pixel (200, 240); the 4-pixel shot covers 198 to 201.
    const SDL_Color in = pixelAt(game.screen, 199, 239);
    EXPECT_EQ(in.r, 255);
    EXPECT_EQ(in.g, 255);
    EXPECT_EQ(in.b, 0);
    const SDL_Color out = pixelAt(game.screen, 202, 240);
    EXPECT_EQ(out.r, 0);
    EXPECT_EQ(out.g, 0);
}
