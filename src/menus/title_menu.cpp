#include "menus/title_menu.h"

#include "app/startup.h"
#include "menus/menu_frame.h"
#include "menus/new_game.h"
#include "menus/settings_menu.h"
#include "play/game_loop.h"
#include "play/messages.h"
#include "play/music.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/players.h"

namespace {

const double kFrameMs30 = 33.333333333333336;

// Item i stands (numerator x h) / denominator above the bottom edge.
struct TitleItem {
    const char* text;
    int numerator;
    int denominator;
};

const TitleItem kItems[4] = {
    {"Play Game", 9, 1}, {"Configure Game", 15, 2}, {"Settings", 6, 1}, {"Quit", 9, 2}};

void drawTitleItems() {
    drawTextLine(game.smallFont, "version 0.8.2", game.textColour,
                 [](int w, int h) { return std::pair<int, int>(centredX(w), 4 * h); });
    for (int i = 0; i < 4; ++i) {
        const TitleItem& item = kItems[i];
        drawTextLine(game.largeFont, item.text, itemColour(game.titleChoice, i), [&](int w, int h) {
            return std::pair<int, int>(centredX(w) + 4,
                                       game.screenHeight - (item.numerator * h) / item.denominator);
        });
    }
}

} // namespace

void titleMenu() {
    int running = 1;
    while (running) {
        playMusicTrack(0, 7, 1);
        game.frameFactor = double(Uint32(currentTicks() - game.lastFrameTicks)) / kFrameMs30;
        game.lastFrameTicks = currentTicks();
        drawMenuBackdrop(1);
        drawTitle();
        drawTitleItems();

        // Taken after the drawing, so the wait does not count it.
        const Uint32 frameStart = currentTicks();
        readKeyboard();
        drainMenuEvents([&](SDLKey key) {
            if (key == SDLK_DOWN) {
                game.titleChoice += 1;
            } else if (key == SDLK_UP) {
                game.titleChoice -= 1;
            } else if (key == SDLK_RETURN && confirmKeyHeld()) {
                running = 0;
            } else if (key == SDLK_ESCAPE) {
                running = 0;
            }
            return keepGoing;
        });
        if (game.titleChoice > 3) {
            game.titleChoice = 0;
        }
        if (game.titleChoice < 0) {
            game.titleChoice = 3;
        }
        if (SDL_Flip(game.screen) == -1) {
            quit(1000);
        }
        frameCapWait(frameStart);
    }
}

void runMenus() {
    for (;;) {
        SDL_WM_SetCaption("Stellarox", nullptr);
        titleMenu();
        if (game.titleChoice == 0) {
            if (game.players.empty()) {
                createPlayers();
            }
            for (Player& p : game.players) {
                p.lives = 6;
            }
            if (difficultyPrompt() == -1) {
                continue;
            }
            clearMessages();
            if (runGame() == 0) {
                return;
            }
        } else if (game.titleChoice == 1) {
            configureGame();
        } else if (game.titleChoice == 2) {
            settingsMenu();
            setLevelParameters(game.level, game.difficulty);
            setupLevel();
        } else if (game.titleChoice == 3) {
            return;
        }
    }
}
