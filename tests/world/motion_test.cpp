// Level numbers, gravity, the motion step, wrap-around and the hit test.
#include "world.h"

TEST(World, LevelParameters) {
    // level, difficulty: asteroids, planets, turrets, planet mass min and max, turret fire
    // delay, turn rate, shot speed and shot life, fragments per break-up
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
        EXPECT_TRUE(
            (near({r[0], r[1], double(p.asteroidCount), double(p.planetCount),
                   double(p.turretCount), p.planetMassMin, p.planetMassMax,
                   std::round(p.turretFireDelay * 1000) / 1000, p.turretTurnRate,
                   p.turretBulletSpeed, double(p.turretBulletLife), double(p.fragmentCount)},
                  std::vector<double>(r, r + 12), 1e-3)));
    }
}

// The first object of the scene receives; each source at d from it, of mass m (times the
// receiver's 5 for a body), adds d x m / (14 d^2 + 5).
TEST(World, Gravity) {
    startWorld();
    const std::tuple<const char*, float, float> rows[] = {
        {"S100,200 P130,160", 60 / 35005.0f, -80 / 35005.0f},
        {"S100,200 P100,200", 0, 0},
        {"S100,200 G103,204", 6 / 355.0f, 8 / 355.0f},
        {"S100,200 G100,200", 0, 0},
        {"S100,200 A103,204", 0, 0},
        {"B100,200@x P110,200", 0, 0},
        {"B100,200@xg P110,200", 20 / 1405.0f, 0},
        {"B100,200@xm A100,210", 0, 5000 / 1405.0f},
        {"B100,200@xg A100,210", 0, 0},
        {"B100,200@xg G100,202", 0, 4 / 61.0f},
        {"B100,200@xg G100,200", 0, 0},
        {"A100,200r P97,200", -30 / 131.0f, 0},
        {"A100,200r G100,203", 0, 30 / 131.0f},
        {"A100,200 P97,200", 0, 0},
    };
    for (const auto& [scene, ax, ay] : rows) {
        SCOPED_TRACE(scene);
        game.players.clear();
        game.bodies.clear();
        game.bullets.clear();
        build(scene);
        float gx = 9, gy = 9;
        if (scene[0] == 'S') {
            applyGravity(game.players[0].ship, gx, gy);
        } else if (scene[0] == 'B') {
            applyGravity(game.bullets[0], gx, gy);
        } else {
            applyGravity(game.bodies[0], gx, gy);
        }
        EXPECT_NEAR(gx, ax, 1e-6);
        EXPECT_NEAR(gy, ay, 1e-6);
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
    // Bodies move in sequence order: a later one feels an earlier one where it now is.
    build("P0,0 A20,0r A20,0d");
    game.bodies[0].vx = 10;
    game.bodies[1].vx = game.bodies[1].vy = game.bodies[2].vx = 0;
    game.gameSpeed = 1;
    game.frameFactor = 1;
    moveBodies();
    EXPECT_DOUBLE_EQ(game.bodies[0].x, 10);
    EXPECT_NEAR(game.bodies[1].vx, -100 / 1405.0, 1e-7);
    EXPECT_EQ(game.bodies[2].x, 20); // the dead stay put
}

// Planet 70 x 70, asteroid 35 x 35, shot 4 x 4, exhaust 24 x 6, ship 24 x 24: past
// x > 1600 + w/2 an object moves back by 1600 + w; y alike with 1200 and h.
TEST(World, WrapAround) {
    startWorld();
    const std::tuple<const char*, int, double, double> rows[] = {
        {"P1635,1235", 0, 1635, 1235},   {"P-35,-35", 0, -35, -35},
        {"P1635.1,600", 0, -34.9, 600},  {"P-35.1,1235.1", 0, 1634.9, -34.9},
        {"P18340,-12740", 0, -30, 1230}, {"A1618,600", 0, -17, 600},
        {"B1603,600@xd", 0, -1, 600},    {"E600,-3.5", 0, 600, 1202.5},
        {"S1613,600", 0, 1613, 600},     {"S1613,600", 1, -11, 600},
    };
    for (const auto& [scene, ships, x, y] : rows) {
        SCOPED_TRACE(scene);
        game.bodies.clear();
        game.bullets.clear();
        game.particles.clear();
        game.players.clear();
        build(scene);
        wrapObjects(ships);
        std::vector<double> at;
        for (const Bullet& b : game.bullets) {
            at = {b.x, b.y};
        }
        for (const Body& b : game.bodies) {
            at = {b.x, b.y};
        }
        for (const Particle& p : game.particles) {
            at = {p.x, p.y};
        }
        for (const Player& p : game.players) {
            at = {p.ship.x, p.ship.y};
        }
        EXPECT_TRUE((near({at[0], at[1]}, {x, y})));
    }
}

// Radius (w + h) / 4 truncated, positions in screen pixels, overlap strictly nearer than
// the sum of the radii.
TEST(World, HitTest) {
    startWorld();
    const std::tuple<double, float, float, int, bool> rows[] = {
        {1, 119.9f, 100, 20, true},    {1, 120, 100, 20, false},   {1, 100, 119.9f, 20, true},
        {1, 100, 120, 20, false},      {1, 120, 100, 21, false},   {1, 120, 100, 24, true},
        {0.4, 149.75f, 100, 20, true}, {0.4, 150, 100, 20, false},
    };
    for (const auto& [scale, x, y, w, overlap] : rows) {
        SCOPED_TRACE(testing::Message() << x << ", " << y << " width " << w << " scale " << scale);
        game.scaleX = game.scaleY = scale;
        EXPECT_EQ(circlesOverlap(100, 100, x, y, w, 20, 20, 20), overlap);
    }
}
