#include "play/messages.h"

#include "app/drawing.h"
#include "app/game_state.h"

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

void showReports(const std::vector<Report>& reports) {
    for (const Report& r : reports) {
        showMessage(r.text, r.durationMs);
    }
}
