#include "menus/new_game.h"

#include <climits>
#include <cmath>

#include "app/startup.h"
#include "menus/controls.h"
#include "menus/menu_frame.h"
#include "world/players.h"

int configureGame() {
    if (playerCountPrompt() == -1) {
        return -1;
    }
    createPlayers();
    if (controlsPrompt() == -1) {
        return -1;
    }
    return shipPrompt() == -1 ? -1 : 0;
}

int playerCountPrompt() {
    int running = 1;
    while (running) {
        const Uint32 frameStart = currentTicks();
        drawMenuBackdrop(0);
        drawTitle();
        freshTextStream() << "How Many Players? " << game.playerCount;
        drawTextLine(game.largeFont, game.textStream.str(), game.textColour, [](int w, int h) {
            return std::pair<int, int>(centredX(w) + 4, game.screenHeight / 2 - 2 * h);
        });
        readKeyboard();
        const bool abandoned = drainMenuEvents([&](SDLKey key) {
            if (key == SDLK_UP) {
                // The count stops at the largest int rather than wrapping round.
                if (game.playerCount < INT_MAX) {
                    game.playerCount += 1;
                }
            } else if (key == SDLK_DOWN) {
                if (game.playerCount > 1) {
                    game.playerCount -= 1;
                }
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
        if (SDL_Flip(game.screen) == -1) {
            return -1;
        }
        frameCapWait(frameStart);
    }
    return 0;
}

int shipPrompt() {
    double angle = 0.0;
    const int designs = int(game.shipImages.size());
    if (game.playerCount <= 0 || designs == 0) {
        return 0;
    }
    for (int p = 0; p < game.playerCount; ++p) {
        int design = 0;
        int running = 1;
        while (running) {
            const Uint32 frameStart = currentTicks();
            drawMenuBackdrop(0);
            drawTitle();
            freshTextStream() << "What ship will player " << (p + 1) << " use?";
            drawTextLine(game.largeFont, game.textStream.str(), game.textColour, [](int w, int h) {
                return std::pair<int, int>(centredX(w), int(game.screenHeight / 2 - 3.5 * h));
            });
            SDL_Surface* preview = game.shipImages[size_t(design)].previewImage;
            SDL_Surface* shot = game.largeShipBulletImage;
            if (preview != nullptr) {
                blitAt(game.screenWidth / 2 - preview->w / 2,
                       game.screenHeight / 2 - preview->h / 2, preview, game.screen);
                if (shot != nullptr) {
                    // The shot circles the ship on an ellipse through the preview's edges.
                    const int x = truncToInt((game.screenWidth / 2 - shot->w / 2) +
                                             std::cos(angle) * (preview->w / 2));
                    const int y = truncToInt((game.screenHeight / 2 - shot->h / 2) +
                                             std::sin(angle) * (preview->h / 2));
                    blitAt(x, y, shot, game.screen);
                }
            }
            angle += 0.05;
            if (angle > 360.0) {
                angle -= 360.0;
            }
            readKeyboard();
            const bool abandoned = drainMenuEvents([&](SDLKey key) {
                if (key == SDLK_LEFT) {
                    design -= 1;
                    if (design < 0) {
                        design = designs - 1;
                    }
                } else if (key == SDLK_RIGHT) {
                    design += 1;
                    if (design > designs - 1) {
                        design = 0;
                    }
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
            if (SDL_Flip(game.screen) == -1) {
                quit(1);
            }
            frameCapWait(frameStart);
        }
        if (size_t(p) < game.players.size()) {
            game.players[size_t(p)].ship.design = design;
        }
    }
    return 0;
}

int difficultyPrompt() {
    game.level = 1;
    game.difficulty = 1;
    int running = 1;
    while (running) {
        const Uint32 frameStart = currentTicks();
        drawMenuBackdrop(0);
        drawTitle();
        const int half = game.screenHeight / 2;
        drawTextLine(
            game.mediumFont, "What level of difficulty do you want?", game.textColour,
            [half](int w, int h) { return std::pair<int, int>(centredX(w), half - (3 * h) / 2); });
        drawTextLine(
            game.mediumFont, "1 is the easiest, 4+ is ludicrous", game.textColour,
            [half](int w, int h) { return std::pair<int, int>(centredX(w), half - h / 2); });
        freshTextStream() << game.difficulty;
        drawTextLine(game.largeFont, game.textStream.str(), game.textColour, [half](int w, int h) {
            return std::pair<int, int>(centredX(w) + 4, half + h / 2);
        });
        readKeyboard();
        const bool abandoned = drainMenuEvents([&](SDLKey key) {
            if (key == SDLK_UP || key == SDLK_RIGHT) {
                if (game.difficulty < INT_MAX) {
                    game.difficulty += 1;
                }
            } else if (key == SDLK_DOWN || key == SDLK_LEFT) {
                if (game.difficulty > 1) {
                    game.difficulty -= 1;
                }
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
        if (SDL_Flip(game.screen) == -1) {
            quit(1);
        }
        frameCapWait(frameStart);
    }
    return 1;
}
