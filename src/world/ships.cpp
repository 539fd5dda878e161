#include "world/ships.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/drawing.h"
#include "app/game_state.h"
#include "world/bullets.h"
#include "world/particles.h"

namespace {

void playEngine() {
    if (game.soundsOn) {
        Mix_PlayChannelTimed(-1, game.engineSound, 0, -1);
    }
}

SDL_Surface* shipImageOf(const Ship& s) {
    if (s.design < 0 || size_t(s.design) >= game.shipImages.size()) {
        return nullptr;
    }
    return game.shipImages[size_t(s.design)].shipImage;
}

bool exhaustDue(const Ship& s, Uint32 now) {
    return now - s.lastExhaustTicks > s.exhaustIntervalMs;
}

// A key binding outside SDL's key array reads as not held.
bool keyHeld(SDLKey key) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    const int k = int(key);
    return keys != nullptr && k >= 0 && k < count && keys[k] != 0;
}

// A handle that could not be opened reads as centred with no button held.
Uint8 readHat(SDL_Joystick* j) {
    return j != nullptr ? SDL_JoystickGetHat(j, 0) & 0xff : SDL_HAT_CENTERED;
}

Sint16 readAxis(SDL_Joystick* j, int axis) {
    return j != nullptr ? SDL_JoystickGetAxis(j, axis) : 0;
}

bool readButton(SDL_Joystick* j, int button) {
    return j != nullptr && button >= 0 && SDL_JoystickGetButton(j, button) != 0;
}

// Every push reads the heading before this step's turn. Each term rounds to single
// precision before it is added, so thrust and reverse held together cancel exactly.
void push(const Ship& s, double amount, float& ax, float& ay) {
    ax += roundToSingle(amount * std::cos(s.angle));
    ay += roundToSingle(amount * std::sin(s.angle));
}

// Joystick control: the hat wins over the stick. Returns whether fire is requested.
bool joystickControl(Player& p, float& ax, float& ay, Uint32 now) {
    Ship& s = p.ship;
    const float g = game.gameSpeed;
    const double f = game.frameFactor;
    const Uint8 hat = readHat(p.joystick);
    bool hatThrust = false;
    if (hat == SDL_HAT_UP || hat == SDL_HAT_LEFTUP || hat == SDL_HAT_RIGHTUP) {
        playEngine();
        push(s, s.thrust, ax, ay);
        if (exhaustDue(s, now)) {
            emitRearExhaust(s, now);
        }
        hatThrust = true;
    } else if (hat == SDL_HAT_DOWN || hat == SDL_HAT_LEFTDOWN || hat == SDL_HAT_RIGHTDOWN) {
        playEngine();
        push(s, -s.thrust, ax, ay);
        if (exhaustDue(s, now)) {
            emitFrontExhaust(s, now);
        }
        hatThrust = true;
    }
    if (hat == SDL_HAT_LEFT || hat == SDL_HAT_LEFTUP || hat == SDL_HAT_LEFTDOWN) {
        s.angle += g * s.turnRate * f;
    } else if (hat == SDL_HAT_RIGHT || hat == SDL_HAT_RIGHTUP || hat == SDL_HAT_RIGHTDOWN) {
        s.angle -= g * s.turnRate * f;
    } else if (!hatThrust) {
        const int sx = readAxis(p.joystick, 0);
        const int sy = readAxis(p.joystick, 1);
        const int dz = p.axisDeadZone;
        if (sx < -dz || sx > dz) {
            s.angle -= sx * (1.0 / 32768) * s.turnRate * g * f;
        }
        // Forward is negative on the stick's y axis, hence the minus for both directions.
        if (sy < -dz) {
            playEngine();
            push(s, -(sy / 32768.0 * s.thrust), ax, ay);
            if ((now - s.lastExhaustTicks) * g > s.exhaustIntervalMs) {
                emitRearExhaust(s, now);
            }
        } else if (sy > dz) {
            playEngine();
            push(s, -(sy / 32768.0 * s.thrust), ax, ay);
            if (exhaustDue(s, now)) {
                emitFrontExhaust(s, now);
            }
        }
    }
    return readButton(p.joystick, p.fireButton);
}

// Keyboard control, in the fixed order thrust, reverse, left, right, fire.
bool keyboardControl(Player& p, float& ax, float& ay, Uint32 now) {
    Ship& s = p.ship;
    const float g = game.gameSpeed;
    const double f = game.frameFactor;
    if (keyHeld(p.keys.thrust)) {
        playEngine();
        push(s, s.thrust, ax, ay);
        if (exhaustDue(s, now)) {
            emitRearExhaust(s, now);
        }
    }
    if (keyHeld(p.keys.reverse)) {
        playEngine();
        push(s, -s.thrust, ax, ay);
        if (exhaustDue(s, now)) {
            emitFrontExhaust(s, now);
        }
    }
    if (keyHeld(p.keys.left)) {
        s.angle += g * s.turnRate * f;
    }
    if (keyHeld(p.keys.right)) {
        s.angle -= g * s.turnRate * f;
    }
    return keyHeld(p.keys.fire);
}

} // namespace

