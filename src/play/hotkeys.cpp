#include "play/hotkeys.h"

#include <string>

#include "app/game_state.h"
#include "play/messages.h"
#include "play/music.h"
#include "world/objects.h"

namespace {

void confirm(const std::string& text) {
    showMessage(text, 3000);
}

void confirmNumber(const char* text, int value) {
    freshTextStream() << text << value;
    confirm(game.textStream.str());
}

// Returns the new value of the flag after flipping it.
int toggle(int& flag) {
    flag = flag == 0 ? 1 : 0;
    return flag;
}

void killAsteroids() {
    for (Body& b : game.bodies) {
        if (b.kind == asteroid) {
            b.alive = 0;
        }
    }
}

bool handleAltKey(SDLKey key, int& asteroidsRemaining) {
    switch (key) {
    case SDLK_MINUS:
        if (game.maxVariableFrameCap > 1) {
            game.maxVariableFrameCap -= 1;
            confirmNumber("Max Variable Framerate set to ", game.maxVariableFrameCap);
        }
        break;
    case SDLK_EQUALS:
        game.maxVariableFrameCap += 1;
        confirmNumber("Max Variable Framerate set to ", game.maxVariableFrameCap);
        break;
    case SDLK_0:
        if (toggle(game.maxSpeedOn)) {
            game.savedFrameCap = game.frameCap;
            confirm("Maximum Speed enabled");
        } else {
            game.frameCap = game.savedFrameCap;
            confirm("Maximum Speed disabled");
        }
        break;
    case SDLK_KP_PLUS:
        if (game.maxSpeedOn == 0) {
            game.frameCap += 1;
            confirmNumber("Frames Per Second set to ", game.frameCap);
        }
        break;
    case SDLK_KP_MINUS:
        if (game.frameCap > 1 && game.maxSpeedOn == 0) {
            game.frameCap -= 1;
            confirmNumber("Frames Per Second set to ", game.frameCap);
        }
        break;
    case SDLK_u:
        confirm(toggle(game.frameCapOn) ? "Framerate capping enabled"
                                        : "Framerate capping disabled");
        break;
    case SDLK_f:
        confirm(toggle(game.fpsDisplayOn) ? "FPS display enabled" : "FPS display disabled");
        break;
    case SDLK_q:
        confirm(toggle(game.crosshairOn) ? "Crosshair display enabled"
                                         : "Crosshair display disabled");
        break;
    case SDLK_s:
        confirm(toggle(game.soundsOn) ? "Sounds ON" : "Sounds OFF");
        break;
    case SDLK_m: {
        const int on = toggle(game.musicOn);
        playMusicTrack(0, 0, 1);
        confirm(on ? "Music ON" : "Music OFF");
        break;
    }
    case SDLK_n:
        playMusicTrack(1, 0, 1);
        break;
    case SDLK_1:
    case SDLK_2:
    case SDLK_3:
    case SDLK_4:
    case SDLK_5:
    case SDLK_6:
        playMusicTrack(1, int(key) - int(SDLK_0), 1);
        break;
    case SDLK_w:
        for (Player& p : game.players) {
            toggle(p.ship.teamAttack);
        }
        if (!game.players.empty()) {
            confirm(game.players[0].ship.teamAttack ? "Team attack ON" : "Team attack OFF");
        }
        break;
    case SDLK_p:
        asteroidsRemaining = 0;
        killAsteroids();
        break;
    case SDLK_o:
        if (game.level > 1) {
            game.level -= 2;
            asteroidsRemaining = 0;
            killAsteroids();
        }
        break;
    case SDLK_k:
        if (game.difficulty > 1) {
            game.difficulty -= 1;
            game.level -= 1;
            asteroidsRemaining = 0;
            killAsteroids();
            confirmNumber("Difficulty level set to ", game.difficulty);
        }
        break;
    case SDLK_l:
        game.difficulty += 1;
        game.level -= 1;
        killAsteroids();
        break;
    default:
        break;
    }
    return false;
}

} // namespace

bool handleGameKey(SDLKey key, int& asteroidsRemaining) {
    const Uint8* keys = game.keyState != nullptr ? game.keyState : SDL_GetKeyState(nullptr);
    if (keys[SDLK_RALT] || keys[SDLK_LALT]) {
        return handleAltKey(key, asteroidsRemaining);
    }
    if (key == SDLK_ESCAPE) {
        Mix_HaltMusic();
        game.bullets.clear();
        game.particles.clear();
        return true;
    }
    if (key == SDLK_PAUSE) {
        confirm(toggle(game.paused) ? "Game paused" : "Game unpaused");
    }
    return false;
}
