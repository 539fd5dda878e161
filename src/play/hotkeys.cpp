#include "play/hotkeys.h"

#include <SDL_mixer.h>

#include <climits>
#include <string>

#include "app/game_state.h"
#include "play/messages.h"
#include "play/music.h"

namespace {

const Uint32 kConfirmMs = 3000;

bool altHeld() {
    const Uint8* keys = game.keyState != nullptr ? game.keyState : SDL_GetKeyState(nullptr);
    return keys[SDLK_RALT] != 0 || keys[SDLK_LALT] != 0;
}

void confirm(const std::string& text) {
    showMessage(text, kConfirmMs);
}

void confirmNumber(const char* text, int value) {
    freshTextStream() << text << value;
    confirm(game.textStream.str());
}

// Sets the flag to 1 if it was 0 and to 0 otherwise; returns the new value.
int toggle(int& flag) {
    flag = flag == 0 ? 1 : 0;
    return flag;
}

void toggleAndConfirm(int& flag, const char* onText, const char* offText) {
    confirm(toggle(flag) ? onText : offText);
}

// The asteroids are not broken up: the next world step simply removes them.
void killAsteroids() {
    for (Body& b : game.bodies) {
        if (b.kind == asteroid) {
            b.alive = 0;
        }
    }
}

// "No upper limit" stops short of overflowing the int.
bool raise(int& value) {
    if (value == INT_MAX) {
        return false;
    }
    value += 1;
    return true;
}

bool handlePlainKey(SDLKey key) {
    switch (key) {
    case SDLK_ESCAPE:
        Mix_HaltMusic();
        game.bullets.clear();
        game.particles.clear();
        return true;
    case SDLK_PAUSE:
        toggleAndConfirm(game.paused, "Game paused", "Game unpaused");
        return false;
    default:
        return false;
    }
}

void handleMusicKey(SDLKey key) {
    switch (key) {
    case SDLK_m:
        toggle(game.musicOn);
        playMusicTrack(0, 0, 1); // starts or stops; its announcement comes first
        confirm(game.musicOn ? "Music ON" : "Music OFF");
        break;
    case SDLK_n:
        playMusicTrack(1, 0, 1);
        break;
    default: // SDLK_1 .. SDLK_6
        playMusicTrack(1, int(key - SDLK_1) + 1, 1);
        break;
    }
}

void handleFrameKey(SDLKey key) {
    switch (key) {
    case SDLK_MINUS:
        if (game.maxVariableFrameCap > 1) {
            game.maxVariableFrameCap -= 1;
            confirmNumber("Max Variable Framerate set to ", game.maxVariableFrameCap);
        }
        break;
    case SDLK_EQUALS:
        if (raise(game.maxVariableFrameCap)) {
            confirmNumber("Max Variable Framerate set to ", game.maxVariableFrameCap);
        }
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
        // Locked while Maximum Speed steers the cap.
        if (game.maxSpeedOn == 0 && raise(game.frameCap)) {
            confirmNumber("Frames Per Second set to ", game.frameCap);
        }
        break;
    case SDLK_KP_MINUS:
        if (game.frameCap > 1 && game.maxSpeedOn == 0) {
            game.frameCap -= 1;
            confirmNumber("Frames Per Second set to ", game.frameCap);
        }
        break;
    default: // SDLK_u
        toggleAndConfirm(game.frameCapOn, "Framerate capping enabled",
                         "Framerate capping disabled");
        break;
    }
}

// Level keys work through the level end, which adds one to the level.
void handleLevelKey(SDLKey key, int& asteroidsRemaining) {
    switch (key) {
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
    default: // SDLK_l
        // asteroidsRemaining keeps this frame's count: the level ends a frame later,
        // once the world step has removed the dead asteroids.
        raise(game.difficulty);
        game.level -= 1;
        killAsteroids();
        break;
    }
}

void toggleTeamAttack() {
    if (game.players.empty()) {
        return; // nobody to change, nothing to report
    }
    for (Player& p : game.players) {
        toggle(p.ship.teamAttack);
    }
    confirm(game.players.front().ship.teamAttack ? "Team attack ON" : "Team attack OFF");
}

void handleAltKey(SDLKey key, int& asteroidsRemaining) {
    switch (key) {
    case SDLK_MINUS:
    case SDLK_EQUALS:
    case SDLK_0:
    case SDLK_KP_PLUS:
    case SDLK_KP_MINUS:
    case SDLK_u:
        handleFrameKey(key);
        break;
    case SDLK_f:
        toggleAndConfirm(game.fpsDisplayOn, "FPS display enabled", "FPS display disabled");
        break;
    case SDLK_q:
        toggleAndConfirm(game.crosshairOn, "Crosshair display enabled",
                         "Crosshair display disabled");
        break;
    case SDLK_s:
        toggleAndConfirm(game.soundsOn, "Sounds ON", "Sounds OFF");
        break;
    case SDLK_m:
    case SDLK_n:
    case SDLK_1:
    case SDLK_2:
    case SDLK_3:
    case SDLK_4:
    case SDLK_5:
    case SDLK_6:
        handleMusicKey(key);
        break;
    case SDLK_w:
        toggleTeamAttack();
        break;
    case SDLK_p:
    case SDLK_o:
    case SDLK_k:
    case SDLK_l:
        handleLevelKey(key, asteroidsRemaining);
        break;
    default:
        break;
    }
}

} // namespace

bool handleGameKey(SDLKey key, int& asteroidsRemaining) {
    // With Alt held only the Alt table counts, so Escape and Pause do nothing then.
    if (altHeld()) {
        handleAltKey(key, asteroidsRemaining);
        return false;
    }
    return handlePlainKey(key);
}
