#include "world/players.h"

#include <cstdlib>

#include "app/game_state.h"
#include "play/messages.h"
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

namespace {

// rand() % n for a range that may be empty: an empty range draws 0 without a division.
int drawBelow(int n) {
    return n > 0 ? std::rand() % n : 0;
}

} // namespace

void playerDied(int playerIndex) {
    Player& p = game.players[size_t(playerIndex)];
    Ship& s = p.ship;

    // A larger sprite makes a bigger burst; a design without pictures makes none.
    const bool hasImages = s.design >= 0 && size_t(s.design) < game.shipImages.size() &&
                           game.shipImages[size_t(s.design)].shipImage != nullptr;
    if (hasImages) {
        const ShipImageSet& set = game.shipImages[size_t(s.design)];
        const int count = set.shipImage->w * set.shipImage->h / 6;
        makeExplosion(count, 5000.0f, float(s.x), float(s.y), float(s.vx), float(s.vy),
                      set.explosionImage);
    }

    freshTextStream() << "Player " << (playerIndex + 1) << " died and has " << (p.lives - 1)
                      << " lives remaining";
    showMessage(game.textStream.str(), 3000);

    s.alive = 0;
    s.deathTicks = currentTicks();
    s.vx = 0.0;
    s.vy = 0.0;
    // The window's size in pixels, used as world units: the ship returns near the origin.
    s.x = drawBelow(game.screenWidth);
    s.y = drawBelow(game.screenHeight);
    p.lives -= 1;
}
