#include "play/scene.h"

#include "app/drawing.h"
#include "app/game_state.h"
#include "play/messages.h"
#include "world/asteroids.h"
#include "world/bullets.h"
#include "world/particles.h"
#include "world/ships.h"
#include "world/turrets.h"

void drawScene(int particlesOn, int bodiesOn, int bulletsOn, int turretsOn, int shipsOn,
               int messagesOn, int crosshairsOn, int fpsOn) {
    blitAt(0, 0, game.background, game.screen);
    if (fpsOn && game.fpsDisplayOn && game.smallFont != nullptr) {
        freshTextStream() << "FPS: " << game.fpsShown;
        game.textSurface =
            TTF_RenderText_Solid(game.smallFont, game.textStream.str().c_str(), game.textColour);
        if (game.textSurface != nullptr) {
            blitAt(game.screenWidth - game.textSurface->w - 5, 5, game.textSurface, game.screen);
            SDL_FreeSurface(game.textSurface);
            game.textSurface = nullptr;
        }
    }
    if (messagesOn) {
        drawMessages();
    }
    if (particlesOn) {
        drawParticles();
    }
    if (bodiesOn) {
        drawBodies();
    }
    if (bulletsOn) {
        drawBullets();
    }
    if (turretsOn) {
        drawTurrets();
    }
    if (shipsOn) {
        drawShips();
    }
    if (crosshairsOn && game.crosshairOn) {
        drawCrosshairs();
    }
}
