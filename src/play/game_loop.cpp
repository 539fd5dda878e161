#include "play/game_loop.h"

#include <cmath>

#include "app/drawing.h"
#include "app/game_state.h"
#include "app/video.h"
#include "play/hotkeys.h"
#include "play/messages.h"
#include "play/music.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/world_step.h"

namespace {

struct GameRun {
    int quitRequested = 0;
    int gameRunning = 1;
    int asteroidsRemaining = 0;
    Uint32 secondMark = 0;
};

void announceGame() {
    const size_t n = game.players.size();
    freshTextStream() << "New game started with " << n << " player" << (n > 1 ? "s" : "")
                      << " at difficulty level " << game.difficulty;
    showMessage(game.textStream.str(), 6000);
}

void startLevel(GameRun& run) {
    // Several level keys in one frame can take the level below 1; play resumes at 1.
    if (game.level < 1) {
        game.level = 1;
    }
    freshTextStream() << "Starting Level " << game.level;
    showMessage(game.textStream.str(), 6000);
    setLevelParameters(game.level, game.difficulty);
    run.asteroidsRemaining = game.levelParams.asteroidCount;
    setupLevel();
    game.lastFrameTicks = currentTicks();
}

void onceASecond(GameRun& run) {
    run.secondMark = currentTicks();
    game.fpsShown = truncToInt(game.measuredFps);
    if (Mix_PlayingMusic() == 0 && game.musicOn) {
        playMusicTrack(1, 0, 1);
    }
    run.gameRunning = 0;
    for (const Player& p : game.players) {
        if (p.lives > 0) {
            run.gameRunning = 1;
        }
    }
}

void paceFrame(Uint32 frameStart) {
    const float frameTime = 1000.0f / float(game.frameCap);
    const Uint32 elapsed = currentTicks() - frameStart;
    if (float(elapsed) < frameTime && game.frameCapOn) {
        // Taken as a difference of clock values: rounding the clock itself to single
        // precision would make the sleep wrong by whole frames after hours of uptime.
        const Uint32 now = currentTicks();
        sleepRemaining(double(frameTime) - double(Uint32(now - frameStart)));
    }
}

void adaptMaximumSpeed(Uint32 sleepMark) {
    if (!game.maxSpeedOn || !game.frameCapOn) {
        return;
    }
    if (currentTicks() - sleepMark > 2 && game.frameCap < game.maxVariableFrameCap) {
        game.frameCap += 1;
    } else if (currentTicks() == sleepMark || game.frameCap > game.maxVariableFrameCap) {
        if (game.frameCap > 1) {
            game.frameCap -= 1;
        }
    }
}

} // namespace

int runGame() {
    GameRun run;
    run.secondMark = currentTicks();
    playMusicTrack(1, 0, 1);
    announceGame();

    for (;;) {
        startLevel(run);
        while (run.quitRequested == 0 && run.asteroidsRemaining > 0 && run.gameRunning == 1) {
            run.asteroidsRemaining = countAsteroids();
            const Uint32 frameStart = currentTicks();
            game.keyState = SDL_GetKeyState(nullptr);
            checkFullscreenToggle();

            while (SDL_PollEvent(&game.event)) {
                if (game.event.type == SDL_QUIT) {
                    run.quitRequested = 1;
                } else if (game.event.type == SDL_KEYDOWN) {
                    if (handleGameKey(game.event.key.keysym.sym, run.asteroidsRemaining)) {
                        return 1;
                    }
                }
            }

            if (game.paused == 0) {
                stepWorldFrame();
            } else {
                expireMessages();
            }
            drawScene(1, 1, 1, 1, 1, 1, 1, 1);
            if (SDL_Flip(game.screen) == -1) {
                return 1;
            }
            game.framesCounted += 1;
            if (game.paused == 0) {
                game.frameCounter += 1;
            }
            if (currentTicks() - run.secondMark > 1000) {
                onceASecond(run);
            }
            const Uint32 sleepMark = currentTicks();
            paceFrame(frameStart);
            adaptMaximumSpeed(sleepMark);
        }
        if (run.quitRequested) {
            return 0;
        }
        if (run.gameRunning == 0) {
            return 1;
        }
        game.level += 1;
    }
}
