// The one process-wide record of settings, assets, input, timers and world.
// Every subsystem reads and writes its fields directly; nothing else redeclares them.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <sstream>
#include <vector>

#include "app/clock.h"
#include "world/objects.h"
#include "world/ships.h"

// The pictures of one ship design: sprite, larger preview, explosion strip.
// One on-screen line of the message queue.
struct Message {
    Uint32 durationMs = 5000;
    Uint32 startTicks = 0;
    SDL_Surface* surface = nullptr; // owned: freed by whoever removes the message
    int alive = 1;                  // a message is shown from the moment it is made
};

struct ShipImageSet {
    SDL_Surface* shipImage = nullptr;
    SDL_Surface* previewImage = nullptr;
    SDL_Surface* explosionImage = nullptr;
};

struct GameState {
    // ---- Display and world geometry
    int screenWidth = 640; // set by setVideoMode to what was obtained
    int screenHeight = 480;
    int screenBpp = 32;
    int fullscreen = 0;
    int worldWidth = 1600; // play field in world units, never changed
    int worldHeight = 1200;

    // ---- Audio settings
    int sampleRate = 44100;
    int sampleSize = 2048; // chunk size for Mix_OpenAudio
    int soundVolume = 128; // 0..128
    int musicVolume = 128;
    int soundsOn = 1;
    int musicOn = 1;

    // ---- Frame timing
    int frameCap = 30; // never below 1
    int frameCapOn = 1;
    int savedFrameCap = 30; // frameCap kept while Maximum Speed is on
    int maxVariableFrameCap = 60;
    int maxSpeedOn = 0;
    int fpsDisplayOn = 1;
    int fpsSampleMs = 1000;
    int framesCounted = 0;
    int frameCounter = 0;     // unpaused game frames; drives animation and blinking
    double frameFactor = 1.0; // last step's length in 30-fps frames
    float gameSpeed = 1.0f;
    int paused = 0;

    // ---- Gameplay tuning (never changed at run time)
    int exhaustSpeed = 3;
    int maxAcceleration = 1;
    int particleFrameCount = 4;
    int turretRetargetMs = 1000;
    int crosshairOn = 1;
    int keyRepeatDelay = 100;

    // ---- Colours (the fourth byte stays 0)
    SDL_Color highlightColour = {255, 255, 255, 0};
    SDL_Color shadowColour = {128, 128, 128, 0};
    SDL_Color textColour = {0, 0, 0, 0}; // never changed: text is black

    // ---- Derived from the sizes above when the record is created
    double spriteScale = deriveSpriteScale(screenWidth, screenHeight);
    double scaleX = double(screenWidth) / double(worldWidth);
    double scaleY = double(screenHeight) / double(worldHeight);
    SDL_Surface* screen = nullptr;

    // The only way numbers become text: clear, empty, write, read.
    std::stringstream textStream;

    // ---- Clock-dependent timers, taken when the record is created
    float measuredFps = float(frameCap);
    Uint32 fpsSampleStart = currentTicks();
    Uint32 lastFrameTicks = currentTicks();
    int fpsShown = int(measuredFps);

    // ---- Loaded assets (owned here; null until loaded)
    SDL_Surface* background = nullptr;
    SDL_Surface* planetImage = nullptr;
    SDL_Surface* asteroidImages[6] = {}; // indexed by asteroid size 1..5; [0] unused
    SDL_Surface* shipBulletImage = nullptr;
    SDL_Surface* largeShipBulletImage = nullptr;
    SDL_Surface* turretBulletImage = nullptr;
    SDL_Surface* turretImage = nullptr;
    SDL_Surface* exhaustParticleImage = nullptr;
    SDL_Surface* explosionParticleImage = nullptr;
    SDL_Surface* crosshairImage = nullptr;
    std::vector<ShipImageSet> shipImages;
    SDL_Surface* textSurface = nullptr; // scratch: rendered, blitted and freed at once
    Mix_Chunk* shipFireSound = nullptr;
    Mix_Chunk* turretFireSound = nullptr;
    Mix_Chunk* engineSound = nullptr;
    Mix_Chunk* asteroidHitSound = nullptr;
    Mix_Music* music = nullptr;
    std::vector<Uint8> musicBytes; // the checked file `music` plays from
    int musicTrack = 0;            // the track `music` holds, 1..7
    Uint32 musicStartTicks = 0;    // when it was started
    int musicRefused[8] = {};      // per track: its file was read and refused this run
    std::vector<Uint8> fontBytes;  // the checked font file every font size is opened from
    TTF_Font* smallFont = nullptr;
    TTF_Font* mediumFont = nullptr;
    TTF_Font* largeFont = nullptr;

    // ---- Input
    const Uint8* keyState = nullptr; // SDL_GetKeyState(NULL), refreshed every frame
    SDL_Event event = {};
    int titleChoice = 0;

    // ---- World collections (plain values, erased in place)
    std::vector<Turret> turrets;
    std::vector<Body> bodies;
    std::vector<Message> messages;
    std::vector<Player> players;
    std::vector<Particle> particles;
    std::vector<Bullet> bullets;

    // ---- Current game
    int level = 1;
    int difficulty = 1;
    int playerCount = 1;
    LevelParameters levelParams = {};
    int nextObjectId = 0;

    static double deriveSpriteScale(int w, int h);
};

extern GameState game;

// Clears the shared text stream's state and contents before a new use.
std::stringstream& freshTextStream();
