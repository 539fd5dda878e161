// Gravity, the acceleration cap, wrap-around, removal and the hit test.
#include <cmath>
#include <random>

#include "world_fixture.h"

namespace {

// One term of the law, in single precision as the game sums it.
float pull(float d, float d2, float w) {
    return d * w / (14.0f * d2 + 5.0f);
}

Bullet makeShot(float x, float y) {
    Bullet b;
    initBullet(b);
    b.x = x;
    b.y = y;
    return b;
}

Body pulledBody(double x, double y, float mass) {
    Body b = makePlanet(float(x), float(y), mass);
    b.attracts = 0;
    b.pulled = 1;
    b.pullEnabled = 1;
    return b;
}

} // namespace

TEST(Gravity, ShipFeelsAPlanetByTheLawWithoutSquareRoot) {
    startWorld();
    Ship s;
    initShip(s);
    s.x = 100;
    s.y = 200;
    game.bodies.push_back(makePlanet(130, 160, 5.0f));
    float ax = 9, ay = 9;
    applyGravity(s, ax, ay);
    const float d2 = 30.0f * 30.0f + 40.0f * 40.0f;
    EXPECT_FLOAT_EQ(ax, pull(30.0f, d2, 5.0f));
    EXPECT_FLOAT_EQ(ay, pull(-40.0f, d2, 5.0f));
}

TEST(Gravity, ZeroDistanceAddsNothing) {
    startWorld();
    Ship s;
    initShip(s);
    s.x = 300;
    s.y = 300;
    game.bodies.push_back(makePlanet(300, 300, 6.0f));
    Bullet heavy = makeShot(300, 300);
    heavy.attracts = 1;
    game.bullets.push_back(heavy);
    float ax = 1, ay = 1;
    applyGravity(s, ax, ay);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_EQ(ay, 0.0f);
}

TEST(Gravity, CoincidentAttractingShotGivesNoPull) {
    startWorld();
    Bullet a = makeShot(50, 50);
    a.gravityOn = 1;
    Bullet b = makeShot(50, 50);
    b.attracts = 1;
    game.bullets = {a, b};
    float ax = 1, ay = 1;
    applyGravity(game.bullets[0], ax, ay);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_EQ(ay, 0.0f);
}

TEST(Gravity, ShotsFeelAttractorsOnlyWhenTheyAskTo) {
    startWorld();
    game.bodies.push_back(makePlanet(110, 100, 4.0f));
    Bullet plain = makeShot(100, 100);
    float ax = 1, ay = 1;
    applyGravity(plain, ax, ay);
    EXPECT_EQ(ax, 0.0f);

    Bullet pulled = makeShot(100, 100);
    pulled.gravityOn = 1;
    applyGravity(pulled, ax, ay);
    EXPECT_FLOAT_EQ(ax, pull(10.0f, 100.0f, 4.0f));
    EXPECT_EQ(ay, 0.0f);
}

TEST(Gravity, HomingShotIsDrawnToAsteroidsWithWeight500) {
    startWorld();
    addAsteroid(100, 110); // attracts nothing, yet a homing shot seeks it
    Bullet homing = makeShot(100, 100);
    homing.homing = 1;
    float ax = 1, ay = 1;
    applyGravity(homing, ax, ay);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_FLOAT_EQ(ay, pull(10.0f, 100.0f, 500.0f));

    Bullet merelyPulled = makeShot(100, 100);
    merelyPulled.gravityOn = 1;
    applyGravity(merelyPulled, ax, ay);
    EXPECT_EQ(ay, 0.0f);
}

TEST(Gravity, ShotFeelsOtherAttractingShotsByTheirMass) {
    startWorld();
    Bullet receiver = makeShot(0, 0);
    receiver.gravityOn = 1;
    receiver.attracts = 1; // its own mass must not pull on itself
    Bullet source = makeShot(0, 2);
    source.attracts = 1;
    source.mass = 3.0f;
    game.bullets = {receiver, source};
    float ax = 1, ay = 1;
    applyGravity(game.bullets[0], ax, ay);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_FLOAT_EQ(ay, pull(2.0f, 4.0f, 3.0f));
}

