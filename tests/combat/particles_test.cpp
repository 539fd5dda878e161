// Exhaust and explosion particles: bursts, emitters, ageing, flicker and drawing.
#include <set>

#include "combat_fixture.h"

namespace {

// A strip of four 10 x 10 frames, each its own colour, none of them the white key.
const Uint8 kFrameColours[4][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}};

SDL_Surface* makeColouredStrip() {
    SDL_Surface* strip = makeSprite(40, 10);
    for (int i = 0; i < 4; ++i) {
        SDL_Rect r = {Sint16(i * 10), 0, 10, 10};
        SDL_FillRect(strip, &r,
                     SDL_MapRGB(strip->format, kFrameColours[i][0], kFrameColours[i][1],
                                kFrameColours[i][2]));
    }
    return strip;
}

// Which frame of the coloured strip is shown at screen pixel (x, y), -1 for none.
int frameShownAt(int x, int y) {
    const SDL_Color c = pixelAt(game.screen, x, y);
    for (int i = 0; i < 4; ++i) {
        if (c.r == kFrameColours[i][0] && c.g == kFrameColours[i][1] &&
            c.b == kFrameColours[i][2]) {
            return i;
        }
    }
    return -1;
}

double speedOf(const Particle& p, float baseVx, float baseVy) {
    return std::hypot(double(p.vx) - baseVx, double(p.vy) - baseVy);
}

} // namespace

TEST(Particles, ExplosionOfCountZeroAppendsNothing) {
    startCombat();
    makeExplosion(0, 2750.0f, 100, 100, 0, 0, game.explosionParticleImage);
    makeExplosion(-5, 2750.0f, 100, 100, 0, 0, game.explosionParticleImage);
    EXPECT_TRUE(game.particles.empty());
}

TEST(Particles, ExplosionBurstsShareBirthPlaceAndLiveOneToTwoSeconds) {
    startCombat();
    makeExplosion(2000, 5000.0f, 300.5f, 400.25f, 1.0f, -2.0f, game.explosionParticleImage);
    ASSERT_EQ(game.particles.size(), 2000u);
    int shortest = 100000;
    int longest = 0;
    double fastest = 0;
    for (const Particle& p : game.particles) {
        EXPECT_EQ(p.x, 300.5f);
        EXPECT_EQ(p.y, 400.25f);
        EXPECT_EQ(p.ownerId, -1);
        EXPECT_EQ(p.alive, 1);
        EXPECT_EQ(p.birthTicks, 100000u);
        EXPECT_EQ(p.image, game.explosionParticleImage);
        EXPECT_GE(p.frameOffset, 0);
        EXPECT_LT(p.frameOffset, game.particleFrameCount);
        shortest = std::min(shortest, p.lifetimeMs);
        longest = std::max(longest, p.lifetimeMs);
        fastest = std::max(fastest, speedOf(p, 1.0f, -2.0f));
    }
    EXPECT_GE(shortest, 1000);
    EXPECT_LE(longest, 1999);
    // The fifth power of at most 1.65 plus at most 8.33: a few particles fly far faster
    // than the linear part alone allows.
    EXPECT_LE(fastest, std::pow(1.65, 5) + 4999 / 600.0 + 1e-3);
    EXPECT_GT(fastest, 4999 / 600.0);
}

TEST(Particles, ExplosionDrawsItsRandomNumbersInOrder) {
    startCombat();
    const float spread = 2750.0f;
    std::srand(77);
    std::rand(); // the template's own frame
    struct Expected {
        float vx, vy;
        int life, frame;
    };
    std::vector<Expected> expected;
    for (int i = 0; i < 3; ++i) {
        const double a = (std::rand() % 36000) / 100.0;
        const double r1 = (std::rand() % 2750) / 600.0;
        const int r2 = std::rand() % 91;
        const float speed = float(std::pow(r2 / 100.0, 5) + r1);
        Expected e;
        e.vx = float(std::sin(a) * speed + 0.5);
        e.vy = float(std::cos(a) * speed - 0.25);
        e.life = (std::rand() % 10000) / 10 + 1000;
        e.frame = std::rand() % 4;
        expected.push_back(e);
    }
    std::srand(77);
    makeExplosion(3, spread, 10, 10, 0.5f, -0.25f, game.explosionParticleImage);
    ASSERT_EQ(game.particles.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(game.particles[i].vx, expected[i].vx) << i;
        EXPECT_FLOAT_EQ(game.particles[i].vy, expected[i].vy) << i;
        EXPECT_EQ(game.particles[i].lifetimeMs, expected[i].life) << i;
        EXPECT_EQ(game.particles[i].frameOffset, expected[i].frame) << i;
    }
}

