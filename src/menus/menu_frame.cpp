#include "menus/menu_frame.h"

#include "app/startup.h"
#include "app/video.h"
#include "play/messages.h"
#include "play/scene.h"
#include "world/objects.h"

void drawTitle() {
    const char* title = "STELLAROX";
    // The shadow first, so the black text lies on top where they overlap.
    drawTextLine(game.largeFont, title, game.shadowColour, [](int w, int h) {
        return std::pair<int, int>(game.screenWidth / 2 - w / 2 + 4, h / 3 + 4);
    });
    drawTextLine(game.largeFont, title, game.textColour, [](int w, int h) {
        return std::pair<int, int>(game.screenWidth / 2 - w / 2, h / 3);
    });
}

void drawMenuBackdrop(int wrapShips) {
    moveBodies();
    expireMessages();
    wrapObjects(wrapShips);
    drawScene(0, 1, 0, 1, 0, 1, 0, 0);
}

int centredX(int w) {
    return game.screenWidth / 2 - w / 2;
}

SDL_Color itemColour(int cursor, int number) {
    return cursor == number ? game.highlightColour : game.textColour;
}

bool confirmKeyHeld() {
    const Uint8* keys = game.keyState != nullptr ? game.keyState : SDL_GetKeyState(nullptr);
    return keys[SDLK_LALT] == 0 && keys[SDLK_RALT] == 0;
}

void readKeyboard() {
    game.keyState = SDL_GetKeyState(nullptr);
    showReports(checkFullscreenToggle());
}

void quitFromMenu() {
    quit(0);
}

void frameCapWait(Uint32 frameStart) {
    const Uint32 elapsed = currentTicks() - frameStart;
    const double target = 1000.0 / game.frameCap;
    if (target > elapsed && game.frameCapOn) {
        // A clock that moved on between the readings gives no sleep, never a wrapped one.
        sleepRemaining(target - double(Uint32(currentTicks() - frameStart)));
    }
}