TEST(Gravity, BodyFeelsOthersOnlyWhenPulledAndEnabled) {
    startWorld();
    game.bodies.push_back(makePlanet(0, 0, 2.0f));
    game.bodies.push_back(pulledBody(3, 0, 5.0f));
    addAsteroid(-3, 0); // pulled but not enabled: feels nothing
    float ax = 1, ay = 1;
    applyGravity(game.bodies[1], ax, ay);
    EXPECT_FLOAT_EQ(ax, pull(-3.0f, 9.0f, 2.0f * 5.0f));
    applyGravity(game.bodies[2], ax, ay);
    EXPECT_EQ(ax, 0.0f);
    game.bodies[1].alive = 0;
    applyGravity(game.bodies[1], ax, ay);
    EXPECT_EQ(ax, 0.0f);
}

TEST(Gravity, AttractingBodyDoesNotPullItself) {
    startWorld();
    Body self = pulledBody(0, 0, 5.0f);
    self.attracts = 1;
    game.bodies.push_back(self);
    float ax = 1, ay = 1;
    applyGravity(game.bodies[0], ax, ay);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_EQ(ay, 0.0f);
}

TEST(Gravity, LaterBodiesSeeEarlierOnesAtTheirNewPositions) {
    startWorld();
    Body mover = makePlanet(0, 0, 1.0f);
    mover.pullEnabled = 1;
    mover.vx = 10; // planets do not move in play, but the pass must honour motion
    game.bodies.push_back(mover);
    game.bodies.push_back(pulledBody(20, 0, 1.0f));
    moveBodies();
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 10.0);
    EXPECT_DOUBLE_EQ(game.bodies[1].vx, double(pull(-10.0f, 100.0f, 1.0f)));
}

TEST(Gravity, EarlierBodiesSeeLaterOnesWhereTheyStood) {
    startWorld();
    game.bodies.push_back(pulledBody(20, 0, 1.0f));
    Body mover = makePlanet(0, 0, 1.0f);
    mover.vx = 10;
    game.bodies.push_back(mover);
    moveBodies();
    EXPECT_DOUBLE_EQ(game.bodies[0].vx, double(pull(-20.0f, 400.0f, 1.0f)));
}

TEST(AccelerationCap, PullOfThreeIsCutToOne) {
    startWorld();
    double x = 0, y = 0, vx = 0, vy = 0;
    integrateMotion(3.0f, 0.0f, x, y, vx, vy);
    EXPECT_DOUBLE_EQ(vx, 1.0);
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(vy, 0.0);
}

TEST(AccelerationCap, HalfFrameCutsAPullOfPointSixToLengthOne) {
    startWorld();
    game.frameFactor = 0.5;
    double x = 0, y = 0, vx = 0, vy = 0;
    integrateMotion(0.36f, 0.48f, x, y, vx, vy); // length 0.6 > 1 x 1 x 0.5
    EXPECT_NEAR(vx, 0.6 * 0.5, 1e-6);
    EXPECT_NEAR(vy, 0.8 * 0.5, 1e-6);
    EXPECT_NEAR(x, 0.3 * 0.5, 1e-6); // the new velocity moves the point
}

TEST(AccelerationCap, PullBelowTheLimitIsKept) {
    startWorld();
    game.frameFactor = 0.5;
    float x = 10, y = 0, vx = 2, vy = 0;
    integrateMotion(0.4f, 0.0f, x, y, vx, vy);
    EXPECT_FLOAT_EQ(vx, 2.2f);
    EXPECT_FLOAT_EQ(x, 11.1f);
}

