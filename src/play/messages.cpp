#include "play/messages.h"

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/asteroids.h"
#include "world/bullets.h"
#include "world/particles.h"
#include "world/ships.h"
#include "world/turrets.h"

namespace {

// A failed render leaves no surface: the message then simply draws nothing.
SDL_Surface* renderLine(const std::string& text) {
    if (game.smallFont == nullptr) {
        return nullptr;
    }
    return TTF_RenderText_Solid(game.smallFont, text.c_str(), game.textColour);
}

Message newMessage() {
    Message m;
    m.surface = renderLine("*Error initializing message");
    m.startTicks = currentTicks();
    return m;
}

} // namespace

void showMessage(const std::string& text, Uint32 durationMs) {
    Message m = newMessage();
    SDL_FreeSurface(m.surface);
    m.surface = renderLine(text);
    m.durationMs = durationMs;
    game.messages.push_back(m);
}

void expireMessages() {
    for (Message& m : game.messages) {
        if (currentTicks() - m.startTicks > m.durationMs) {
            m.alive = 0;
        }
    }
    std::erase_if(game.messages, [](Message& m) {
        if (m.alive != 0) {
            return false;
        }
        SDL_FreeSurface(m.surface);
        m.surface = nullptr;
        return true;
    });
}

void clearMessages() {
    for (Message& m : game.messages) {
        SDL_FreeSurface(m.surface);
    }
    game.messages.clear();
}

void drawMessages() {
    const int x = int(game.screenWidth / 160.0);
    for (size_t i = 0; i < game.messages.size(); ++i) {
        SDL_Surface* line = game.messages[i].surface;
        if (line == nullptr) {
            continue;
        }
        const int y = int(double(i) * (game.screenHeight / 160.0 + line->h));
        blitAt(x, y, line, game.screen);
    }
}

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
