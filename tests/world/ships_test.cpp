// Keyboard and joystick control, the timers of ships, shots and turrets, and players.
#include "support/virtual_joystick.h"
#include "world.h"

// Keys: U thrust, D reverse, L left, R right. Thrust 0.13 and turn 0.115 per frame;
// the thrust takes the heading before the turn. Exhaust x: tail 770, nose 830 (0: none).
TEST(World, KeyboardControl) {
    startWorld();
    game.soundsOn = 1;
    // keys, heading, gameSpeed, frameFactor: vx, vy, heading, exhaust x, engine sounds
    const std::tuple<const char*, double, float, double, double, double, double, float, int>
        rows[] = {
            {"UL", 0, 1, 1, 0.13, 0, 0.115, 770, 1},
            {"R", 1, 2, 0.5, 0, 0, 0.885, 0, 0},
            {"D", 0, 1, 1, -0.13, 0, 0, 830, 1},
            {"U", M_PI / 2, 1, 1, 0, 0.13, M_PI / 2, 800, 1},
            {"UD", 0, 1, 1, 0, 0, 0, 770, 2}, // the front test sees the timer just reset
        };
    for (const auto& [keys, angle0, g, f, vx, vy, angle, exhaustX, engine] : rows) {
        SCOPED_TRACE(keys);
        clearWorld();
        game.gameSpeed = g;
        game.frameFactor = f;
        Ship& s = addFlyingPlayer(800, 600, angle0).ship;
        s.lastExhaustTicks = 0;
        for (const char* k = keys; *k; ++k) {
            holdKey(*k == 'U'   ? SDLK_UP
                    : *k == 'D' ? SDLK_DOWN
                    : *k == 'L' ? SDLK_LEFT
                                : SDLK_RIGHT);
        }
        updatePlayers();
        EXPECT_NEAR(s.vx, vx, 1e-6);
        EXPECT_NEAR(s.vy, vy, 1e-6);
        EXPECT_NEAR(s.angle, angle, 1e-6);
        EXPECT_EQ(playsOf(game.engineSound), engine);
        ASSERT_EQ(game.particles.size(), exhaustX != 0 ? 1u : 0u);
        EXPECT_NEAR(exhaustX != 0 ? game.particles[0].x : 0, exhaustX, 1e-3);
    }
    game.players[0].lives = 0; // a player out of lives is not steered
    updatePlayers();
    EXPECT_EQ(game.players[0].ship.vx, 0);
}

// The hat wins over the stick; a stick inside the dead zone (8000) does nothing; the
// stick thrusts and turns in proportion; button 3 fires; keys mean nothing.
TEST(World, JoystickControl) {
    const int device = attachVirtualJoystick();
    ASSERT_GE(device, 0) << "SDL2 virtual joysticks unavailable";
    startWorld();
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr);
    // hat, stick x, stick y, button held: vx, heading, exhaust particles, shots
    const std::tuple<Uint8, Sint16, Sint16, int, double, double, size_t, size_t> rows[] = {
        {SDL_HAT_LEFTUP, 32767, -32768, -1, 0.13, 0.115, 1, 0},
        {SDL_HAT_RIGHTDOWN, 0, 0, -1, -0.13, -0.115, 1, 0},
        {SDL_HAT_RIGHTUP, 0, 0, -1, 0.13, -0.115, 1, 0},
        {SDL_HAT_UP, -32768, 0, -1, 0.13, 0, 1, 0},
        {SDL_HAT_CENTERED, 8000, -8000, -1, 0, 0, 0, 0},
        {SDL_HAT_CENTERED, -8000, 8000, -1, 0, 0, 0, 0},
        {SDL_HAT_CENTERED, 0, -16384, -1, 0.065, 0, 1, 0},
        {SDL_HAT_CENTERED, 0, 16384, -1, -0.065, 0, 1, 0},
        {SDL_HAT_CENTERED, -16384, 0, -1, 0, 0.0575, 0, 0},
        {SDL_HAT_CENTERED, 0, 0, 2, 0, 0, 0, 0},
        {SDL_HAT_CENTERED, 0, 0, 3, 0, 0, 0, 1},
    };
    for (const auto& [hat, sx, sy, button, vx, angle, exhaust, shots] : rows) {
        SCOPED_TRACE(testing::Message() << "hat " << int(hat) << " stick " << sx << ", " << sy
                                        << " button " << button);
        clearWorld();
        Player& p = addFlyingPlayer(800, 600, 0);
        p.usesJoystick = 1;
        p.joystick = stick;
        p.fireButton = 3;
        p.ship.lastExhaustTicks = 0;
        centreVirtualJoystick(0);
        setVirtualHat(0, 0, hat);
        setVirtualAxis(0, 0, sx);
        setVirtualAxis(0, 1, sy);
        setVirtualButton(0, button < 0 ? 0 : button, button >= 0);
        holdKey(SDLK_SPACE);
        updatePlayers();
        EXPECT_NEAR(p.ship.vx, vx, 1e-6);
        EXPECT_NEAR(p.ship.angle, angle, 1e-6);
        EXPECT_EQ(game.particles.size(), exhaust);
        EXPECT_EQ(game.bullets.size(), shots);
    }
}

