// Level numbers, gravity, motion, wrap-around, hit test, level set-up, break-up, step.
#include "world.h"

TEST(World, LevelParameters) {
    // level, difficulty: asteroids, planets, turrets, masses, delay, turn, shot, life, fragments
    const double rows[][12] = {
        {1, 1, 3, 0, 0, 2, 4, 24000, 0.0045f, 4.52f, 1090, 2},
        {3, 1, 4, 0, 0, 4, 6, 8000, 0.0135f, 4.56f, 1290, 2},
        {4, 1, 5, 1, 0, 5, 7, 6000, 0.018f, 4.58f, 1390, 2}, // the first planet
        {6, 1, 5, 1, 0, 6, 8, 4000, 0.027f, 4.62f, 1590, 2},
        {7, 1, 5, 1, 1, 7, 9, 3428.571f, 0.0315f, 4.64f, 1690, 2}, // the first turret
        {10, 1, 6, 2, 1, 8, 10, 2400, 0.045f, 4.7f, 1990, 2},
        {19, 1, 8, 3, 1, 12, 14, 1263.158f, 0.0855f, 4.88f, 2890, 2},
        {20, 1, 8, 3, 2, 12, 14, 1200, 0.09f, 4.9f, 2990, 2},
        {30, 1, 10, 5, 2, 15, 17, 800, 0.135f, 5.1f, 3990, 2},
        {1, 4, 6, 0, 0, 2, 4, 23850, 0.018f, 6.02f, 1510, 3},
        {0, 1, 3, 0, 0, 2, 4, 24000, 0.0045f, 4.52f, 1090, 2}, // no division by zero
    };
    for (const auto& r : rows) {
        setLevelParameters(int(r[0]), int(r[1]));
        const LevelParameters& p = game.levelParams;
        EXPECT_TRUE((
            near({r[0], r[1], double(p.asteroidCount), double(p.planetCount), double(p.turretCount),
                  p.planetMassMin, p.planetMassMax, p.turretFireDelay, p.turretTurnRate,
                  p.turretBulletSpeed, double(p.turretBulletLife), double(p.fragmentCount)},
                 std::vector<double>(r, r + 12), 1e-3)));
    }
}

// The first object receives d x m / (14 d^2 + 5) from a source at d of mass m (x 5 for a body).
TEST(World, Gravity) {
    startWorld();
    const std::tuple<const char*, float, float> rows[] = {
        {"S100,200 P130,160", 60 / 35005.0f, -80 / 35005.0f},
        {"S100,200 G103,204", 6 / 355.0f, 8 / 355.0f},
        {"B100,200@x P110,200", 0, 0},
        {"B100,200@xg P110,200", 20 / 1405.0f, 0},
        {"B100,200@xm A100,210", 0, 5000 / 1405.0f},
        {"B100,200@xg A100,210", 0, 0},
        {"B100,200@xg G100,202", 0, 4 / 61.0f},
        {"A100,200r P97,200", -30 / 131.0f, 0},
        {"A100,200r G100,203", 0, 30 / 131.0f},
        {"A100,200 P97,200", 0, 0},
    };
    for (const auto& [scene, ax, ay] : rows) {
        clearWorld();
        build(scene);
        float gx = 9, gy = 9;
        if (scene[0] == 'S') {
            applyGravity(game.players[0].ship, gx, gy);
        } else if (scene[0] == 'B') {
            applyGravity(game.bullets[0], gx, gy);
        } else {
            applyGravity(game.bodies[0], gx, gy);
        }
        EXPECT_TRUE((near({gx, gy}, {ax, ay}, 1e-6))) << scene;
    }
}

