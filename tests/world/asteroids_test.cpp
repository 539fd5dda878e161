// Level set-up, its order of random draws, the break-up of asteroids and their drawing.
#include <cstdlib>

#include "world/turrets.h"
#include "world_fixture.h"

namespace {

// Hits the first asteroid in the field and clears the dead, as a play step would.
void hitFirstAsteroid() {
    for (size_t i = 0; i < game.bodies.size(); ++i) {
        if (game.bodies[i].kind == asteroid && game.bodies[i].alive) {
            splitAsteroid(int(i));
            break;
        }
    }
    removeDead();
}

int hitsToClear() {
    int hits = 0;
    while (countAsteroids() > 0 && hits < 1000) {
        hitFirstAsteroid();
        ++hits;
    }
    return hits;
}

} // namespace

TEST(MakeBodies, PlanetPullsButStopsNothing) {
    startWorld();
    const Body p = makePlanet(10, 20, 6.0f);
    EXPECT_EQ(p.kind, planet);
    EXPECT_EQ(p.attracts, 1);
    EXPECT_EQ(p.pulled, 0);
    EXPECT_EQ(p.hitClass, ignoresBullets);
    EXPECT_EQ(p.absorbsBullets, 1);
    EXPECT_EQ(p.deadly, 0);
    EXPECT_FLOAT_EQ(p.mass, 6.0f);
    EXPECT_EQ(p.image, game.planetImage);
}

TEST(MakeBodies, AsteroidImageFollowsSizeAndFallsBackToTheSmallest) {
    startWorld();
    const Body a = makeAsteroid(1, 2, 0.5f, -0.5f, 0, 3, 2, 1.2f);
    EXPECT_EQ(a.kind, asteroid);
    EXPECT_EQ(a.pulled, 1);
    EXPECT_EQ(a.pullEnabled, 0);
    EXPECT_EQ(a.hitClass, breaksUp);
    EXPECT_EQ(a.deadly, 1);
    EXPECT_FLOAT_EQ(a.mass, 24.0f);
    EXPECT_EQ(a.splitsLeft, 2);
    EXPECT_FLOAT_EQ(a.fragmentSpread, 1.2f);
    EXPECT_EQ(a.image, game.asteroidImages[3]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 5, 1, 1).image, game.asteroidImages[5]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 1, 1, 1).image, game.asteroidImages[1]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 9, 1, 1).image, game.asteroidImages[1]);
    EXPECT_EQ(makeAsteroid(0, 0, 0, 0, 0, 0, 1, 1).image, game.asteroidImages[1]);
}

TEST(SetupLevel, FirstLevelHasThreeStartingAsteroidsOnly) {
    startWorld();
    setLevelParameters(1, 1);
    setupLevel();
    ASSERT_EQ(game.bodies.size(), 3u);
    for (const Body& b : game.bodies) {
        EXPECT_EQ(b.kind, asteroid);
        EXPECT_EQ(b.size, 4);
        EXPECT_EQ(b.splitsLeft, 3);
    }
    EXPECT_TRUE(game.turrets.empty());
    EXPECT_EQ(countAsteroids(), 3);
}

TEST(SetupLevel, ClearsTheOldWorld) {
    startWorld();
    addAsteroid(1, 1);
    game.bullets.push_back(Bullet{});
    game.particles.push_back(Particle{});
    game.turrets.push_back(Turret{});
    setLevelParameters(1, 1);
    setupLevel();
    EXPECT_EQ(game.bodies.size(), 3u);
    EXPECT_TRUE(game.bullets.empty());
    EXPECT_TRUE(game.particles.empty());
    EXPECT_TRUE(game.turrets.empty());
}

