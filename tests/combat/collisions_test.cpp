// Who hits what in one step: shots on asteroids, planets, ships and turrets, and
// asteroids on ships.
#include "combat_fixture.h"

namespace {

// Asteroids of one size still in play (a broken parent shrinks before it dies).
int countKind(int size) {
    int n = 0;
    for (const Body& b : game.bodies) {
        n += (b.alive && b.kind == asteroid && b.size == size) ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(Collisions, ShipShotBreaksAnAsteroidWithExplosionAndSound) {
    startCombat();
    game.soundsOn = 1;
    Player& p = addFlyingPlayer(100, 100);
    addAsteroid(800, 600, 0.5f, 0.25f);
    addShot(800, 600, p.ship.id, 0, 11.0f, 0.0f);
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 0);
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(game.bodies.size(), 3u); // two fragments of size 3
    EXPECT_EQ(countKind(3), 2);
    // 35 x 35 pixels / 15 = 81 particles, bursting around the asteroid's own motion.
    ASSERT_EQ(game.particles.size(), 81u);
    EXPECT_EQ(game.particles[0].x, 800.0f);
    EXPECT_EQ(game.particles[0].image, game.explosionParticleImage);
    EXPECT_EQ(playsOf(game.asteroidHitSound), 1);
}

TEST(Collisions, HitSoundOnlyWhileSoundsAreOn) {
    startCombat();
    Player& p = addFlyingPlayer(100, 100);
    addAsteroid(800, 600);
    addShot(800, 600, p.ship.id);
    resolveCollisions();
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(playsOf(game.asteroidHitSound), 0);
}

TEST(Collisions, TurretShotOnAsteroidEndsWithoutBreakUpSoundOrExplosion) {
    startCombat();
    game.soundsOn = 1;
    addFlyingPlayer(100, 100);
    setLevelParameters(10, 1);
    Turret& t = addTurret(1400, 1000);
    addAsteroid(800, 600);
    addShot(800, 600, t.id, 1, 4.7f, 0.0f);
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 0);
    EXPECT_EQ(game.bodies.size(), 1u);
    EXPECT_EQ(game.bodies[0].alive, 1);
    EXPECT_TRUE(game.particles.empty());
    EXPECT_EQ(playsOf(game.asteroidHitSound), 0);
}

TEST(Collisions, ShotMissesAnAsteroidOutOfReach) {
    startCombat();
    Player& p = addFlyingPlayer(100, 100);
    addAsteroid(800, 600);
    // Radii 17 + 2 pixels: 19.5 pixels (48.75 units) apart is a miss.
    addShot(848.75f, 600, p.ship.id);
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 1);
    EXPECT_EQ(game.bodies[0].alive, 1);
}

TEST(Collisions, TwoShipsShotsOnOneAsteroidBreakItTwice) {
    startCombat();
    const int firstId = addFlyingPlayer(100, 100).ship.id;
    const int secondId = addFlyingPlayer(1500, 100).ship.id;
    addAsteroid(800, 600);
    addShot(795, 600, firstId);
    addShot(805, 600, secondId);
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 0);
    EXPECT_EQ(game.bullets[1].alive, 0);
    // The body killed by the first shot still meets the second: a second break-up,
    // a size smaller, and a second burst.
    EXPECT_EQ(countKind(3), 2);
    EXPECT_EQ(countKind(2), 2);
    EXPECT_EQ(game.bodies.size(), 5u);
    EXPECT_EQ(game.particles.size(), 2u * 81u);
}

TEST(Collisions, FragmentsMadeInThePassAreNotVisited) {
    startCombat();
    Player& p = addFlyingPlayer(100, 100);
    addAsteroid(800, 600);
    // A shot that is not absorbed flies on through everything it breaks.
    Bullet& s = addShot(800, 600, p.ship.id);
    s.absorbedOnHit = 0;
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 1);
    EXPECT_EQ(game.bodies.size(), 3u);
    EXPECT_EQ(countAlive(game.bodies), 2);
    EXPECT_EQ(game.particles.size(), 81u);
}

TEST(Collisions, TinyAsteroidBreaksWithoutParticles) {
    startCombat();
    Player& p = addFlyingPlayer(100, 100);
    Body& b = addAsteroid(800, 600);
    SDL_Surface* tiny = makeSprite(3, 4);
    b.image = tiny;
    addShot(800, 600, p.ship.id);
    resolveCollisions();
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(game.bodies.size(), 3u);
    EXPECT_TRUE(game.particles.empty());
    game.bodies.clear();
    SDL_FreeSurface(tiny);
}

TEST(Collisions, StillShotOfABackwardFlyingShipBreaksWithoutSpread) {
    startCombat();
    // Flying backward at the shot speed, the ship's shot stands still.
    Player& p = addFlyingPlayer(400, 600, 0.0);
    p.ship.vx = -11.0;
    shipFire(p.ship);
    ASSERT_EQ(game.bullets[0].vx, 0.0f);
    addAsteroid(game.bullets[0].x, game.bullets[0].y, 0.75f, -0.5f);
    resolveCollisions();
    EXPECT_EQ(game.bodies[0].alive, 0);
    ASSERT_EQ(game.particles.size(), 81u);
    for (const Particle& q : game.particles) {
        EXPECT_EQ(q.vx, 0.75f);
        EXPECT_EQ(q.vy, -0.5f);
    }
}

TEST(Collisions, ShotOnAnyBulletTargetDestroysIt) {
    startCombat();
    Body b = makePlanet(800, 600, 5.0f);
    b.hitClass = destroyedByAnyBullet;
    game.bodies.push_back(b);
    addShot(800, 600, 12345);
    resolveCollisions();
    EXPECT_EQ(game.bodies[0].alive, 0);
    EXPECT_EQ(game.bullets[0].alive, 0);
}

