#include "menus/controls.h"

#include "menus/menu_frame.h"

namespace {

const char* const kKeyWords[5] = {"Left", "Right", "Up", "Down", "Fire"};

// One prompt line in the large font, centred, two heights above the middle.
void drawPrompt(const std::string& text) {
    drawTextLine(game.largeFont, text, game.textColour, [](int w, int h) {
        return std::pair<int, int>(centredX(w), game.screenHeight / 2 - 2 * h);
    });
}

// Returns the chosen option (0 keyboard, d >= 1 joystick d - 1), or -1 when abandoned.
int chooseDevice(int p) {
    int d = 0;
    int running = 1;
    int n = SDL_NumJoysticks();
    if (n == 0) {
        return 0;
    }
    while (running && n > 0) {
        const Uint32 frameStart = currentTicks();
        n = SDL_NumJoysticks();
        drawMenuBackdrop(0);
        drawTitle();
        freshTextStream() << "What device will player " << (p + 1) << " use?";
        drawPrompt(game.textStream.str());
        if (d == 0) {
            freshTextStream() << "Keyboard";
        } else {
            // A joystick may have no name: show the option without one.
            const char* name = SDL_JoystickName(d - 1);
            freshTextStream() << (name != nullptr ? name : "") << " (joystick " << d << ")";
        }
        drawTextLine(game.mediumFont, game.textStream.str(), game.textColour, [](int w, int h) {
            return std::pair<int, int>(centredX(w), int(game.screenHeight / 2 - 0.5 * h));
        });
        readKeyboard();
        const bool abandoned = drainMenuEvents([&](SDLKey key) {
            if (key == SDLK_DOWN || key == SDLK_LEFT) {
                d += 1;
            } else if (key == SDLK_UP || key == SDLK_RIGHT) {
                d -= 1;
            } else if (key == SDLK_RETURN && confirmKeyHeld()) {
                running = 0;
            } else if (key == SDLK_ESCAPE) {
                return abandonNow;
            }
            return keepGoing;
        });
        if (abandoned) {
            return -1;
        }
        if (d > n) {
            d = 0;
        }
        if (d < 0) {
            d = n;
        }
        if (SDL_Flip(game.screen) == -1) {
            return -1;
        }
        frameCapWait(frameStart);
    }
    return d;
}

int captureFireButton(int p) {
    Player& player = game.players[size_t(p)];
    player.fireButton = -1;
    while (player.fireButton == -1) {
        const Uint32 frameStart = currentTicks();
        drawMenuBackdrop(0);
        drawTitle();
        freshTextStream() << "Press button player " << (p + 1) << " will use for Fire";
        drawPrompt(game.textStream.str());
        const bool abandoned =
            drainMenuEvents([](SDLKey key) { return key == SDLK_ESCAPE ? abandonNow : keepGoing; });
        if (abandoned) {
            return -1;
        }
        // Of several buttons held together the lowest-numbered wins.
        const int buttons =
            player.joystick != nullptr ? SDL_JoystickNumButtons(player.joystick) : 0;
        for (int b = 0; b < buttons && player.fireButton == -1; ++b) {
            if (SDL_JoystickGetButton(player.joystick, b)) {
                player.fireButton = b;
            }
        }
        if (SDL_Flip(game.screen) == -1) {
            return -1;
        }
        frameCapWait(frameStart);
    }
    return 0;
}

int captureKeys(int p) {
    SDLKey captured[5] = {};
    for (int k = 0; k < 5; ++k) {
        bool done = false;
        while (!done) {
            const Uint32 frameStart = currentTicks();
            drawMenuBackdrop(0);
            drawTitle();
            freshTextStream() << "Press key player " << (p + 1) << " will use for " << kKeyWords[k];
            drawPrompt(game.textStream.str());
            const bool abandoned = drainMenuEvents([&](SDLKey key) {
                if (key == SDLK_ESCAPE) {
                    return abandonNow;
                }
                if (key != SDLK_PAUSE) {
                    captured[k] = key;
                    done = true;
                }
                return keepGoing;
            });
            if (abandoned) {
                return -1;
            }
            if (SDL_Flip(game.screen) == -1) {
                return -1;
            }
            frameCapWait(frameStart);
        }
    }
    KeyBindings& keys = game.players[size_t(p)].keys;
    keys.left = captured[0];
    keys.right = captured[1];
    keys.thrust = captured[2];
    keys.reverse = captured[3];
    keys.fire = captured[4];
    return 0;
}

} // namespace

void openJoystick(Player& player, int number) {
    if (number + 1 > SDL_NumJoysticks()) {
        return;
    }
    player.joystick = SDL_JoystickOpen(number);
}

int controlsPrompt() {
    for (int p = 0; p < game.playerCount && size_t(p) < game.players.size(); ++p) {
        const int d = chooseDevice(p);
        if (d == -1) {
            return -1;
        }
        Player& player = game.players[size_t(p)];
        if (d >= 1) {
            openJoystick(player, d - 1);
            player.usesJoystick = 1;
            if (captureFireButton(p) == -1) {
                return -1;
            }
        } else {
            player.usesJoystick = 0;
            if (captureKeys(p) == -1) {
                return -1;
            }
        }
    }
    return 0;
}