TEST(SetupLevel, DrawsInTheFixedOrder) {
    startWorld();
    addFlyingPlayer(0, 0);
    game.difficulty = 1;
    setLevelParameters(4, 1); // one planet of mass 5..7, five asteroids, no turret
    srand(4242);
    setupLevel();

    srand(4242);
    const int shipY = rand() % 1200;
    const int shipX = rand() % 1600;
    const double heading = (rand() % 36000) / 100.0;
    const float mass = float(rand() % 3) + 5.0f;
    const int planetY = rand() % 1200;
    const int planetX = rand() % 1600;

    const Ship& s = game.players[0].ship;
    EXPECT_DOUBLE_EQ(s.x, shipX);
    EXPECT_DOUBLE_EQ(s.y, shipY);
    EXPECT_DOUBLE_EQ(s.angle, heading);
    ASSERT_EQ(game.bodies.size(), 6u);
    EXPECT_EQ(game.bodies[0].kind, planet);
    EXPECT_FLOAT_EQ(game.bodies[0].mass, mass);
    EXPECT_DOUBLE_EQ(game.bodies[0].x, planetX);
    EXPECT_DOUBLE_EQ(game.bodies[0].y, planetY);
    for (size_t i = 1; i < 6; ++i) {
        const float vy = float(((rand() % 1000) - 500) / 350.0);
        const float vx = float(((rand() % 1000) - 500) / 350.0);
        const int y = rand() % 1200;
        const int x = rand() % 1600;
        const Body& a = game.bodies[i];
        EXPECT_EQ(a.kind, asteroid);
        EXPECT_DOUBLE_EQ(a.vy, double(vy)) << i;
        EXPECT_DOUBLE_EQ(a.vx, double(vx)) << i;
        EXPECT_DOUBLE_EQ(a.y, y) << i;
        EXPECT_DOUBLE_EQ(a.x, x) << i;
        EXPECT_FLOAT_EQ(a.fragmentSpread, 1.1f);
    }
}

TEST(SetupLevel, TurretsComeLastAtRandomPlaces) {
    startWorld();
    addFlyingPlayer(0, 0);
    setLevelParameters(7, 1); // one planet, five asteroids, one turret
    srand(99);
    setupLevel();
    srand(99);
    for (int i = 0; i < 3 + 3 + 5 * 4; ++i) {
        rand();
    }
    const int y = rand() % 1200;
    const int x = rand() % 1600;
    ASSERT_EQ(game.turrets.size(), 1u);
    EXPECT_DOUBLE_EQ(game.turrets[0].x, x);
    EXPECT_DOUBLE_EQ(game.turrets[0].y, y);
}

TEST(SetupLevel, EveryShipComesBackProtectedAndReadyToFire) {
    startWorld();
    addFlyingPlayer(0, 0).ship.alive = 0;
    addFlyingPlayer(0, 0).ship.vx = 5;
    setLevelParameters(1, 1);
    setupLevel();
    for (const Player& p : game.players) {
        EXPECT_EQ(p.ship.shielded, 1);
        EXPECT_EQ(p.ship.protectionTimerOn, 1);
        EXPECT_EQ(p.ship.lastFireTicks, 425u);
        EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
        EXPECT_GE(p.ship.angle, 0.0);
        EXPECT_LT(p.ship.angle, 360.0);
    }
    EXPECT_EQ(game.players[0].ship.alive, 0); // returns through the respawn check
}