TEST(Collisions, ShotsAndShipsPassOverAPlanet) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    game.bodies.push_back(makePlanet(800, 600, 6.0f));
    addShot(800, 600, p.ship.id);
    addShot(810, 600, 777, 1);
    game.bullets[1].ownerId = p.ship.id; // its own shot: harmless to it
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 1);
    EXPECT_EQ(game.bullets[1].alive, 1);
    EXPECT_EQ(game.bodies[0].alive, 1);
    EXPECT_EQ(p.ship.alive, 1);
    EXPECT_EQ(p.lives, 6);
}

TEST(Collisions, ShieldedShipIgnoresShotsAndAsteroids) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    p.ship.shielded = 1;
    addAsteroid(850, 600);
    addShot(770, 600, 999, 1);
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 1);
    EXPECT_EQ(p.lives, 6);
    EXPECT_EQ(game.bullets[0].alive, 1);
    EXPECT_TRUE(game.messages.empty());
}

TEST(Collisions, HarmingShotKillsAShipAndEnds) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    addShot(770, 600, 999, 1);
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 0);
    EXPECT_EQ(p.lives, 5);
    EXPECT_EQ(game.bullets[0].alive, 0);
    // 24 x 24 pixels / 6 = 96 particles of the ship's explosion.
    EXPECT_EQ(game.particles.size(), 96u);
}

TEST(Collisions, WithTeamAttackOffAShotPassesAnotherPlayersShip) {
    startCombat();
    addFlyingPlayer(800, 600);
    addFlyingPlayer(200, 200);
    Player& target = game.players[0];
    Player& shooter = game.players[1];
    addShot(800, 600, shooter.ship.id, shooter.ship.teamAttack);
    resolveCollisions();
    EXPECT_EQ(target.ship.alive, 1);
    EXPECT_EQ(target.lives, 6);
    EXPECT_EQ(game.bullets[0].alive, 1);
}

TEST(Collisions, WithTeamAttackOnAShotKillsAnotherPlayersShip) {
    startCombat();
    addFlyingPlayer(800, 600);
    addFlyingPlayer(200, 200);
    Player& target = game.players[0];
    Player& shooter = game.players[1];
    shooter.ship.teamAttack = 1;
    shooter.ship.angle = std::atan2(400.0, 600.0);
    shipFire(shooter.ship);
    game.bullets[0].x = 800;
    game.bullets[0].y = 600;
    resolveCollisions();
    EXPECT_EQ(target.ship.alive, 0);
    EXPECT_EQ(shooter.ship.alive, 1);
    EXPECT_EQ(game.bullets[0].alive, 0);
}

TEST(Collisions, AsteroidAndShotTogetherKillAShipOnce) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    // The asteroid touches the ship (20 pixels apart, radii 12 + 17) but not the shot.
    addAsteroid(850, 600);
    addShot(770, 600, 999, 1);
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 0);
    EXPECT_EQ(p.lives, 5);
    EXPECT_EQ(game.messages.size(), 1u);
    EXPECT_EQ(game.particles.size(), 96u);
    EXPECT_EQ(game.bullets[0].alive, 0);
    EXPECT_EQ(game.bodies[0].alive, 1);
}

TEST(Collisions, ShipTouchingAnAsteroidDies) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    addAsteroid(850, 600);
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 0);
    EXPECT_EQ(p.lives, 5);
    EXPECT_EQ(game.bodies[0].alive, 1);
}

TEST(Collisions, ShipsOwnShotNeverEndsOnIt) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600, 1.0);
    p.ship.teamAttack = 1;
    shipFire(p.ship);
    game.bullets.push_back(game.bullets[0]);
    game.bullets[1].x = 800;
    game.bullets[1].y = 600;
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 1);
    EXPECT_EQ(game.bullets[0].alive, 1);
    EXPECT_EQ(game.bullets[1].alive, 1);
}

TEST(Collisions, DeadShipIsNotTested) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    p.ship.alive = 0;
    addShot(800, 600, 999, 1);
    resolveCollisions();
    EXPECT_EQ(p.lives, 6);
    EXPECT_EQ(game.bullets[0].alive, 1);
}

TEST(Collisions, ShotsEndOnTurretsButNotOnTheirOwn) {
    startCombat();
    Player& p = addFlyingPlayer(100, 100);
    setLevelParameters(10, 1);
    Turret& t = addTurret(800, 600);
    addShot(800, 600, p.ship.id);
    addShot(810, 600, t.id, 1);
    Bullet& piercing = addShot(790, 600, p.ship.id);
    piercing.absorbedOnHit = 0;
    resolveCollisions();
    EXPECT_EQ(game.bullets[0].alive, 0);
    EXPECT_EQ(game.bullets[1].alive, 1);
    EXPECT_EQ(game.bullets[2].alive, 1);
    EXPECT_EQ(game.turrets.size(), 1u);
}

TEST(Collisions, DeadShotsAreLeftAlone) {
    startCombat();
    Player& p = addFlyingPlayer(800, 600);
    Bullet& s = addShot(800, 600, 999, 1);
    s.alive = 0;
    addAsteroid(1200, 900);
    addShot(1200, 900, p.ship.id).alive = 0;
    resolveCollisions();
    EXPECT_EQ(p.ship.alive, 1);
    EXPECT_EQ(game.bodies.size(), 1u);
    EXPECT_EQ(game.bodies[0].alive, 1);
}
