// Making the players of a game, and what a ship's death does.
#include <cstdlib>
#include <string>

#include "world/particles.h"
#include "world_fixture.h"

TEST(CreatePlayers, MakesExactlyPlayerCountDefaultPlayers) {
    startWorld();
    addFlyingPlayer(1, 1).lives = 9;
    game.players[0].usesJoystick = 1;
    game.playerCount = 3;
    createPlayers();
    ASSERT_EQ(game.players.size(), 3u);
    for (const Player& p : game.players) {
        EXPECT_EQ(p.lives, 1);
        EXPECT_EQ(p.usesJoystick, 0);
        EXPECT_EQ(p.ship.design, 0);
    }
    EXPECT_NE(game.players[0].ship.id, game.players[1].ship.id);
}

TEST(CreatePlayers, NoneForACountOfZeroOrLess) {
    startWorld();
    addPlayer();
    game.playerCount = 0;
    createPlayers();
    EXPECT_TRUE(game.players.empty());
    game.playerCount = -2;
    createPlayers();
    EXPECT_TRUE(game.players.empty());
}

TEST(PlayerDied, ReportsTheLivesLeftDownToZero) {
    startWorld(true);
    addFlyingPlayer(800, 600);
    std::vector<std::string> expected;
    for (int left = 5; left >= 0; --left) {
        expected.push_back("Player 1 died and has " + std::to_string(left) + " lives remaining");
    }
    for (int i = 0; i < 6; ++i) {
        playerDied(0);
    }
    EXPECT_EQ(messageTexts(expected), expected);
    EXPECT_EQ(game.players[0].lives, 0);
    EXPECT_EQ(game.messages[0].durationMs, 3000u);
}

TEST(PlayerDied, NamesPlayersFromOne) {
    startWorld(true);
    addFlyingPlayer(800, 600);
    addFlyingPlayer(800, 600).lives = 2;
    playerDied(1);
    EXPECT_TRUE(messageSays(0, "Player 2 died and has 1 lives remaining"));
    EXPECT_EQ(game.players[0].lives, 6);
}

TEST(PlayerDied, StopsTheShipAndKeepsItsHeading) {
    startWorld();
    Ship& s = addFlyingPlayer(800, 600, 1.25).ship;
    s.vx = 3;
    s.vy = -2;
    advanceClock(777);
    playerDied(0);
    EXPECT_EQ(s.alive, 0);
    EXPECT_EQ(s.deathTicks, 100777u);
    EXPECT_DOUBLE_EQ(s.vx, 0.0);
    EXPECT_DOUBLE_EQ(s.vy, 0.0);
    EXPECT_DOUBLE_EQ(s.angle, 1.25);
    EXPECT_EQ(game.players[0].lives, 5);
}

TEST(PlayerDied, ExplosionSizeFollowsTheShipSprite) {
    startWorld();
    game.shipImages[1].shipImage = makeSprite(30, 20);
    addFlyingPlayer(800, 600).ship.design = 1;
    playerDied(0);
    ASSERT_EQ(game.particles.size(), 100u);
    EXPECT_EQ(game.particles[0].image, game.shipImages[1].explosionImage);
    EXPECT_FLOAT_EQ(game.particles[0].x, 800.0f);
}

TEST(PlayerDied, ReturnPlaceIsDrawnFromTheWindowWidthThenHeight) {
    startWorld();
    Ship& s = addFlyingPlayer(1500, 1100).ship;
    srand(321);
    playerDied(0);

    // Replay the same draws: the explosion's, then x from the width, y from the height.
    std::vector<Particle> keep = game.particles;
    srand(321);
    makeExplosion(24 * 24 / 6, 5000.0f, 1500, 1100, 0, 0, game.shipImages[0].explosionImage);
    game.particles = keep;
    const int x = rand() % game.screenWidth;
    const int y = rand() % game.screenHeight;
    EXPECT_DOUBLE_EQ(s.x, x);
    EXPECT_DOUBLE_EQ(s.y, y);
    EXPECT_LT(s.x, 640.0);
    EXPECT_LT(s.y, 480.0);
}

TEST(PlayerDied, DesignWithoutPicturesMakesNoExplosion) {
    startWorld();
    addFlyingPlayer(800, 600).ship.design = 40;
    playerDied(0);
    EXPECT_TRUE(game.particles.empty());
    EXPECT_EQ(game.players[0].ship.alive, 0);
}

TEST(PlayerDied, DeadShipReturnsWhereItWasPutAfterThreeSeconds) {
    startWorld();
    Ship& s = addFlyingPlayer(1500, 1100).ship;
    playerDied(0);
    const double x = s.x;
    const double y = s.y;
    advanceClock(3001);
    updatePlayers();
    EXPECT_EQ(s.alive, 1);
    EXPECT_EQ(s.shielded, 1);
    EXPECT_DOUBLE_EQ(s.x, x);
    EXPECT_DOUBLE_EQ(s.y, y);
}
