#include "world/players.h"

#include <cstdlib>

#include "app/game_state.h"
#include "world/particles.h"
#include "world/ships.h"

void createPlayers() {
    game.players.clear();
    for (int i = 0; i < game.playerCount; ++i) {
        addPlayer();
    }
}

void addPlayer() {
    Player p;
    initPlayer(p);
    game.players.push_back(p);
}

void playerDied(int playerIndex) {
    Player& p = game.players[size_t(playerIndex)];
    Ship& s = p.ship;
    const ShipImageSet& set = game.shipImages[size_t(s.design)];

    const int count = set.shipImage != nullptr ? set.shipImage->w * set.shipImage->h / 6 : 0;
    makeExplosion(count, 5000.0f, float(s.x), float(s.y), float(s.vx), float(s.vy),
                  set.explosionImage);

    freshTextStream() << "Player " << (playerIndex + 1) << " died and has " << (p.lives - 1)
                      << " lives remaining";
    showMessage(game.textStream.str(), 3000);

    s.alive = 0;
    s.deathTicks = currentTicks();
    s.vx = 0.0;
    s.vy = 0.0;
    // The window's size in pixels, used as world units: the ship returns near the origin.
    s.x = std::rand() % game.screenWidth;
    s.y = std::rand() % game.screenHeight;
    p.lives -= 1;
}