TEST(AccelerationCap, StandingStillWithoutTimeStaysFinite) {
    startWorld();
    game.frameFactor = 0.0;
    game.gameSpeed = 0.0f;
    double x = 5, y = 5, vx = 0, vy = 0;
    integrateMotion(0.0f, 0.0f, x, y, vx, vy);
    EXPECT_DOUBLE_EQ(x, 5.0);
    EXPECT_FALSE(std::isnan(vx));
}

TEST(AccelerationCap, GameSpeedScalesMotionButNotVelocityGain) {
    startWorld();
    game.gameSpeed = 2.0f;
    double x = 0, y = 0, vx = 1, vy = 0;
    integrateMotion(0.5f, 0.0f, x, y, vx, vy);
    EXPECT_DOUBLE_EQ(vx, 1.5);
    EXPECT_DOUBLE_EQ(x, 3.0);
}

TEST(MoveBodies, DeadBodiesStayPut) {
    startWorld();
    addAsteroid(100, 100, 1.0f, 2.0f);
    addAsteroid(200, 200, 1.0f, 2.0f).alive = 0;
    moveBodies();
    EXPECT_NEAR(game.bodies[0].x, 101.0, 1e-9);
    EXPECT_NEAR(game.bodies[0].y, 102.0, 1e-6);
    EXPECT_DOUBLE_EQ(game.bodies[1].x, 200.0);
}

TEST(WrapAround, ExactlyHalfAWidthPastTheEdgeIsNotMoved) {
    startWorld(); // the planet sprite is 70 x 70: half is 35 pixels, used as world units
    game.bodies.push_back(makePlanet(1635, 1235, 1));
    game.bodies.push_back(makePlanet(-35, -35, 1));
    wrapObjects(0);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 1635.0);
    EXPECT_DOUBLE_EQ(game.bodies[0].y, 1235.0);
    EXPECT_DOUBLE_EQ(game.bodies[1].x, -35.0);
    EXPECT_DOUBLE_EQ(game.bodies[1].y, -35.0);
}

TEST(WrapAround, JustPastTheEdgeReappearsOnTheOtherSide) {
    startWorld();
    Body right = makePlanet(0, 0, 1);
    right.x = 1635.1;
    right.y = 1235.1;
    game.bodies.push_back(right);
    Body left = makePlanet(0, 0, 1);
    left.x = -35.1;
    left.y = -35.1;
    game.bodies.push_back(left);
    wrapObjects(0);
    EXPECT_NEAR(game.bodies[0].x, 0.1 - 35, 1e-9);
    EXPECT_NEAR(game.bodies[0].y, 0.1 - 35, 1e-9);
    EXPECT_NEAR(game.bodies[1].x, 1635 - 0.1, 1e-9);
    EXPECT_NEAR(game.bodies[1].y, 1235 - 0.1, 1e-9);
}

TEST(WrapAround, OddWidthsUseTheTruncatedHalf) {
    startWorld(); // size-4 asteroid: 35 pixels, half 17
    addAsteroid(1618, 600);
    wrapObjects(0);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, -17.0);
    // Half a unit past the edge lands below -17 and is sent straight back: the shift of
    // 1635 is one more than the window of 1634 that the truncated halves leave.
    game.bodies[0].x = 1617.5;
    wrapObjects(0);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 1617.5);
}

TEST(WrapAround, ManyPeriodsOutComesBackWhereRepeatedWrapsWouldPutIt) {
    startWorld(); // planet 70 x 70: one period is 1670 units
    Body far = makePlanet(0, 0, 1);
    far.x = 1635 + 10 * 1670 + 5;
    far.y = -35 - 10 * 1270 - 5;
    game.bodies.push_back(far);
    Bullet shot = makeShot(0, 600); // after a long step a shot can be millions out
    shot.x = 1.0e7f;
    game.bullets.push_back(shot);
    wrapObjects(0);
    EXPECT_NEAR(game.bodies[0].x, -30.0, 1e-6);
    EXPECT_NEAR(game.bodies[0].y, 1230.0, 1e-6);
    EXPECT_GE(game.bullets[0].x, -2.0f);
    EXPECT_LE(game.bullets[0].x, 1602.0f);
}

