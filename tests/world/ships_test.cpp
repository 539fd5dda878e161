// Keyboard control, the fire gate, respawn and protection, and drawing of ships.
#include <SDL_mixer.h>

#include <vector>

#include "world/turrets.h"
#include "world_fixture.h"

namespace {

// A long silent sound, so that every play stays on its channel during the test.
Mix_Chunk* silentChunk() {
    static std::vector<Uint8> samples(44100 * 4 * 5, 0);
    return Mix_QuickLoad_RAW(samples.data(), Uint32(samples.size()));
}

const SDL_Color kShipGreen = {0, 200, 0, 0};

bool shipDrawnAt(int x, int y) {
    const SDL_Color c = pixelAt(game.screen, x, y);
    return c.r == kShipGreen.r && c.g == kShipGreen.g && c.b == kShipGreen.b;
}

} // namespace

TEST(ShipDefaults, NewPlayerUsesTheArrowKeysAndOneLife) {
    startWorld();
    addPlayer();
    const Player& p = game.players[0];
    EXPECT_EQ(p.lives, 1);
    EXPECT_EQ(p.usesJoystick, 0);
    EXPECT_EQ(p.joystick, nullptr);
    EXPECT_EQ(p.axisDeadZone, 8000);
    EXPECT_EQ(p.keys.left, SDLK_LEFT);
    EXPECT_EQ(p.keys.right, SDLK_RIGHT);
    EXPECT_EQ(p.keys.thrust, SDLK_UP);
    EXPECT_EQ(p.keys.reverse, SDLK_DOWN);
    EXPECT_EQ(p.keys.fire, SDLK_SPACE);
    EXPECT_EQ(p.ship.alive, 1);
    EXPECT_DOUBLE_EQ(p.ship.angle, 90.0);
    EXPECT_EQ(p.ship.lastExhaustTicks, 100000u - 34);
    EXPECT_EQ(p.ship.exhaustIntervalMs, 34u);
    EXPECT_EQ(p.ship.markerImage, game.shipBulletImage);
}

TEST(ShipDefaults, ResetGivesFreshMotionAndKeepsIdentity) {
    startWorld();
    addPlayer();
    Ship& s = game.players[0].ship;
    const int id = s.id;
    s.teamAttack = 1;
    s.vx = 4;
    s.design = 2;
    srand(11);
    resetShip(0, 12.5f, 34.0f);
    srand(11);
    EXPECT_DOUBLE_EQ(s.angle, (rand() % 36000) / 100.0); // degrees-sized, used as radians
    EXPECT_DOUBLE_EQ(s.x, 12.5);
    EXPECT_DOUBLE_EQ(s.y, 34.0);
    EXPECT_DOUBLE_EQ(s.vx, 0.0);
    EXPECT_EQ(s.id, id);
    EXPECT_EQ(s.teamAttack, 1);
    EXPECT_EQ(s.design, 2);
    EXPECT_EQ(s.fireDelayMs, 425);
    EXPECT_FLOAT_EQ(s.thrust, 0.13f);
    EXPECT_FLOAT_EQ(s.turnRate, 0.115f);
    EXPECT_FLOAT_EQ(s.bulletSpeed, 11.0f);
    EXPECT_EQ(s.respawnDelaySec, 3);
    EXPECT_EQ(s.protectionMs, 3000);
    EXPECT_EQ(s.protectionStartTicks, 100000u);
}

TEST(ShipDefaults, RespawnAllDrawsHeightThenWidth) {
    startWorld();
    addPlayer();
    addPlayer();
    srand(5);
    respawnAllShips();
    srand(5);
    for (const Player& p : game.players) {
        const int y = rand() % 1200;
        const int x = rand() % 1600;
        rand(); // the heading
        EXPECT_DOUBLE_EQ(p.ship.x, x);
        EXPECT_DOUBLE_EQ(p.ship.y, y);
        EXPECT_EQ(p.ship.shielded, 1);
    }
}

