// Control, the timers of ships, shots and turrets, and players.
#include "support/virtual_joystick.h"
#include "world.h"

// Keys U D L R F (O: player out; P: a planet pulls) or a joystick "J<hat>,<x>,<y>,<button>":
// the hat wins, the stick acts beyond 8000 in proportion, button 3 fires. Thrust 0.13 along
// the heading before the turn of 0.115 a frame. Exhaust x: tail 770, nose 830.
TEST(World, Control) {
    const int device = attachVirtualJoystick();
    ASSERT_GE(device, 0) << "SDL2 virtual joysticks unavailable";
    startWorld();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    game.soundsOn = 1;
    // input, heading, gameSpeed, frameFactor: vx, vy, heading, particles, x, shots, sounds
    const std::tuple<const char*, double, float, double, std::vector<double>> rows[] = {
        {"ULF", 0, 1, 1, {0.13, 0, 0.115, 1, 770, 1, 1}},
        {"R", 1, 2, 0.5, {0, 0, 0.885, 0, 0, 0, 0}},
        {"D", 0, 1, 1, {-0.13, 0, 0, 1, 830, 0, 1}},
        {"U", M_PI / 2, 1, 1, {0, 0.13, M_PI / 2, 1, 800, 0, 1}},
        {"UD", 0, 1, 1, {0, 0, 0, 1, 770, 0, 2}}, // the front test sees the timer just reset
        {"J9,32767,-32768,-1", 0, 1, 1, {0.13, 0, 0.115, 1, 770, 0, 1}},
        {"J6,0,0,-1", 0, 1, 1, {-0.13, 0, -0.115, 1, 830, 0, 1}},
        {"J3,0,0,-1", 0, 1, 1, {0.13, 0, -0.115, 1, 770, 0, 1}},
        {"J1,-32768,0,-1", 0, 1, 1, {0.13, 0, 0, 1, 770, 0, 1}},
        {"J0,8000,-8000,-1", 0, 1, 1, {0, 0, 0, 0, 0, 0, 0}},
        {"J0,-8000,8000,-1", 0, 1, 1, {0, 0, 0, 0, 0, 0, 0}},
        {"J0,0,-16384,-1", 0, 1, 1, {0.065, 0, 0, 1, 770, 0, 1}},
        {"J0,0,16384,-1", 0, 1, 1, {-0.065, 0, 0, 1, 830, 0, 1}},
        {"J0,-16384,0,-1", 0, 1, 1, {0, 0, 0.0575, 0, 0, 0, 0}},
        {"J0,0,0,2", 0, 1, 1, {0, 0, 0, 0, 0, 0, 0}},
        {"J0,0,0,3", 0, 1, 1, {0, 0, 0, 0, 0, 1, 0}},
        {"OUF", 0, 1, 1, {0, 0, 0, 0, 0, 0, 0}},
        {"P", 0, 1, 1, {6 / 355.0, 8 / 355.0, 0, 0, 0, 0, 0}}, // a planet of mass 2 at (3, 4)
    };
    for (const auto& [input, angle0, g, f, want] : rows) {
        clearWorld();
        game.gameSpeed = g;
        game.frameFactor = f;
        Player& p = addFlyingPlayer(800, 600, angle0);
        p.ship.lastExhaustTicks = 0;
        p.lives = input[0] == 'O' ? 0 : 6;
        build(input[0] == 'P' ? "P803,604" : "");
        int hat = 0, sx = 0, sy = 0, button = -1;
        p.usesJoystick = std::sscanf(input, "J%d,%d,%d,%d", &hat, &sx, &sy, &button) == 4;
        p.joystick = joystick;
        p.fireButton = 3;
        setVirtualHat(0, 0, Uint8(hat));
        setVirtualAxis(0, 0, Sint16(sx));
        setVirtualAxis(0, 1, Sint16(sy));
        setVirtualButton(0, button < 0 ? 0 : button, button >= 0);
        const SDLKey keys[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_0};
        for (const char* k = p.usesJoystick ? "F" : input; *k; ++k) {
            holdKey(keys[std::min(std::string("UDLRF").find(*k), size_t(5))]); // others: 0
        }
        updatePlayers();
        const double exhaustX = game.particles.empty() ? 0 : game.particles[0].x;
        EXPECT_TRUE(
            (near({p.ship.vx, p.ship.vy, p.ship.angle, double(game.particles.size()), exhaustX,
                   double(game.bullets.size()), double(playsOf(game.engineSound))},
                  want, 1e-3)))
            << input;
    }
}