TEST(SetupLevel, PlanetMassesSpanTheWholeRange) {
    startWorld();
    setLevelParameters(30, 1); // masses 15..17
    bool seen[3] = {};
    for (int run = 0; run < 20; ++run) {
        setupLevel();
        for (const Body& b : game.bodies) {
            if (b.kind == planet) {
                ASSERT_GE(b.mass, 15.0f);
                ASSERT_LE(b.mass, 17.0f);
                seen[int(b.mass) - 15] = true;
            }
        }
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST(SetupLevel, InvertedMassRangeDrawsNoModuloByZero) {
    startWorld();
    setLevelParameters(4, 1);
    game.levelParams.planetMassMax = 2.0f;
    game.levelParams.planetMassMin = 5.0f;
    setupLevel();
    EXPECT_FLOAT_EQ(game.bodies[0].mass, 5.0f);
}

TEST(BreakUp, SevenHitsClearAStartingAsteroidAtDifficultyOne) {
    startWorld();
    setLevelParameters(1, 1);
    addAsteroid(800, 600);
    EXPECT_EQ(hitsToClear(), 7);
}

TEST(BreakUp, ThirteenHitsAtDifficultyThree) {
    startWorld();
    setLevelParameters(1, 3);
    addAsteroid(800, 600);
    EXPECT_EQ(hitsToClear(), 13);
}

TEST(BreakUp, FragmentsAreAppendedAfterTheVisitedBodies) {
    startWorld();
    setLevelParameters(1, 1);
    addAsteroid(100, 100, 0.25f, -0.5f);
    addAsteroid(900, 900);
    srand(7);
    splitAsteroid(0);
    ASSERT_EQ(game.bodies.size(), 4u);
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(game.bodies[1].alive, 1);
    EXPECT_DOUBLE_EQ(game.bodies[1].x, 900.0);

    srand(7);
    for (size_t i = 2; i < 4; ++i) {
        const float vy = float(float(rand() % 1000) * 1.1f / 250 + double(-0.5f));
        const float vx = float(float(rand() % 1000) * 1.1f / 250 + double(0.25f));
        const int dy = (rand() % 1000) / 300;
        const int dx = (rand() % 1000) / 300;
        const Body& f = game.bodies[i];
        EXPECT_EQ(f.size, 3);
        EXPECT_EQ(f.splitsLeft, 2);
        EXPECT_EQ(f.alive, 1);
        EXPECT_FLOAT_EQ(f.fragmentSpread, 1.1f);
        EXPECT_DOUBLE_EQ(f.vy, double(vy));
        EXPECT_DOUBLE_EQ(f.vx, double(vx));
        EXPECT_DOUBLE_EQ(f.y, 100.0 + dy);
        EXPECT_DOUBLE_EQ(f.x, 100.0 + dx);
    }
}

TEST(BreakUp, OffsetsAndExtraSpeedAreNeverNegative) {
    startWorld();
    setLevelParameters(1, 30); // twelve fragments per hit
    for (int run = 0; run < 20; ++run) {
        game.bodies.clear();
        addAsteroid(500, 500, 1.0f, 1.0f);
        splitAsteroid(0);
        for (size_t i = 1; i < game.bodies.size(); ++i) {
            const Body& f = game.bodies[i];
            ASSERT_GE(f.x - 500, 0.0);
            ASSERT_LE(f.x - 500, 3.0);
            ASSERT_GE(f.y - 500, 0.0);
            ASSERT_LE(f.y - 500, 3.0);
            ASSERT_GE(f.vx, 1.0);
            ASSERT_LT(f.vx, 1.0 + 3.996 * 1.1 + 1e-4);
            ASSERT_GE(f.vy, 1.0);
        }
    }
}

TEST(BreakUp, LastSplitLeavesNoFragments) {
    startWorld();
    setLevelParameters(1, 1);
    game.bodies.push_back(makeAsteroid(10, 10, 0, 0, 0, 2, 1, 1.1f));
    splitAsteroid(0);
    EXPECT_EQ(game.bodies.size(), 1u);
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(countAsteroids(), 1); // still counted until the dead are removed
    removeDead();
    EXPECT_EQ(countAsteroids(), 0);
}

TEST(BreakUp, IndexOutsideTheFieldIsIgnored) {
    startWorld();
    addAsteroid(10, 10);
    splitAsteroid(5);
    splitAsteroid(-1);
    EXPECT_EQ(game.bodies.size(), 1u);
    EXPECT_EQ(game.bodies[0].alive, 1);
}

TEST(CountAsteroids, CountsAsteroidsOnly) {
    startWorld();
    game.bodies.push_back(makePlanet(0, 0, 5));
    addAsteroid(0, 0);
    addAsteroid(0, 0).alive = 0;
    EXPECT_EQ(countAsteroids(), 2);
}

TEST(DrawBodies, CentresTheSpriteOnTheTruncatedFlippedPosition) {
    startWorld();
    fillScreen(0, 0, 0);
    Body b = makePlanet(0, 0, 1);
    b.image = makeSprite(10, 10, 0, 255, 0);
    b.x = 100.9;  // column 100 x 0.4 - 5 = 35
    b.y = 1000.5; // row trunc(1200 - 1000.5) = 199: 199 x 0.4 - 5 = 74.6 -> 74
    game.bodies.push_back(b);
    drawBodies();
    EXPECT_EQ(pixelAt(game.screen, 35, 74).g, 255);
    EXPECT_EQ(pixelAt(game.screen, 44, 83).g, 255);
    EXPECT_EQ(pixelAt(game.screen, 34, 74).g, 0);
    EXPECT_EQ(pixelAt(game.screen, 35, 73).g, 0);
    EXPECT_EQ(pixelAt(game.screen, 35, 84).g, 0);
}

TEST(DrawBodies, LaterBodiesLieOnTop) {
    startWorld();
    fillScreen(0, 0, 0);
    Body first = makePlanet(500, 700, 1);
    first.image = makeSprite(10, 10, 255, 0, 0);
    Body second = first;
    second.image = makeSprite(10, 10, 0, 0, 255);
    game.bodies = {first, second};
    drawBodies();
    const SDL_Color c = pixelAt(game.screen, 200, 200);
    EXPECT_EQ(c.b, 255);
    EXPECT_EQ(c.r, 0);
}
