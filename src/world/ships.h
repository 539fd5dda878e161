// Players, their ships and controls: placement, the per-step update and drawing.
#pragma once

#include <SDL.h>

struct KeyBindings {
    SDLKey left = SDLK_UNKNOWN;
    SDLKey right = SDLK_UNKNOWN;
    SDLKey thrust = SDLK_UNKNOWN;
    SDLKey reverse = SDLK_UNKNOWN;
    SDLKey fire = SDLK_UNKNOWN;
};

struct Ship {
    int id = 0;
    int alive = 0;
    Uint32 deathTicks = 0;
    int respawnDelaySec = 0;
    Uint32 protectionStartTicks = 0;
    int protectionTimerOn = 0;
    int protectionMs = 0;
    int design = 0;          // index into shipImages
    double x = 0, y = 0;
    double vx = 0, vy = 0;
    int homingShots = 0;
    Uint32 lastFireTicks = 0;
    Uint32 lastExhaustTicks = 0;
    int fireDelayMs = 0;
    Uint32 exhaustIntervalMs = 0;
    float bulletSpeed = 0;
    double angle = 0;        // heading, radians
    float thrust = 0;        // acceleration of full thrust per 30-fps frame
    float turnRate = 0;
    int shielded = 0;        // ignored by collisions, drawn blinking
    int teamAttack = 0;      // this ship's shots can destroy other ships
    SDL_Surface* markerImage = nullptr; // heading marker on the rim
};

struct Player {
    int lives = 0;
    Ship ship = {};
    SDL_Joystick* joystick = nullptr;
    int usesJoystick = 0;
    int axisDeadZone = 0;
    int fireButton = 0;
    KeyBindings keys = {};
};

void initKeyBindings(KeyBindings& k);
void initShip(Ship& s);
void initPlayer(Player& p);
void resetShip(int playerIndex, float x, float y);
void respawnAllShips();
void updatePlayers();
void drawShips();