TEST(Particles, EmptySpreadRangesDrawZeroInsteadOfDividing) {
    startCombat();
    // No spread at all: both ranges are empty and every particle keeps the base speed.
    makeExplosion(50, 0.0f, 10, 10, 1.5f, -0.5f, game.explosionParticleImage);
    ASSERT_EQ(game.particles.size(), 50u);
    for (const Particle& p : game.particles) {
        EXPECT_EQ(p.vx, 1.5f);
        EXPECT_EQ(p.vy, -0.5f);
        EXPECT_GE(p.lifetimeMs, 1000);
        EXPECT_LE(p.lifetimeMs, 1999);
    }
    // Below 30 only the fifth-power range is empty; the linear part still spreads.
    game.particles.clear();
    makeExplosion(50, 29.0f, 10, 10, 0, 0, game.explosionParticleImage);
    ASSERT_EQ(game.particles.size(), 50u);
    for (const Particle& p : game.particles) {
        EXPECT_LE(speedOf(p, 0, 0), 28 / 600.0 + 1e-6);
    }
}

TEST(Particles, RearExhaustLeavesTheTailBackwardAndFrontExhaustTheNose) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    p.ship.vx = 1.0;
    advanceClock(500);
    emitRearExhaust(p.ship);
    ASSERT_EQ(game.particles.size(), 1u);
    const Particle rear = game.particles[0];
    // A 24-pixel ship at 0.4 pixels per unit: its tail is 30 units behind the centre.
    EXPECT_FLOAT_EQ(rear.x, 770.0f);
    EXPECT_FLOAT_EQ(rear.y, 600.0f);
    EXPECT_EQ(rear.ownerId, p.ship.id);
    EXPECT_EQ(rear.lifetimeMs, 800);
    EXPECT_EQ(rear.image, game.exhaustParticleImage);
    EXPECT_GE(rear.vx, 1.0f - 3.0f - 3.3334f);
    EXPECT_LE(rear.vx, 1.0f - 3.0f + 3.3334f);
    EXPECT_GE(rear.vy, -3.3334f);
    EXPECT_LE(rear.vy, 3.3334f);
    EXPECT_EQ(p.ship.lastExhaustTicks, 100500u);

    p.ship.angle = M_PI / 2;
    emitFrontExhaust(p.ship);
    ASSERT_EQ(game.particles.size(), 2u);
    const Particle front = game.particles[1];
    EXPECT_NEAR(front.x, 800.0f, 1e-3);
    EXPECT_FLOAT_EQ(front.y, 630.0f);
    EXPECT_GE(front.vy, 3.0f - 3.3334f);
    EXPECT_LE(front.vy, 3.0f + 3.3334f);
}

TEST(Particles, HeldThrustEmitsEveryOtherStepAt33Ms) {
    startCombat();
    addFlyingPlayer(800, 600, 0.0);
    holdKey(SDLK_UP);
    std::vector<size_t> counts;
    for (int step = 0; step < 10; ++step) {
        advanceClock(33);
        updatePlayers();
        counts.push_back(game.particles.size());
    }
    // 66 ms since the last particle is more than 34; 33 ms is not.
    const std::vector<size_t> expected = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5};
    EXPECT_EQ(counts, expected);
}

TEST(Particles, ExhaustIntervalIsStrictlyMoreThan34Ms) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    holdKey(SDLK_UP);
    advanceClock(100);
    updatePlayers();
    ASSERT_EQ(game.particles.size(), 1u);
    advanceClock(34);
    updatePlayers();
    EXPECT_EQ(game.particles.size(), 1u);
    advanceClock(1);
    updatePlayers();
    EXPECT_EQ(game.particles.size(), 2u);
    EXPECT_EQ(p.ship.lastExhaustTicks, currentTicks());
}