TEST(KeyboardControl, ThrustUsesTheHeadingBeforeTheTurn) {
    startWorld();
    Ship& s = addFlyingPlayer(800, 600, 0.0).ship;
    holdKey(SDLK_UP);
    holdKey(SDLK_LEFT);
    updatePlayers();
    EXPECT_DOUBLE_EQ(s.vx, double(0.13f));
    EXPECT_DOUBLE_EQ(s.vy, 0.0);
    EXPECT_DOUBLE_EQ(s.angle, double(0.115f));
    EXPECT_DOUBLE_EQ(s.x, 800 + double(0.13f));
}

TEST(KeyboardControl, RightTurnsClockwiseScaledBySpeedAndFrame) {
    startWorld();
    game.gameSpeed = 2.0f;
    game.frameFactor = 0.5;
    Ship& s = addFlyingPlayer(800, 600, 1.0).ship;
    holdKey(SDLK_RIGHT);
    updatePlayers();
    EXPECT_DOUBLE_EQ(s.angle, 1.0 - double(0.115f));
}

TEST(KeyboardControl, ThrustAndReverseCancelAndStartTheEngineTwice) {
    startWorld();
    ASSERT_EQ(Mix_AllocateChannels(8), 8);
    game.soundsOn = 1;
    game.engineSound = silentChunk();
    Ship& s = addFlyingPlayer(800, 600, 0.7).ship;
    s.lastExhaustTicks = 100000 - 100;
    holdKey(SDLK_UP);
    holdKey(SDLK_DOWN);
    updatePlayers();
    EXPECT_DOUBLE_EQ(s.vx, 0.0);
    EXPECT_DOUBLE_EQ(s.vy, 0.0);
    EXPECT_EQ(Mix_Playing(-1), 2);
    // Only the rear exhaust appears: the front emitter sees the timer just reset.
    ASSERT_EQ(game.particles.size(), 1u);
    EXPECT_LT(game.particles[0].x, 800.0f);
}