// A timer (lifetime: of an exhaust particle) holds for its length of game-speed time (x 30 /
// measuredFps for guns), acts one millisecond later, and not again at once.
TEST(World, TimersEndStrictlyAfterTheirLength) {
    startWorld();
    const std::tuple<const char*, Uint32, float, float> rows[] = {
        {"fire", 425, 1, 30},         {"fire", 850, 1, 15},        {"respawn", 3000, 1, 30},
        {"respawn", 6000, 0.5f, 30},  {"protection", 3000, 1, 30}, {"protection", 6000, 0.5f, 30},
        {"exhaust", 34, 1, 30},       {"shot", 3500, 1, 30},       {"shot", 1750, 2, 30},
        {"turret shot", 1990, 1, 30}, {"lifetime", 800, 1, 30},    {"lifetime", 400, 2, 30},
        {"gun reload", 2400, 1, 30},  {"gun reload", 4800, 1, 15}, {"FPS", 1000, 1, 30},
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
        void (*const steps[])() = {stepWorld,       moveBullets,   moveBullets,
                                   updateParticles, updateTurrets, updatePlayers};
        const auto step = steps[std::min(std::string("Fstlg").find(k), size_t(5))];
        auto state = [&s] {
            return std::vector<long>{countAlive(game.bullets), countAlive(game.particles), s.alive,
                                     s.shielded, game.framesCounted};
        };
        const std::vector<long> before = state();
        advanceClock(ms);
        step();
        EXPECT_EQ(state(), before);
        advanceClock(1);
        step();
        const std::vector<long> after = state();
        EXPECT_NE(after, before);
        step();
        EXPECT_EQ(state(), after);
        EXPECT_EQ(game.measuredFps, k == 'F' ? 39.0f : fps); // 40 frames in 1.001 s
    }
}

TEST(World, Players) {
    startWorld(true);
    const int counts[][2] = {{3, 3}, {0, 0}, {-2, 0}};
    for (const auto& r : counts) {
        addFlyingPlayer(1, 1).usesJoystick = 1;
        game.playerCount = r[0];
        createPlayers();
        ASSERT_EQ(game.players.size(), size_t(r[1])) << "count " << r[0];
    }
    game.shipImages[1].shipImage = makeSprite(30, 20);
    build("S800,600 S900,900");
    Ship& s = game.players[0].ship;
    s.design = 1;
    s.vx = 3;
    s.vy = -2;
    game.players[1].lives = 1;
    advanceClock(777);
    std::srand(1);
    playerDied(0);
    // 30 x 20 / 6 = 100 particles, spread 5000; then x = r % 640, y = r % 480.
    ASSERT_EQ(game.particles.size(), 100u);
    EXPECT_EQ(game.particles[0].image, game.shipImages[1].explosionImage);
    const Particle& q = game.particles[0];
    EXPECT_TRUE((near({q.x, q.vx, q.vy, s.x, s.y, double(s.alive), double(s.deathTicks), s.vx, s.vy,
                       s.angle, double(game.players[0].lives)},
                      {800, 6.8538966, 0.5629996, 522, 120, 0, 100777, 0, 0, 0, 5})));
    playerDied(1);
    const std::vector<std::string> said = {"Player 1 died and has 5 lives remaining",
                                           "Player 2 died and has 0 lives remaining"};
    EXPECT_EQ(messageTexts(said), said);
    EXPECT_TRUE(game.messages[0].durationMs == 3000u && game.players[1].lives == 0);
}