TEST(Particles, ThrustAndReverseTogetherGiveOnlyTheRearExhaust) {
    startCombat();
    addFlyingPlayer(800, 600, 0.0);
    holdKey(SDLK_UP);
    holdKey(SDLK_DOWN);
    advanceClock(100);
    updatePlayers();
    ASSERT_EQ(game.particles.size(), 1u);
    EXPECT_FLOAT_EQ(game.particles[0].x, 770.0f);
}

TEST(Particles, ExhaustFlickersWhileExplosionsKeepTheirPhase) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    emitRearExhaust(p.ship);
    makeExplosion(1, 2750.0f, 500, 500, 0, 0, game.explosionParticleImage);
    ASSERT_EQ(game.particles.size(), 2u);
    const int explosionPhase = game.particles[1].frameOffset;
    std::set<int> exhaustPhases;
    for (int step = 0; step < 40; ++step) {
        advanceClock(5);
        updateParticles();
        exhaustPhases.insert(game.particles[0].frameOffset);
        EXPECT_EQ(game.particles[1].frameOffset, explosionPhase);
    }
    EXPECT_GT(exhaustPhases.size(), 1u);
}

TEST(Particles, ExplosionFramesFollowTheFrameCounter) {
    startCombat();
    SDL_Surface* strip = makeColouredStrip();
    makeExplosion(1, 2750.0f, 500, 600, 0, 0, strip);
    Particle& p = game.particles[0];
    p.frameOffset = 1;
    // World (500, 600) is pixel (200, 240); the frame's left edge lies half the whole
    // strip (20 pixels) to the left, so the frame covers pixels 180 to 189.
    for (int counter = 0; counter < 8; ++counter) {
        game.frameCounter = counter;
        fillScreen(0, 0, 0);
        drawParticles();
        EXPECT_EQ(frameShownAt(185, 240), (counter + 1) % 4) << counter;
        EXPECT_EQ(frameShownAt(191, 240), -1) << counter;
        EXPECT_EQ(frameShownAt(178, 240), -1) << counter;
    }
    SDL_FreeSurface(strip);
}

TEST(Particles, PictureStandsStillWhileTheFrameCounterDoes) {
    startCombat();
    SDL_Surface* strip = makeColouredStrip();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    emitRearExhaust(p.ship);
    game.particles[0].image = strip;
    game.particles[0].x = 500;
    game.particles[0].y = 600;
    makeExplosion(1, 2750.0f, 1000, 600, 3, 3, strip);
    game.frameCounter = 17;
    fillScreen(0, 0, 0);
    drawParticles();
    const int exhaustFrame = frameShownAt(185, 240);
    const int explosionFrame = frameShownAt(385, 240);
    ASSERT_NE(exhaustFrame, -1);
    ASSERT_NE(explosionFrame, -1);
    // A paused game draws without stepping the world: time passes, nothing changes.
    for (int frame = 0; frame < 10; ++frame) {
        advanceClock(33);
        fillScreen(0, 0, 0);
        drawParticles();
        EXPECT_EQ(frameShownAt(185, 240), exhaustFrame);
        EXPECT_EQ(frameShownAt(385, 240), explosionFrame);
    }
    SDL_FreeSurface(strip);
}

TEST(Particles, MoveByGameSpeedAndStepLengthWithoutGravity) {
    startCombat();
    game.bodies.push_back(makePlanet(520, 600, 6.0f));
    makeExplosion(1, 0.0f, 500, 600, 2.0f, -1.0f, game.explosionParticleImage);
    game.gameSpeed = 2.0f;
    game.frameFactor = 1.5;
    advanceClock(10);
    updateParticles();
    EXPECT_FLOAT_EQ(game.particles[0].x, 506.0f);
    EXPECT_FLOAT_EQ(game.particles[0].y, 597.0f);
    EXPECT_EQ(game.particles[0].vx, 2.0f);
    EXPECT_EQ(game.particles[0].vy, -1.0f);
}

TEST(Particles, LifetimeCountsInGameSpeedMillisecondsStrictly) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600, 0.0);
    emitRearExhaust(p.ship);
    game.gameSpeed = 2.0f;
    advanceClock(400);
    updateParticles();
    EXPECT_EQ(game.particles[0].alive, 1);
    const float x = game.particles[0].x;
    advanceClock(1);
    updateParticles();
    EXPECT_EQ(game.particles[0].alive, 0);
    EXPECT_EQ(game.particles[0].x, x);
}