void initKeyBindings(KeyBindings& k) {
    k.left = SDLK_LEFT;
    k.right = SDLK_RIGHT;
    k.thrust = SDLK_UP;
    k.reverse = SDLK_DOWN;
    k.fire = SDLK_SPACE;
}

void initShip(Ship& s) {
    s = Ship{};
    s.id = nextObjectId();
    s.alive = 1;
    s.protectionTimerOn = 0;
    s.design = 0;
    s.homingShots = 0;
    s.lastExhaustTicks = currentTicks() - 34;
    s.exhaustIntervalMs = 34;
    s.angle = 90.0;
    s.thrust = 0.0f;
    s.shielded = 0;
    s.teamAttack = 0;
    s.markerImage = game.shipBulletImage;
}

void initPlayer(Player& p) {
    p = Player{};
    p.lives = 1;
    initShip(p.ship);
    p.joystick = nullptr;
    p.usesJoystick = 0;
    p.axisDeadZone = 8000;
    p.fireButton = 0;
    initKeyBindings(p.keys);
}

void resetShip(int playerIndex, float x, float y) {
    Ship& s = game.players[size_t(playerIndex)].ship;
    s.respawnDelaySec = 3;
    s.protectionStartTicks = currentTicks();
    s.protectionTimerOn = 1;
    s.protectionMs = 3000;
    s.x = x;
    s.y = y;
    s.vx = 0;
    s.vy = 0;
    s.homingShots = 0;
    s.lastFireTicks = 425;
    s.fireDelayMs = 425;
    s.bulletSpeed = 11.0f;
    s.angle = (std::rand() % 36000) / 100.0;
    s.thrust = 0.13f;
    s.turnRate = 0.115f;
    s.shielded = 0;
    s.markerImage = game.shipBulletImage;
}

void respawnAllShips() {
    for (size_t i = 0; i < game.players.size(); ++i) {
        const int y = std::rand() % game.worldHeight;
        const int x = std::rand() % game.worldWidth;
        resetShip(int(i), float(x), float(y));
        game.players[i].ship.shielded = 1;
        game.players[i].ship.protectionTimerOn = 1;
    }
}

void updatePlayers() {
    for (size_t i = 0; i < game.players.size(); ++i) {
        Player& p = game.players[i];
        Ship& s = p.ship;
        const Uint32 now = currentTicks();
        const float g = game.gameSpeed;

        // A dead ship, or one whose player is out, only waits for its return.
        if (s.alive == 0 || p.lives < 1) {
            if ((now - s.deathTicks) * g > s.respawnDelaySec * 1000) {
                s.protectionTimerOn = 1;
                s.shielded = 1;
                s.alive = 1;
                s.protectionStartTicks = now;
            }
            continue;
        }

        if (s.protectionTimerOn && (now - s.protectionStartTicks) * g > s.protectionMs) {
            s.protectionTimerOn = 0;
            s.shielded = 0;
        }

        float ax = 0;
        float ay = 0;
        applyGravity(s, ax, ay);

        game.keyState = SDL_GetKeyState(nullptr);
        const bool fireRequested =
            p.usesJoystick ? joystickControl(p, ax, ay, now) : keyboardControl(p, ax, ay, now);

        // Below the frame cap the delay between shots grows in the same ratio.
        const float share = game.measuredFps / float(std::max(game.frameCap, 1));
        const bool fire = fireRequested && (now - s.lastFireTicks) * g * share > s.fireDelayMs;

        integrateMotion(ax, ay, s.x, s.y, s.vx, s.vy);

        if (fire) {
            shipFire(s);
            s.lastFireTicks = now;
        }
    }
}

void drawShips() {
    for (const Player& p : game.players) {
        const Ship& s = p.ship;
        SDL_Surface* image = shipImageOf(s);
        if (s.alive == 0 || p.lives <= 0 || image == nullptr) {
            continue;
        }
        if (s.shielded != 0 && game.frameCounter % 2 == 0 && game.paused == 0) {
            continue;
        }
        blitWorld(truncToInt(s.x), truncToInt(game.worldHeight - s.y), image, game.screen);
        blitOnRim(truncToInt(s.x), truncToInt(s.y), s.angle, image, s.markerImage, game.screen);
    }
}
