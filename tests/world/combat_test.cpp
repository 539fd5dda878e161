// Firing, the collision pass, particles, turrets and drawing.
#include "world.h"

// A ship's shot leaves the rim of its 24-pixel sprite (30 units out) at 11 plus the
// ship's velocity; a level-10 turret's (28 pixels: 35 units) at 4.7 and lives 1990 ms.
TEST(World, ShotsLeaveTheRimOfTheirFirer) {
    startWorld();
    game.soundsOn = 1;
    setLevelParameters(10, 1);
    build("S800,600 S800,600 T400,300");
    Ship& s = game.players[0].ship;
    Ship& u = game.players[1].ship;
    Turret& t = game.turrets[0];
    s.vx = 5;
    s.teamAttack = 1;
    u.angle = M_PI / 2;
    u.vy = 5;
    t.angle = M_PI;
    shipFire(s);
    shipFire(u);
    turretFire(t);
    game.soundsOn = 0;
    shipFire(s);
    EXPECT_EQ(playsOf(game.shipFireSound), 2);
    EXPECT_EQ(playsOf(game.turretFireSound), 1);
    // x, y, vx, vy, lifetime, harms ships, owner
    const std::vector<double> rows[] = {{830, 600, 16, 0, 3500, 1, double(s.id)},
                                        {800, 630, 0, 16, 3500, 0, double(u.id)},
                                        {365, 300, -4.7, 0, 1990, 1, double(t.id)}};
    for (size_t i = 0; i < 3; ++i) {
        const Bullet& b = game.bullets[i];
        EXPECT_TRUE((near(
            {b.x, b.y, b.vx, b.vy, double(b.lifetimeMs), double(b.harmsShips), double(b.ownerId)},
            rows[i])))
            << i;
        EXPECT_EQ(b.image, i < 2 ? game.shipBulletImage : game.turretBulletImage);
    }
}

// After one pass: shots alive (in order) | bodies all/alive | lives per player |
// particles, "f" when one flies over 3 units a frame | asteroid-hit sounds.
std::string afterCollisions() {
    resolveCollisions();
    std::ostringstream out;
    for (const Bullet& b : game.bullets) {
        out << b.alive;
    }
    out << " | " << game.bodies.size() << "/" << countAlive(game.bodies) << " |";
    for (const Player& p : game.players) {
        out << " " << p.lives;
    }
    const bool fast = std::any_of(game.particles.begin(), game.particles.end(),
                                  [](const Particle& q) { return std::hypot(q.vx, q.vy) > 3; });
    out << " | " << game.particles.size() << (fast ? "f" : "") << " | "
        << playsOf(game.asteroidHitSound);
    return out.str();
}

// Radii in pixels: ship 12, asteroid 17, shot 2. A ship's shot breaks an asteroid with
// 35 x 35 / 15 particles (again, smaller, for a second shot); a ship dies with 24 x 24 / 6.
TEST(World, Collisions) {
    const std::pair<const char*, const char*> rows[] = {
        {"S100,100 A800,600 B800,600@0f", "0 | 3/2 | 6 | 81f | 1"},
        {"S100,100 T1400,1000 A800,600 B800,600@th", "0 | 1/1 | 6 | 0 | 0"},
        {"S100,100 A800,600 B848.75,600@0", "1 | 1/1 | 6 | 0 | 0"},
        {"S100,100 S1500,100 A800,600 B795,600@0 B805,600@1", "00 | 5/4 | 6 6 | 162 | 2"},
        {"S100,100 A800,600 B800,600@0p", "1 | 3/2 | 6 | 81 | 1"},
        {"K800,600 B800,600@x", "0 | 1/0 | | 0 | 0"},
        {"S800,600 P800,600 B800,600@0h", "1 | 1/1 | 6 | 0 | 0"},
        {"S800,600s A850,600 B770,600@xh", "1 | 1/1 | 6 | 0 | 0"},
        {"S800,600 B770,600@xh", "0 | 0/0 | 5 | 96f | 0"},
        {"S800,600 S200,200 B800,600@1", "1 | 0/0 | 6 6 | 0 | 0"},
        {"S800,600 S200,200 B800,600@1h", "0 | 0/0 | 5 6 | 96f | 0"},
        {"S800,600 A850,600 B770,600@xh A438,131", "0 | 2/2 | 5 | 96f | 0"}, // dies at (438, 131)
        {"S800,600 A850,600", " | 1/1 | 5 | 96f | 0"},
        {"S800,600 B800,600@0h", "1 | 0/0 | 6 | 0 | 0"},
        {"S800,600d B800,600@xh", "1 | 0/0 | 6 | 0 | 0"},
        {"S100,100 T800,600 B800,600@0 B810,600@th B790,600@0p", "011 | 0/0 | 6 | 0 | 0"},
        {"S800,600 B800,600@xhd A1200,900 B1200,900@0d", "00 | 1/1 | 6 | 0 | 0"},
    };
    startWorld();
    setLevelParameters(10, 1); // two fragments per break-up
    game.soundsOn = 1;
    for (const auto& [scene, after] : rows) {
        clearWorld();
        std::srand(1);
        build(scene);
        EXPECT_EQ(afterCollisions(), after) << scene;
    }
}