TEST(WrapAround, ShotsParticlesAndTheDeadAreWrappedToo) {
    startWorld(); // shot sprite 4 x 4, exhaust strip 24 x 6
    Bullet b = makeShot(1603, 600);
    b.alive = 0;
    game.bullets.push_back(b);
    Particle p;
    initParticle(p);
    p.x = 600;
    p.y = -3.5f;
    game.particles.push_back(p);
    wrapObjects(0);
    EXPECT_FLOAT_EQ(game.bullets[0].x, 1603.0f - 1604.0f);
    EXPECT_FLOAT_EQ(game.particles[0].y, -3.5f + 1206.0f);
}

TEST(WrapAround, ShipsOnlyWhenAsked) {
    startWorld(); // ship sprite 24 x 24
    addFlyingPlayer(1613, 600);
    wrapObjects(0);
    EXPECT_DOUBLE_EQ(game.players[0].ship.x, 1613.0);
    wrapObjects(1);
    EXPECT_DOUBLE_EQ(game.players[0].ship.x, 1613.0 - 1624.0);
}

TEST(WrapAround, ObjectWithoutImageOrDesignIsLeftAlone) {
    startWorld();
    Body bare = makePlanet(5000, 5000, 1);
    bare.image = nullptr;
    game.bodies.push_back(bare);
    addFlyingPlayer(5000, 5000).ship.design = 99;
    wrapObjects(1);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 5000.0);
    EXPECT_DOUBLE_EQ(game.players[0].ship.x, 5000.0);
}

TEST(RemoveDead, ErasesTheDeadAndKeepsOrder) {
    startWorld();
    for (int i = 0; i < 4; ++i) {
        addAsteroid(i, 0).alive = i % 2;
        Bullet b = makeShot(float(i), 0);
        b.alive = i != 0;
        game.bullets.push_back(b);
        Particle p;
        initParticle(p);
        p.x = float(i);
        p.alive = i == 3;
        game.particles.push_back(p);
    }
    Turret t;
    initTurret(t);
    game.turrets.push_back(t);
    removeDead();
    ASSERT_EQ(game.bodies.size(), 2u);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 1.0);
    EXPECT_DOUBLE_EQ(game.bodies[1].x, 3.0);
    ASSERT_EQ(game.bullets.size(), 3u);
    EXPECT_FLOAT_EQ(game.bullets[0].x, 1.0f);
    ASSERT_EQ(game.particles.size(), 1u);
    EXPECT_FLOAT_EQ(game.particles[0].x, 3.0f);
    EXPECT_EQ(game.turrets.size(), 1u);
}

TEST(HitTest, TwentyPixelSpritesOverlapJustBelowTwentyPixels) {
    startWorld();
    game.scaleX = game.scaleY = 1.0;
    EXPECT_TRUE(circlesOverlap(0, 0, 19.9f, 0, 20, 20, 20, 20));
    EXPECT_FALSE(circlesOverlap(0, 0, 20.0f, 0, 20, 20, 20, 20));
    EXPECT_FALSE(circlesOverlap(0, 0, 0, 20.0f, 20, 20, 20, 20));
}

TEST(HitTest, RadiusIsTruncatedQuarterOfWidthPlusHeight) {
    startWorld();
    game.scaleX = game.scaleY = 1.0;
    // 21 x 20 has radius 10, not 10.25: still no overlap at 20 pixels.
    EXPECT_FALSE(circlesOverlap(0, 0, 20.0f, 0, 21, 20, 20, 20));
    EXPECT_FALSE(circlesOverlap(0, 0, 20.0f, 0, 23, 20, 20, 20));
    EXPECT_TRUE(circlesOverlap(0, 0, 20.0f, 0, 24, 20, 20, 20));
}