// Each timer holds for exactly its length of game-speed time, scaled by measuredFps /
// frameCap (30) where it says so, acts one millisecond later, and not again at once.
TEST(World, TimersEndStrictlyAfterTheirLength) {
    startWorld();
    const std::tuple<const char*, Uint32, float, float> rows[] = {
        {"fire", 425, 1, 30},
        {"fire", 850, 1, 15},
        {"respawn", 3000, 1, 30},
        {"respawn", 6000, 0.5f, 30},
        {"protection", 3000, 1, 30},
        {"protection", 6000, 0.5f, 30},
        {"exhaust", 34, 1, 30},
        {"shot", 3500, 1, 30},
        {"shot", 1750, 2, 30},
        {"turret shot", 1990, 1, 30},
        {"lifetime of exhaust", 800, 1, 30},
        {"lifetime of exhaust", 400, 2, 30},
        {"gun reload", 2400, 1, 30},
        {"gun reload", 4800, 1, 15},
        {"measured fps", 1000, 1, 30},
    };
    for (const auto& [what, ms, g, fps] : rows) {
        SCOPED_TRACE(testing::Message() << what << " " << ms);
        clearWorld();
        game.gameSpeed = g;
        game.measuredFps = fps;
        setLevelParameters(10, 1);
        build("S1000,600 T800,600"); // the turret aims straight at the ship
        Ship& s = game.players[0].ship;
        Turret& t = game.turrets[0];
        s.lastFireTicks = s.lastExhaustTicks = s.deathTicks = currentTicks();
        s.protectionStartTicks = t.lastFireTicks = game.fpsSampleStart = currentTicks();
        game.framesCounted = 40;
        const char k = what[0];
        s.alive = k != 'r';
        s.shielded = s.protectionTimerOn = k == 'p';
        holdKey(SDLK_SPACE, k == 'f');
        holdKey(SDLK_UP, k == 'e');
        k == 's' ? shipFire(s) : k == 't' ? turretFire(t) : k == 'l' ? emitRearExhaust(s) : void();
        void (*step)() = k == 'm'               ? stepWorld
                         : k == 's' || k == 't' ? moveBullets
                         : k == 'l'             ? updateParticles
                         : k == 'g'             ? updateTurrets
                                                : updatePlayers;
        auto state = [&s] {
            int shots = 0, particles = 0;
            for (const Bullet& b : game.bullets) {
                shots += b.alive;
            }
            for (const Particle& p : game.particles) {
                particles += p.alive;
            }
            return std::vector<int>{int(game.bullets.size()),
                                    shots,
                                    int(game.particles.size()),
                                    particles,
                                    s.alive,
                                    s.shielded,
                                    game.framesCounted};
        };
        const std::vector<int> before = state();
        advanceClock(ms);
        step();
        EXPECT_EQ(state(), before);
        advanceClock(1);
        step();
        const std::vector<int> after = state();
        EXPECT_NE(after, before);
        step();
        EXPECT_EQ(state(), after);
        EXPECT_EQ(game.measuredFps, k == 'm' ? 39.0f : fps); // 40 frames in 1.001 s
    }
}

TEST(World, Players) {
    startWorld(true);
    const int counts[][2] = {{3, 3}, {0, 0}, {-2, 0}};
    for (const auto& r : counts) {
        SCOPED_TRACE(testing::Message() << "count " << r[0]);
        addFlyingPlayer(1, 1).usesJoystick = 1;
        game.playerCount = r[0];
        createPlayers();
        ASSERT_EQ(game.players.size(), size_t(r[1]));
        for (const Player& p : game.players) {
            EXPECT_TRUE(p.lives == 1 && p.usesJoystick == 0 && p.keys.thrust == SDLK_UP);
        }
    }
    game.shipImages[1].shipImage = makeSprite(30, 20);
    build("S800,600 S900,900");
    Ship& s = game.players[0].ship;
    s.design = 1;
    s.vx = 3;
    s.vy = -2;
    s.angle = 1.25;
    game.players[1].lives = 1;
    advanceClock(777);
    std::srand(1);
    playerDied(0);
    // 30 x 20 / 6 = 100 particles at spread 5000 on the ship's motion; the first from
    // a = 308.86, r1 = 2777 / 600, r2 = 7. Then x = r % 640, y = r % 480 (draws 502, 503).
    ASSERT_EQ(game.particles.size(), 100u);
    EXPECT_EQ(game.particles[0].image, game.shipImages[1].explosionImage);
    EXPECT_EQ(game.particles[0].x, 800);
    EXPECT_NEAR(game.particles[0].vx, 6.8538966, 1e-5);
    EXPECT_NEAR(game.particles[0].vy, 0.5629996, 1e-5);
    EXPECT_TRUE(s.x == 522 && s.y == 120 && s.alive == 0 && s.deathTicks == 100777u);
    EXPECT_TRUE(s.vx == 0 && s.vy == 0 && s.angle == 1.25 && game.players[0].lives == 5);
    playerDied(1);
    EXPECT_EQ(game.players[1].lives, 0);
    const std::vector<std::string> said = {"Player 1 died and has 5 lives remaining",
                                           "Player 2 died and has 0 lives remaining"};
    EXPECT_EQ(messageTexts(said), said);
    EXPECT_EQ(game.messages[0].durationMs, 3000u);
}