// Exhaust draws a frame, jitter (r % 10000 - 5000) / 1500 for vx then vy, a frame; at the
// tail (nose), 3 units a frame backward (forward). A burst draws a frame, then a = r %
// 36000 / 100, speed = (r % (2750 / 30) / 100)^5 + r % 2750 / 600, r % 10000 / 10 + 1000 ms.
TEST(World, Particles) {
    startWorld();
    build("S800,600");
    Ship& s = game.players[0].ship;
    s.vx = 1;
    makeExplosion(0, 2750, 10, 10, 0, 0, nullptr);
    std::srand(1);
    emitRearExhaust(s);
    s.angle = M_PI / 2;
    emitFrontExhaust(s);
    EXPECT_EQ(s.lastExhaustTicks, 100000u);
    std::srand(1);
    makeExplosion(3, 2750, 10, 10, 0.5f, -0.25f, game.explosionParticleImage);
    // x, y, vx, vy, lifetime, frame, owned by the ship
    const std::vector<double> rows[] = {{770, 600, -4.7427, -1.482, 800, 3, 1},
                                        {800, 630, 3.2233, 3.2573, 800, 0, 1},
                                        {10, 10, 3.2748, 1.5954, 1779, 3, 0},
                                        {10, 10, -3.6229, 0.2517, 1142, 2, 0},
                                        {10, 10, 1.0497, 1.2171, 1776, 2, 0}};
    ASSERT_EQ(game.particles.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const Particle& p = game.particles[i];
        EXPECT_TRUE((near({p.x, p.y, p.vx, p.vy, double(p.lifetimeMs), double(p.frameOffset),
                           double(p.ownerId == s.id)},
                          rows[i])))
            << i;
    }
    // Moved by velocity x gameSpeed x frameFactor; exhaust draws a new frame, bursts not.
    game.gameSpeed = 2;
    game.frameFactor = 1.5;
    advanceClock(5);
    updateParticles();
    const Particle& q = game.particles[2];
    EXPECT_TRUE((near({double(game.particles[0].frameOffset), double(game.particles[1].frameOffset),
                       double(q.frameOffset), q.x, q.y},
                      {0, 2, 3, 19.8244, 14.7861})));
}

// A level-10 turret turning 0.045 a frame toward the side its probe (angle +- 5) finds
// nearer, by gameSpeed x frameFactor only when increasing, only as far as needed; it
// fires when aimed within 30 units.
TEST(World, Turrets) {
    startWorld();
    setLevelParameters(10, 1);
    // bearing, gameSpeed, frameFactor: barrel angle, aim y, shots
    const std::vector<double> rows[] = {{0, 1, 1, 0, 0, 1},
                                        {M_PI, 2, 3, -0.045, -8.997, 0},
                                        {M_PI / 2, 1, 2, 0.09, 17.9757, 0},
                                        {0.01, 1, 1, 0.01, 2.0001, 1},
                                        {0.22, 1, 1, 0.045, 8.997, 0},
                                        {-0.3, 1, 1, -0.045, -8.997, 0}};
    for (const auto& r : rows) {
        clearWorld();
        game.gameSpeed = float(r[1]);
        game.frameFactor = r[2];
        addFlyingPlayer(800 + 200 * std::cos(r[0]), 600 + 200 * std::sin(r[0]));
        build("T800,600");
        game.turrets[0].lastFireTicks = 0;
        updateTurrets();
        EXPECT_TRUE(
            (near({game.turrets[0].angle, game.turrets[0].aimY, double(game.bullets.size())},
                  {r[3], r[4], r[5]})))
            << "bearing " << r[0]; // at 0.22 the aim is 34.96 units off after the turn
    }
    // The nearest ship in play, ties to the later, within player 0's distance plus one.
    const std::tuple<const char*, int, int> targets[] = {
        {"S1000,600 S600,600", 0, 1},
        {"S1500,600 S850,600 S820,600d S810,600o", 0, 1},
        {"S1000,600d S599.5,600", 0, 1},
        {"S600,600d S800,900d", 1, 1},
    };
    for (const auto& [scene, start, target] : targets) {
        clearWorld();
        build(std::string(scene) + " T800,600");
        game.turrets[0].targetPlayer = start;
        game.turrets[0].angle = 0.3;
        updateTurrets();
        EXPECT_EQ(game.turrets[0].targetPlayer, target) << scene;
    }
    EXPECT_TRUE(game.turrets[0].angle == 0.3 && game.bullets.empty());
    // A target but player 0 is kept for a second unless it dies.
    clearWorld();
    build("S1500,600 S900,600 T800,600");
    const int rechosen[][2] = {{0, 1}, {1000, 1}, {1, 0}, {1, 1}, {10, 0}};
    for (int i = 0; i < 5; ++i) {
        game.players[0].ship.x = i >= 1 ? 810 : 1500;
        game.players[1].ship.x = i >= 3 ? 805 : 900;
        game.players[1].ship.alive = i < 4;
        advanceClock(Uint32(rechosen[i][0]));
        updateTurrets();
        EXPECT_EQ(game.turrets[0].targetPlayer, rechosen[i][1]) << i;
    }
}