TEST(HitTest, PositionsAreMeasuredInScreenPixels) {
    startWorld(); // 640 x 480 window: 0.4 pixels per world unit
    EXPECT_TRUE(circlesOverlap(100, 100, 149.75f, 100, 20, 20, 20, 20));
    EXPECT_FALSE(circlesOverlap(100, 100, 150.0f, 100, 20, 20, 20, 20));
    EXPECT_FALSE(circlesOverlap(100, 100, 100, 150.0f, 20, 20, 20, 20));
}

TEST(HitTest, ShortcutAgreesWithTheDistanceAtEveryBoundary) {
    startWorld();
    game.scaleX = game.scaleY = 1.0;
    // Pairs on and around the reach along an axis and on the diagonal, where a
    // shortcut that is not exact would answer differently from the root.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> jitter(-0.001f, 0.001f);
    int overlaps = 0;
    for (int i = 0; i < 20000; ++i) {
        const int w = 1 + int(random() % 40);
        const int h = 1 + int(random() % 40);
        const float reach = float((w + h) / 4 * 2);
        const float angle = float(random() % 9) * 0.19634954f; // 0 to 90 degrees
        const float x = 300.0f + reach * std::cos(angle) + jitter(random);
        const float y = 200.0f + reach * std::sin(angle) + jitter(random);
        const float X = roundToSingle(x);
        const float Y = roundToSingle(y);
        const bool byRoot =
            reach > std::sqrt((X - 300.0f) * (X - 300.0f) + (Y - 200.0f) * (Y - 200.0f));
        ASSERT_EQ(circlesOverlap(300, 200, x, y, w, h, w, h), byRoot) << x << ", " << y;
        overlaps += byRoot ? 1 : 0;
    }
    EXPECT_GT(overlaps, 1000); // both answers were met
    EXPECT_LT(overlaps, 19000);
}

TEST(Distance, IsEuclidean) {
    EXPECT_DOUBLE_EQ(distance(1, 2, 4, 6), 5.0);
    EXPECT_DOUBLE_EQ(distance(-3, 0, 0, -4), 5.0);
}

TEST(Identifiers, EveryBodyTurretAndShipTakesTheNextId) {
    game.nextObjectId = 7;
    Body b;
    initBody(b);
    Turret t;
    initTurret(t);
    Ship s;
    initShip(s);
    EXPECT_EQ(b.id, 7);
    EXPECT_EQ(t.id, 8);
    EXPECT_EQ(s.id, 9);
    EXPECT_EQ(nextObjectId(), 10);
    EXPECT_EQ(game.nextObjectId, 11);
}

TEST(Defaults, RecordsStartAsTheGameExpects) {
    startWorld();
    Body b;
    initBody(b);
    EXPECT_EQ(b.alive, 1);
    EXPECT_EQ(b.pullEnabled, 1);
    EXPECT_EQ(b.splitsLeft, -1);
    EXPECT_FLOAT_EQ(b.fragmentSpread, 1.0f);
    EXPECT_DOUBLE_EQ(b.x, 320.0);
    EXPECT_DOUBLE_EQ(b.y, 240.0);
    Bullet s;
    initBullet(s);
    EXPECT_EQ(s.birthTicks, 100000u);
    EXPECT_EQ(s.absorbedOnHit, 1);
    EXPECT_EQ(s.image, game.shipBulletImage);
    EXPECT_FLOAT_EQ(s.mass, 0.01f);
    Particle p;
    initParticle(p);
    EXPECT_EQ(p.ownerId, -1);
    EXPECT_GE(p.frameOffset, 0);
    EXPECT_LT(p.frameOffset, game.particleFrameCount);
    Turret t;
    initTurret(t);
    EXPECT_EQ(t.lastRetargetTicks, 500u);
}

TEST(Defaults, ParticleWithoutFramesTakesPhaseZero) {
    game.particleFrameCount = 0;
    Particle p;
    initParticle(p);
    EXPECT_EQ(p.frameOffset, 0);
}
