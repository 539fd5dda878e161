// The per-level numbers at the levels where the field changes character.
#include <cmath>

#include "world_fixture.h"

namespace {

const LevelParameters& paramsFor(int level, int difficulty) {
    setLevelParameters(level, difficulty);
    return game.levelParams;
}

} // namespace

TEST(LevelParameters, FirstLevelHasThreeAsteroidsAndNothingElse) {
    const LevelParameters& p = paramsFor(1, 1);
    EXPECT_EQ(p.asteroidCount, 3);
    EXPECT_EQ(p.planetCount, 0);
    EXPECT_EQ(p.turretCount, 0);
    EXPECT_FLOAT_EQ(p.turretFireDelay, 24000.0f);
    EXPECT_FLOAT_EQ(p.turretTurnRate, 0.0045f);
    EXPECT_FLOAT_EQ(p.turretBulletSpeed, 4.52f);
    EXPECT_EQ(p.turretBulletLife, 1090);
    EXPECT_EQ(p.fragmentCount, 2);
}

TEST(LevelParameters, LevelFourBringsTheFirstPlanet) {
    EXPECT_EQ(paramsFor(3, 1).planetCount, 0);
    const LevelParameters& p = paramsFor(4, 1);
    EXPECT_EQ(p.planetCount, 1);
    EXPECT_EQ(p.asteroidCount, 5);
    EXPECT_EQ(p.turretCount, 0);
    EXPECT_EQ(p.planetMassMin, 5.0f);
    EXPECT_EQ(p.planetMassMax, 7.0f);
}

TEST(LevelParameters, LevelSevenBringsTheFirstTurret) {
    EXPECT_EQ(paramsFor(6, 1).turretCount, 0);
    const LevelParameters& p = paramsFor(7, 1);
    EXPECT_EQ(p.turretCount, 1);
    EXPECT_EQ(p.planetCount, 1);
    EXPECT_EQ(p.asteroidCount, 5);
    EXPECT_NEAR(p.turretFireDelay, 3428.571f, 0.001f);
    EXPECT_FLOAT_EQ(p.turretTurnRate, 0.0315f);
}

TEST(LevelParameters, LevelTen) {
    const LevelParameters& p = paramsFor(10, 1);
    EXPECT_EQ(p.turretCount, 1);
    EXPECT_EQ(p.planetCount, 2);
    EXPECT_EQ(p.asteroidCount, 6);
    EXPECT_FLOAT_EQ(p.turretFireDelay, 2400.0f);
    EXPECT_FLOAT_EQ(p.turretTurnRate, 0.045f);
    EXPECT_FLOAT_EQ(p.turretBulletSpeed, 4.7f);
    EXPECT_EQ(p.turretBulletLife, 1990);
}

TEST(LevelParameters, LevelTwentyBringsTheSecondTurret) {
    EXPECT_EQ(paramsFor(19, 1).turretCount, 1);
    EXPECT_EQ(paramsFor(20, 1).turretCount, 2);
}

TEST(LevelParameters, LevelThirty) {
    const LevelParameters& p = paramsFor(30, 1);
    EXPECT_EQ(p.asteroidCount, 10);
    EXPECT_EQ(p.planetCount, 5);
    EXPECT_EQ(p.turretCount, 2);
}

TEST(LevelParameters, DifficultyFourAtLevelOne) {
    const LevelParameters& p = paramsFor(1, 4);
    EXPECT_EQ(p.asteroidCount, 6); // 1 + 2 + 3.75, truncated
    EXPECT_EQ(p.fragmentCount, 3);
    EXPECT_FLOAT_EQ(p.turretBulletSpeed, 6.02f);
    EXPECT_EQ(p.turretBulletLife, 1510);
    EXPECT_FLOAT_EQ(p.turretFireDelay, 24000.0f - 150.0f);
}

TEST(LevelParameters, LevelBelowOneKeepsTheFireDelayFinite) {
    const LevelParameters& p = paramsFor(0, 1);
    EXPECT_TRUE(std::isfinite(p.turretFireDelay));
    EXPECT_FLOAT_EQ(p.turretFireDelay, 24000.0f);
    EXPECT_EQ(paramsFor(-5, 1).asteroidCount, 3);
}