// The cap test uses maxAcceleration (1) x gameSpeed x frameFactor, the replacement
// length maxAcceleration alone; the new velocity moves the point.
TEST(World, MotionStep) {
    startWorld();
    // gameSpeed, frameFactor, ax, ay, x before, vx before: x, vx, vy after
    const double rows[][9] = {{1, 1, 3, 0, 0, 0, 1, 1, 0},
                              {1, 0.5, 0.36, 0.48, 0, 0, 0.15, 0.3, 0.4},
                              {1, 0.5, 0.4, 0, 10, 2, 11.1, 2.2, 0},
                              {2, 1, 0.5, 0, 0, 1, 3, 1.5, 0},
                              {0, 0, 0, 0, 5, 0, 5, 0, 0}};
    for (const auto& r : rows) {
        game.gameSpeed = float(r[0]);
        game.frameFactor = r[1];
        double x = r[4], y = 0, vx = r[5], vy = 0;
        integrateMotion(float(r[2]), float(r[3]), x, y, vx, vy);
        EXPECT_TRUE((near({x, vx, vy}, {r[6], r[7], r[8]})));
    }
}

// Planet 70 x 70, asteroid 35 x 35, shot 4 x 4, exhaust 24 x 6, ship 24 x 24: past
// x > 1600 + w/2 an object moves back by 1600 + w, past x < -w/2 forward (y alike, 1200).
TEST(World, WrapAround) {
    startWorld();
    build("P1635,1235 P-35,-35 P1635.1,600 P-35.1,1235.1 P18340,-12740 A1618,600 B1603,600@xd "
          "E600,-3.5 S1613,600");
    wrapObjects(0); // ships stay
    std::vector<double> at = {game.players[0].ship.x};
    wrapObjects(1);
    for (const Bullet& b : game.bullets) {
        at.insert(at.end(), {b.x, b.y});
    }
    for (const Body& b : game.bodies) {
        at.insert(at.end(), {b.x, b.y});
    }
    at.insert(at.end(), {game.particles[0].x, game.particles[0].y, game.players[0].ship.x});
    EXPECT_TRUE((near(at, {1613, -1, 600, 1635, 1235, -35, -35, -34.9, 600, 1634.9, -34.9, -30,
                           1230, -17, 600, 600, 1202.5, -11})));
}

// Radius (w + h) / 4 truncated; screen pixels; strictly nearer than the sum of the radii.
TEST(World, HitTest) {
    startWorld();
    const std::tuple<double, float, float, int, bool> rows[] = {
        {1, 119.9f, 100, 20, true},    {1, 120, 100, 20, false},   {1, 100, 119.9f, 20, true},
        {1, 100, 120, 20, false},      {1, 120, 100, 21, false},   {1, 120, 100, 24, true},
        {0.4, 149.75f, 100, 20, true}, {0.4, 150, 100, 20, false}, {1, 112, 116, 20, false},
    };
    for (const auto& [scale, x, y, w, overlap] : rows) {
        game.scaleX = game.scaleY = scale;
        EXPECT_EQ(circlesOverlap(100, 100, x, y, w, 20, 20, 20), overlap) << x << ", " << y;
    }
}