// Pixel = 0.4 x (x, 1200 - y): planet at (40, 80), dead shot (200, 40), turret (400, 120)
// with crosshairs at its aim (+200, +100), ship (160, 200), markers on their rims, and a
// strip of four frames (frame 1 green) half its width left of (600, 360).
TEST(World, Drawing) {
    startWorld();
    setLevelParameters(10, 1);
    build("P100,1000 B500,1100@xd T1000,900 S400,700");
    game.turrets[0].aimX = 200;
    game.turrets[0].aimY = 100;
    game.players[0].ship.markerImage = makeSprite(4, 4, 255, 255, 0);
    SDL_Surface* strip = makeSprite(40, 10, 0, 0, 200);
    SDL_Rect frame1 = {10, 0, 10, 10};
    SDL_FillRect(strip, &frame1, SDL_MapRGB(strip->format, 0, 200, 0));
    makeExplosion(1, 0, 1500, 300, 0, 0, strip);
    game.particles[0].frameOffset = 1;
    fillScreen(0, 0, 0);
    drawParticles();
    drawBodies();
    drawBullets();
    drawTurrets();
    drawShips();
    drawCrosshairs();
    const int pixels[][5] = {{5, 45, 40, 120, 200},   {4, 45, 0, 0, 0},     {5, 44, 0, 0, 0},
                             {199, 39, 255, 255, 0},  {202, 40, 0, 0, 0},   {400, 120, 90, 90, 90},
                             {414, 120, 255, 80, 0},  {480, 80, 255, 0, 0}, {160, 200, 0, 200, 0},
                             {172, 200, 255, 255, 0}, {147, 200, 0, 0, 0},  {580, 360, 0, 200, 0},
                             {589, 360, 0, 200, 0},   {590, 360, 0, 0, 0},  {579, 360, 0, 0, 0}};
    for (const auto& p : pixels) {
        EXPECT_TRUE(colourAt(p[0], p[1], Uint8(p[2]), Uint8(p[3]), Uint8(p[4])))
            << p[0] << ", " << p[1];
    }
    // shielded, frame, paused, lives, alive: ship drawn, frame (frameCounter + 1) % 4 is 1
    const int rows[][7] = {
        {1, 4, 0, 6, 1, 0, 1}, {1, 5, 0, 6, 1, 1, 0}, {1, 4, 1, 6, 1, 1, 1},
        {0, 0, 0, 0, 1, 0, 1}, {0, 0, 0, 6, 0, 0, 1},
    };
    for (const auto& r : rows) {
        game.players[0].ship.shielded = r[0];
        game.frameCounter = r[1];
        game.paused = r[2];
        game.players[0].lives = r[3];
        game.players[0].ship.alive = r[4];
        fillScreen(0, 0, 0);
        drawParticles();
        drawShips();
        drawCrosshairs();
        EXPECT_EQ(colourAt(160, 200, 0, 200, 0), r[5] == 1) << r[0] << r[1] << r[2] << r[3] << r[4];
        EXPECT_EQ(colourAt(585, 360, 0, 200, 0), r[6] == 1) << r[1];
        EXPECT_EQ(colourAt(480, 80, 255, 0, 0), r[4] == 1);
    }
}
