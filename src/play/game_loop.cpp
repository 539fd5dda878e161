#include "play/game_loop.h"

#include <SDL_mixer.h>

#include "app/drawing.h"
#include "app/game_state.h"
#include "app/video.h"
#include "play/hotkeys.h"
#include "play/messages.h"
#include "play/music.h"
#include "play/scene.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/world_step.h"

namespace {

// What one call of runGame keeps for itself.
struct GameRun {
    int quitRequested = 0;
    int gameRunning = 1;
    int asteroidsRemaining = 0;
    Uint32 secondMark = 0; // start of the current one-second window; not reset per level
};

const Uint32 kSecondMs = 1000;
const Uint32 kSleptMs = 2; // more than this since the sleep mark means the frame slept

void startGame(GameRun& run) {
    run.secondMark = currentTicks();
    playMusicTrack(1, 0, 1);
    const size_t count = game.players.size();
    freshTextStream() << "New game started with " << count << " player" << (count > 1 ? "s" : "")
                      << " at difficulty level " << game.difficulty;
    showMessage(game.textStream.str(), 6000);
}

void startLevel(GameRun& run) {
    // Several level keys in one frame can take the level below 1; the level numbers
    // (square roots of the level among them) only make sense from 1 up.
    if (game.level < 1) {
        game.level = 1;
    }
    freshTextStream() << "Starting Level " << game.level;
    showMessage(game.textStream.str(), 6000);
    setLevelParameters(game.level, game.difficulty);
    run.asteroidsRemaining = game.levelParams.asteroidCount;
    setupLevel();
    // The first step of the level must not count the set-up time.
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

enum class FrameResult { goOn, leave };

// The event queue. Escape leaves at once; a closed window finishes the frame. One pump,
// then only what it queued, as in the menus: a joystick that toggles a button at every
// pump would keep a polling loop going forever.
FrameResult readEvents(GameRun& run) {
    SDL_PumpEvents();
    while (SDL_PeepEvents(&game.event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (game.event.type == SDL_QUIT) {
            run.quitRequested = 1;
        } else if (game.event.type == SDL_KEYDOWN) {
            if (handleGameKey(game.event.key.keysym.sym, run.asteroidsRemaining)) {
                return FrameResult::leave;
            }
        }
    }
    return FrameResult::goOn;
}

FrameResult playFrame(GameRun& run) {
    // What is left of the level, counted before anything happens this frame.
    run.asteroidsRemaining = countAsteroids();
    // The frame's budget is measured from here.
    const Uint32 frameStart = currentTicks();
    // Alt+Enter is read from the held keys, not from events.
    game.keyState = SDL_GetKeyState(nullptr);
    showReports(checkFullscreenToggle());
    // Window close and hotkeys.
    if (readEvents(run) == FrameResult::leave) {
        return FrameResult::leave;
    }
    // A paused world stands still, but its messages still run out.
    if (game.paused == 0) {
        stepWorldFrame();
    } else {
        expireMessages();
    }
    // The picture, every layer on.
    drawScene(1, 1, 1, 1, 1, 1, 1, 1);
    if (SDL_Flip(game.screen) == -1) {
        return FrameResult::leave;
    }
    // Frames drawn, and frames played for the level's own count.
    game.framesCounted += 1;
    if (game.paused == 0) {
        game.frameCounter += 1;
    }
    // Frame-rate figure, next track and game-over check.
    if (currentTicks() - run.secondMark > kSecondMs) {
        onceASecond(run);
    }
    // Sleep to the cap, then let Maximum Speed adjust it.
    const Uint32 sleepMark = currentTicks();
    paceFrame(frameStart);
    adaptFrameCap(sleepMark);
    return FrameResult::goOn;
}

} // namespace

void paceFrame(Uint32 frameStart) {
    const float frameTime = 1000.0f / float(game.frameCap);
    const Uint32 elapsed = currentTicks() - frameStart;
    if (!(float(elapsed) < frameTime) || !game.frameCapOn) {
        return;
    }
    // Read again, so the sleep also covers the time since the check. Taken as a
    // difference from the frame start, the sum stays exact at any clock value; if
    // the clock passed the frame time meanwhile, the rest is negative and nobody sleeps.
    const Uint32 elapsedNow = currentTicks() - frameStart;
    sleepRemaining(double(frameTime) - double(elapsedNow));
}

void adaptFrameCap(Uint32 sleepMark) {
    if (!game.maxSpeedOn || !game.frameCapOn) {
        return;
    }
    if (currentTicks() - sleepMark > kSleptMs && game.frameCap < game.maxVariableFrameCap) {
        game.frameCap += 1;
        return;
    }
    // Not slept at all, or the ceiling was lowered under the cap: one step down,
    // never below 1 so that the frame time and the step share stay finite.
    if (currentTicks() == sleepMark || game.frameCap > game.maxVariableFrameCap) {
        if (game.frameCap > 1) {
            game.frameCap -= 1;
        }
    }
}

int runGame() {
    GameRun run;
    startGame(run);
    for (;;) {
        startLevel(run);
        // A level always plays at least one frame: levels without asteroids would
        // otherwise follow one another without reading a single event.
        do {
            if (playFrame(run) == FrameResult::leave) {
                return 1;
            }
        } while (run.quitRequested == 0 && run.asteroidsRemaining > 0 && run.gameRunning == 1);

        if (run.quitRequested != 0) {
            return 0;
        }
        if (run.gameRunning == 0) {
            return 1; // the music plays on into the menus
        }
        game.level += 1;
    }
}