TEST(KeyboardControl, EngineStaysSilentWithSoundsOff) {
    startWorld();
    game.engineSound = silentChunk();
    addFlyingPlayer(800, 600);
    holdKey(SDLK_UP);
    updatePlayers();
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST(KeyboardControl, ExhaustWaitsForItsInterval) {
    startWorld();
    Ship& s = addFlyingPlayer(800, 600).ship;
    s.lastExhaustTicks = 100000 - 34;
    holdKey(SDLK_UP);
    updatePlayers();
    EXPECT_EQ(game.particles.size(), 0u); // 34 is not more than 34
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(game.particles.size(), 1u);
}

TEST(KeyboardControl, RebindingOutsideTheKeyArrayReadsAsReleased) {
    startWorld();
    Player& p = addFlyingPlayer(800, 600);
    int count = 0;
    SDL_GetKeyState(&count);
    ASSERT_LT(count, 511);
    p.keys.thrust = SDLKey(count); // one past the last key SDL tracks
    p.keys.fire = SDLKey(510);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(FireGate, ShipCanFireAtOnceAfterAReset) {
    startWorld();
    addFlyingPlayer(800, 600);
    holdKey(SDLK_SPACE);
    updatePlayers();
    ASSERT_EQ(game.bullets.size(), 1u);
    EXPECT_EQ(game.players[0].ship.lastFireTicks, 100000u);
    advanceClock(425);
    updatePlayers();
    EXPECT_EQ(game.bullets.size(), 1u); // 425 is not more than 425
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(game.bullets.size(), 2u);
}

TEST(FireGate, HalfTheFrameRateDoublesTheDelay) {
    startWorld();
    game.frameCap = 30;
    game.measuredFps = 15;
    Ship& s = addFlyingPlayer(800, 600).ship;
    s.lastFireTicks = 100000;
    holdKey(SDLK_SPACE);
    advanceClock(850);
    updatePlayers();
    EXPECT_TRUE(game.bullets.empty());
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(game.bullets.size(), 1u);
}

TEST(FireGate, NoShotWithoutTheKey) {
    startWorld();
    addFlyingPlayer(800, 600);
    updatePlayers();
    EXPECT_TRUE(game.bullets.empty());
}

TEST(Respawn, ComesBackAfterThreeSecondsThenStaysProtectedThreeMore) {
    startWorld();
    Ship& s = addFlyingPlayer(800, 600).ship;
    s.alive = 0;
    s.deathTicks = 100000;
    advanceClock(3000);
    updatePlayers();
    EXPECT_EQ(s.alive, 0);
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(s.alive, 1);
    EXPECT_EQ(s.shielded, 1);
    EXPECT_EQ(s.protectionTimerOn, 1);
    EXPECT_EQ(s.protectionStartTicks, 103001u);
    advanceClock(3000);
    updatePlayers();
    EXPECT_EQ(s.shielded, 1);
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(s.shielded, 0);
    EXPECT_EQ(s.protectionTimerOn, 0);
}

TEST(Respawn, HalfGameSpeedDoublesBothWaits) {
    startWorld();
    game.gameSpeed = 0.5f;
    Ship& s = addFlyingPlayer(800, 600).ship;
    s.alive = 0;
    s.deathTicks = 100000;
    advanceClock(6000);
    updatePlayers();
    EXPECT_EQ(s.alive, 0);
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(s.alive, 1);
    advanceClock(6000);
    updatePlayers();
    EXPECT_EQ(s.shielded, 1);
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(s.shielded, 0);
}

TEST(Respawn, DeadShipIsNeitherSteeredNorMoved) {
    startWorld();
    Ship& s = addFlyingPlayer(800, 600, 0.0).ship;
    s.alive = 0;
    s.deathTicks = 100000;
    s.vx = 3;
    holdKey(SDLK_UP);
    holdKey(SDLK_LEFT);
    holdKey(SDLK_SPACE);
    updatePlayers();
    EXPECT_DOUBLE_EQ(s.x, 800.0);
    EXPECT_DOUBLE_EQ(s.angle, 0.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(PlayerOut, IsNeverSteeredDrawnOrTargeted) {
    startWorld();
    Player& out = addFlyingPlayer(400, 600, 0.0);
    out.lives = 0;
    addFlyingPlayer(1400, 600, 0.0);
    holdKey(SDLK_UP);
    holdKey(SDLK_SPACE);
    game.players[1].keys = KeyBindings{}; // only the player who is out holds keys
    advanceClock(10000);
    updatePlayers();
    EXPECT_DOUBLE_EQ(game.players[0].ship.x, 400.0);
    EXPECT_TRUE(game.bullets.empty());

    fillScreen(0, 0, 0);
    game.players[0].ship.shielded = 0;
    drawShips();
    EXPECT_FALSE(shipDrawnAt(160, 240));
    EXPECT_TRUE(shipDrawnAt(560, 240));

    Turret t = makeTurret(400, 600); // right on the player who is out
    t.targetPlayer = 1;
    pickTarget(t);
    EXPECT_EQ(t.targetPlayer, 1);
}

TEST(DrawShips, ShieldedShipBlinksOnOddFrames) {
    startWorld();
    Ship& s = addFlyingPlayer(400, 600).ship;
    s.shielded = 1;
    game.frameCounter = 4;
    fillScreen(0, 0, 0);
    drawShips();
    EXPECT_FALSE(shipDrawnAt(160, 240));
    game.frameCounter = 5;
    drawShips();
    EXPECT_TRUE(shipDrawnAt(160, 240));
}

TEST(DrawShips, ShieldedShipShowsSteadilyWhilePaused) {
    startWorld();
    Ship& s = addFlyingPlayer(400, 600).ship;
    s.shielded = 1;
    game.frameCounter = 4;
    game.paused = 1;
    fillScreen(0, 0, 0);
    drawShips();
    EXPECT_TRUE(shipDrawnAt(160, 240));
}

TEST(DrawShips, MarkerSitsOnTheRimInTheHeading) {
    startWorld();
    Ship& s = addFlyingPlayer(400, 600, 0.0).ship;
    s.markerImage = makeSprite(4, 4, 255, 255, 0);
    fillScreen(0, 0, 0);
    drawShips();
    // Ship centre (160, 240), sprite 24 wide: the marker is centred 12 pixels right.
    const SDL_Color c = pixelAt(game.screen, 172, 240);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 255);
    EXPECT_EQ(c.b, 0);
}

TEST(DrawShips, UnknownDesignDrawsNothingAndDoesNotCrash) {
    startWorld();
    addFlyingPlayer(400, 600).ship.design = 17;
    fillScreen(0, 0, 0);
    drawShips();
    EXPECT_FALSE(shipDrawnAt(160, 240));
}
