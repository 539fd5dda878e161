// The world's layers drawn at the flipped screen place (pixel = 0.4 x (x, 1200 - y)).
#include "world.h"

TEST(World, DrawingPlacesEveryLayer) {
    startWorld();
    setLevelParameters(10, 1);
    // Planet 70 x 70 at pixel (40, 80); a dead shot at (200, 40); a turret at (400, 120)
    // with its barrel marker on its rim, and crosshairs at its aim (+200, +100); a ship at
    // (160, 200) with its marker on its rim.
    build("P100,1000 B500,1100@xd T1000,900 S400,700");
    game.turrets[0].aimX = 200;
    game.turrets[0].aimY = 100;
    game.players[0].ship.markerImage = makeSprite(4, 4, 255, 255, 0);
    fillScreen(0, 0, 0);
    drawBodies();
    drawBullets();
    drawTurrets();
    drawShips();
    drawCrosshairs();
    const int pixels[][5] = {{5, 45, 40, 120, 200},   {4, 45, 0, 0, 0},     {5, 44, 0, 0, 0},
                             {199, 39, 255, 255, 0},  {202, 40, 0, 0, 0},   {400, 120, 90, 90, 90},
                             {414, 120, 255, 80, 0},  {480, 80, 255, 0, 0}, {160, 200, 0, 200, 0},
                             {172, 200, 255, 255, 0}, {147, 200, 0, 0, 0}};
    for (const auto& p : pixels) {
        EXPECT_TRUE(colourAt(p[0], p[1], Uint8(p[2]), Uint8(p[3]), Uint8(p[4])))
            << p[0] << ", " << p[1];
    }
    game.players[0].ship.alive = 0; // no crosshairs on a dead target
    fillScreen(0, 0, 0);
    drawCrosshairs();
    EXPECT_FALSE(colourAt(480, 80, 255, 0, 0));

    // shielded, frame, paused, lives: drawn. A shielded ship blinks unless paused.
    const int rows[][5] = {{1, 4, 0, 6, 0}, {1, 5, 0, 6, 1}, {1, 4, 1, 6, 1}, {0, 5, 0, 0, 0}};
    game.players[0].ship.alive = 1;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r[0] << r[1] << r[2] << r[3]);
        game.players[0].ship.shielded = r[0];
        game.frameCounter = r[1];
        game.paused = r[2];
        game.players[0].lives = r[3];
        fillScreen(0, 0, 0);
        drawShips();
        EXPECT_EQ(colourAt(160, 200, 0, 200, 0), r[4] == 1);
    }
}

// A strip of four 10 x 10 frames of their own colours; frame (frameCounter + offset) % 4
// is drawn with its left edge half the strip (20 pixels) left of the particle.
TEST(World, ParticleFramesFollowTheFrameCounter) {
    startWorld();
    const Uint8 colours[4][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}};
    SDL_Surface* strip = makeSprite(40, 10);
    for (int i = 0; i < 4; ++i) {
        SDL_Rect r = {Sint16(i * 10), 0, 10, 10};
        SDL_FillRect(strip, &r,
                     SDL_MapRGB(strip->format, colours[i][0], colours[i][1], colours[i][2]));
    }
    makeExplosion(1, 0, 500, 900, 0, 0, strip); // pixel (200, 120): frame at 180 to 189
    game.particles[0].frameOffset = 1;
    for (int counter = 0; counter < 5; ++counter) {
        SCOPED_TRACE(counter);
        game.frameCounter = counter;
        fillScreen(0, 0, 0);
        drawParticles();
        const Uint8* c = colours[(counter + 1) % 4];
        EXPECT_TRUE(colourAt(180, 118, c[0], c[1], c[2]) && colourAt(189, 118, c[0], c[1], c[2]));
        EXPECT_TRUE(colourAt(190, 118, 0, 0, 0) && colourAt(179, 118, 0, 0, 0));
    }
}