// rand() from seed 1: ship y, x, heading; planet mass, y, x; per asteroid vy, vx, y, x;
// per turret y, x, then its reload draw. A break-up draws per fragment vy, vx (r % 1000 x
// 1.1 / 250 on top), then y, x (r % 1000 / 300 on top).
TEST(World, LevelSetupAndBreakUp) {
    startWorld();
    build("S10,10 A1,1 B1,1@0 E1,1");
    Ship& s = game.players[0].ship;
    s.vx = 5;
    std::srand(1);
    setLevelParameters(4, 1);
    setupLevel();
    EXPECT_TRUE((near({s.x, s.y, s.vx, s.angle, double(s.shielded), double(s.protectionTimerOn)},
                      {1286, 583, 0, 247.77, 1, 1})));
    EXPECT_TRUE(game.bullets.empty() && game.particles.empty() && game.turrets.empty());
    ASSERT_EQ(game.bodies.size(), 6u);
    const Body& p = game.bodies[0];
    const Body& a = game.bodies[5];
    EXPECT_TRUE((near({double(p.kind), p.mass, p.x, p.y, a.vx, a.vy, a.x, a.y, double(a.size),
                       double(a.splitsLeft), a.fragmentSpread},
                      {planet, 6, 1535, 593, -0.2028571, 0.1914286, 730, 182, 4, 3, 1.1}, 1e-6)));
    std::srand(2);
    setLevelParameters(7, 1); // planet mass 7..9; a turret after 26 draws
    setupLevel();
    ASSERT_EQ(game.turrets.size(), 1u);
    const Turret& t = game.turrets[0]; // reload 3428 + r % 3430
    EXPECT_TRUE(
        (near({game.bodies[0].mass, t.x, t.y, double(t.lastFireTicks)}, {9, 1230, 410, 3914})));

    clearWorld();
    setLevelParameters(1, 1);
    addAsteroid(100, 100, 0.25f, -0.5f);
    addAsteroid(900, 900);
    std::srand(1);
    splitAsteroid(0);
    ASSERT_EQ(game.bodies.size(), 4u);
    EXPECT_TRUE(game.bodies[0].alive == 0 && game.bodies[1].alive == 1);
    const std::vector<double> frags[] = {{4.1484003, 1.1852001, 103, 102, 3, 2},
                                         {1.724, 2.9892001, 101, 101, 3, 2}};
    for (size_t i = 0; i < 2; ++i) {
        const Body& f = game.bodies[2 + i];
        EXPECT_TRUE((near({f.vx, f.vy, f.x, f.y, double(f.size), double(f.splitsLeft)}, frags[i])));
        EXPECT_EQ(f.image, game.asteroidImages[3]);
    }
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 5, 1, 1).image, game.asteroidImages[5]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 9, 1, 1).image, game.asteroidImages[1]);

    // 1 + 2 + 4 hits clear an asteroid at difficulty 1, 1 + 3 + 9 at 3; the dead count too.
    const int hits[][2] = {{1, 7}, {3, 13}};
    for (const auto& r : hits) {
        setLevelParameters(1, r[0]);
        game.bodies.clear();
        build("P0,0 A800,600");
        int n = 0;
        for (; countAsteroids() > 0 && n < 100; ++n) {
            splitAsteroid(1);
            EXPECT_EQ(countAsteroids(), int(game.bodies.size()) - 1);
            removeDead();
        }
        EXPECT_EQ(n, r[1]) << "difficulty " << r[0];
    }
}

TEST(World, StepWorld) {
    startWorld();
    // A frame runs ceil(30 / frameCap) steps (a ship firing every step counts them).
    const int caps[][2] = {{60, 1}, {30, 1}, {20, 2}, {15, 2}, {10, 3}, {7, 5}, {0, 30}};
    for (const auto& r : caps) {
        clearWorld();
        holdKey(SDLK_SPACE);
        addFlyingPlayer(800, 600).ship.fireDelayMs = -1;
        game.frameCap = r[0];
        stepWorldFrame();
        EXPECT_EQ(game.bullets.size(), size_t(r[1])) << "frame cap " << r[0];
    }
    clearWorld();
    // The step length is the unsigned time since the last step over 33.33 ms.
    const std::tuple<Uint32, Uint32, double> lengths[] = {
        {100000, 17, 0.51}, {100017, 3333, 99.99}, {0xFFFFFFF0u, 26, 0.78}};
    for (const auto& [last, elapsed, factor] : lengths) {
        setManualClock(last + elapsed);
        game.lastFrameTicks = last;
        stepWorld();
        EXPECT_TRUE((near({game.frameFactor, double(game.lastFrameTicks - elapsed)},
                          {factor, double(last)}, 1e-9)));
    }
    // Collisions first, where things were drawn (the asteroid at 100 a frame is hit), then
    // motion, removal of the dead, wrap-around of all; later steps of a frame see no time.
    build("S1615,100 A800,600 B800,600@0 A1610,900 B1,1@xd E50,50");
    game.bodies[0].vx = 100;
    game.bodies[1].vx = 10;
    game.particles[0].lifetimeMs = 10;
    game.frameCap = 20;
    advanceClock(33);
    stepWorldFrame();
    EXPECT_TRUE((near({game.frameFactor, double(countAsteroids()), double(game.bullets.size()),
                       double(game.particles.size()), game.bodies[0].x, game.players[0].ship.x},
                      {0, 3, 0, 81, 1610 + 9.9 - 1635, 1615 - 1624})));
}
