// Joystick control on a real (virtual) SDL joystick that the game reads through SDL 1.2.
#include "support/virtual_joystick.h"
#include "world_fixture.h"

namespace {

// Attaches one joystick before SDL starts, then gives it to a flying player.
Player& joystickPlayer() {
    const int index = attachVirtualJoystick();
    EXPECT_GE(index, 0) << "SDL2 virtual joysticks unavailable";
    startWorld();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    p.usesJoystick = 1;
    p.joystick = SDL_JoystickOpen(index);
    EXPECT_NE(p.joystick, nullptr) << SDL_GetError();
    p.fireButton = 3;
    return p;
}

} // namespace

TEST(JoystickControl, VirtualJoystickIsSeenThroughTheGamesOwnCalls) {
    Player& p = joystickPlayer();
    ASSERT_NE(p.joystick, nullptr);
    EXPECT_EQ(SDL_JoystickNumAxes(p.joystick), 2);
    EXPECT_EQ(SDL_JoystickNumButtons(p.joystick), 8);
    EXPECT_EQ(SDL_JoystickNumHats(p.joystick), 1);
    setVirtualAxis(0, 1, -12345);
    EXPECT_EQ(SDL_JoystickGetAxis(p.joystick, 1), -12345);
}

TEST(JoystickControl, HatUpLeftThrustsAndTurnsAndTheStickIsIgnored) {
    Player& p = joystickPlayer();
    setVirtualHat(0, 0, SDL_HAT_LEFTUP);
    setVirtualAxis(0, 0, 32767);  // would turn right
    setVirtualAxis(0, 1, -32768); // would thrust harder
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, double(0.13f));
    EXPECT_DOUBLE_EQ(p.ship.vy, 0.0);
    EXPECT_DOUBLE_EQ(p.ship.angle, double(0.115f));
}

TEST(JoystickControl, HatDownRightReversesAndTurnsRight) {
    Player& p = joystickPlayer();
    setVirtualHat(0, 0, SDL_HAT_RIGHTDOWN);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, -double(0.13f));
    EXPECT_DOUBLE_EQ(p.ship.angle, -double(0.115f));
}

TEST(JoystickControl, HatUpAloneStillIgnoresTheStick) {
    Player& p = joystickPlayer();
    setVirtualHat(0, 0, SDL_HAT_UP);
    setVirtualAxis(0, 0, -32768);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.angle, 0.0);
    EXPECT_DOUBLE_EQ(p.ship.vx, double(0.13f));
}

TEST(JoystickControl, DeflectionExactlyAtTheDeadZoneDoesNothing) {
    Player& p = joystickPlayer();
    setVirtualAxis(0, 0, 8000);
    setVirtualAxis(0, 1, -8000);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.angle, 0.0);
    EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
    setVirtualAxis(0, 0, -8000);
    setVirtualAxis(0, 1, 8000);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.angle, 0.0);
    EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
}

TEST(JoystickControl, StickForwardThrustsInProportion) {
    Player& p = joystickPlayer();
    p.ship.lastExhaustTicks = 100000 - 100;
    setVirtualAxis(0, 1, -16384); // half forward
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, double(float(0.5 * double(0.13f))));
    EXPECT_DOUBLE_EQ(p.ship.vy, 0.0);
    EXPECT_EQ(game.particles.size(), 1u); // rear exhaust
}

TEST(JoystickControl, StickBackReversesInProportion) {
    Player& p = joystickPlayer();
    setVirtualAxis(0, 1, 16384);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, -double(float(0.5 * double(0.13f))));
}

TEST(JoystickControl, StickLeftTurnsLeftInProportion) {
    Player& p = joystickPlayer();
    setVirtualAxis(0, 0, -16384);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.angle, 0.5 * double(0.115f));
}

TEST(JoystickControl, FireButtonFires) {
    Player& p = joystickPlayer();
    setVirtualButton(0, 2, true); // not the fire button
    updatePlayers();
    EXPECT_TRUE(game.bullets.empty());
    setVirtualButton(0, 3, true);
    updatePlayers();
    ASSERT_EQ(game.bullets.size(), 1u);
    EXPECT_EQ(game.bullets[0].ownerId, p.ship.id);
}

TEST(JoystickControl, KeyboardKeysDoNothingForAJoystickPlayer) {
    Player& p = joystickPlayer();
    holdKey(SDLK_UP);
    holdKey(SDLK_SPACE);
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(JoystickControl, UnopenedDeviceReadsAsCentredWithNoButton) {
    startWorld();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    p.usesJoystick = 1;
    p.joystick = nullptr;
    updatePlayers();
    EXPECT_DOUBLE_EQ(p.ship.vx, 0.0);
    EXPECT_DOUBLE_EQ(p.ship.angle, 0.0);
    EXPECT_TRUE(game.bullets.empty());
}

TEST(VirtualJoysticks, SeveralCanBeAttachedAndSetApart) {
    const std::vector<int> indices =
        attachVirtualJoysticks({VirtualJoystickShape{}, VirtualJoystickShape{4, 12, 1}});
    ASSERT_EQ(indices.size(), 2u);
    startWorld();
    SDL_Joystick* first = SDL_JoystickOpen(indices[0]);
    SDL_Joystick* second = SDL_JoystickOpen(indices[1]);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(SDL_JoystickNumButtons(second), 12);
    setVirtualButton(1, 11, true);
    setVirtualHat(0, 0, SDL_HAT_DOWN);
    EXPECT_EQ(SDL_JoystickGetButton(second, 11), 1);
    EXPECT_EQ(SDL_JoystickGetButton(first, 11), 0);
    EXPECT_EQ(SDL_JoystickGetHat(first, 0), SDL_HAT_DOWN);
    EXPECT_EQ(SDL_JoystickGetHat(second, 0), SDL_HAT_CENTERED);
    centreVirtualJoystick(1);
    EXPECT_EQ(SDL_JoystickGetButton(second, 11), 0);
}
