// Level set-up and its order of draws, break-up of asteroids and their count.
#include "world.h"

// rand() from seed 1: ship y, x, heading; planet mass, y, x; per asteroid vy, vx, y, x;
// per turret y, x, then its reload draw.
TEST(World, SetupLevelDrawsInTheFixedOrder) {
    startWorld();
    build("S10,10 A1,1 B1,1@0 E1,1");
    Ship& s = game.players[0].ship;
    s.vx = 5;
    std::srand(1);
    setLevelParameters(4, 1);
    setupLevel();
    EXPECT_TRUE(s.x == 1286 && s.y == 583 && s.vx == 0);
    EXPECT_DOUBLE_EQ(s.angle, 247.77);
    EXPECT_TRUE(s.shielded == 1 && s.protectionTimerOn == 1);
    EXPECT_TRUE(game.bullets.empty() && game.particles.empty() && game.turrets.empty());
    ASSERT_EQ(game.bodies.size(), 6u);
    const Body& p = game.bodies[0];
    EXPECT_TRUE(p.kind == planet && p.mass == 6 && p.x == 1535 && p.y == 593);
    const Body& last = game.bodies[5];
    EXPECT_NEAR(last.vx, -0.2028571, 1e-6);
    EXPECT_NEAR(last.vy, 0.1914286, 1e-6);
    EXPECT_TRUE(last.x == 730 && last.y == 182 && last.size == 4 && last.splitsLeft == 3);
    EXPECT_FLOAT_EQ(last.fragmentSpread, 1.1f);

    std::srand(2);
    setLevelParameters(7, 1); // planet mass 7..9; a turret after 26 draws
    setupLevel();
    EXPECT_EQ(game.bodies[0].mass, 9.0f);
    ASSERT_EQ(game.turrets.size(), 1u);
    EXPECT_TRUE(game.turrets[0].x == 1230 && game.turrets[0].y == 410);
    EXPECT_EQ(game.turrets[0].lastFireTicks, 3428u + 486u); // 3428 + r % 3430
}

TEST(World, BreakUp) {
    startWorld();
    setLevelParameters(1, 1);
    addAsteroid(100, 100, 0.25f, -0.5f);
    addAsteroid(900, 900);
    std::srand(1);
    splitAsteroid(0);
    splitAsteroid(9);
    splitAsteroid(-1);
    // Per fragment vy, vx (r % 1000 x 1.1 / 250 on top), then y, x (r % 1000 / 300 on top).
    ASSERT_EQ(game.bodies.size(), 4u);
    EXPECT_TRUE(game.bodies[0].alive == 0 && game.bodies[1].alive == 1);
    const double frags[2][4] = {{4.1484003, 1.1852001, 103, 102}, {1.724, 2.9892001, 101, 101}};
    for (int i = 0; i < 2; ++i) {
        const Body& f = game.bodies[size_t(2 + i)];
        EXPECT_NEAR(f.vx, frags[i][0], 1e-5);
        EXPECT_NEAR(f.vy, frags[i][1], 1e-5);
        EXPECT_TRUE(f.x == frags[i][2] && f.y == frags[i][3]) << i;
        EXPECT_TRUE(f.size == 3 && f.splitsLeft == 2 && f.image == game.asteroidImages[3]) << i;
    }
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 5, 1, 1).image, game.asteroidImages[5]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 9, 1, 1).image, game.asteroidImages[1]);

    // 1 + 2 + 4 hits clear a starting asteroid at difficulty 1, 1 + 3 + 9 at 3; the last
    // of a line leaves no fragment; the dead are counted until removed, planets never.
    const int hits[][2] = {{1, 7}, {3, 13}};
    for (const auto& r : hits) {
        SCOPED_TRACE(testing::Message() << "difficulty " << r[0]);
        setLevelParameters(1, r[0]);
        game.bodies.clear();
        build("P0,0 A800,600");
        int n = 0;
        for (; countAsteroids() > 0 && n < 100; ++n) {
            splitAsteroid(1);
            EXPECT_EQ(countAsteroids(), int(game.bodies.size()) - 1);
            removeDead();
        }
        EXPECT_EQ(n, r[1]);
    }
}
