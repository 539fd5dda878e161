// The game loop: its messages and ways out, frame pacing and Maximum Speed, all driven
// through the clock seam.
#include <SDL_mixer.h>

#include <cstdlib>

#include "play/music.h"
#include "play/play.h"

// The first piece replaces the title track at once (rand() is 1687063760 after seed 12,
// 757547896 after 8); a closed window finishes its frame, Escape leaves before the sleep.
TEST(GameFlow, AnnouncesTheGameAndEndsOnCloseOrEscape) {
    startPlay();
    // clang-format off
    const struct { int players, difficulty; unsigned seed; SDLKey key; const char *track, *text; } rows[] = {
        {1, 1, 12, SDLK_UNKNOWN, "Song changed to track 3", "New game started with 1 player at difficulty level 1"},
        {2, 3, 8, SDLK_ESCAPE, "Song changed to track 5", "New game started with 2 players at difficulty level 3"},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        game.musicOn = 1;
        playMusicTrack(0, 7, 0);
        game.playerCount = r.players;
        createPlayers();
        game.difficulty = r.difficulty;
        game.frameCounter = 0;
        clearMessages();
        std::srand(r.seed);
        r.key ? void(pushKeyDown(r.key)) : pushQuit();
        runScriptOnSleeps({});
        EXPECT_EQ(runGame(), r.key ? 1 : 0);
        EXPECT_EQ(sleepsSeen(), r.key ? 0 : 1);
        EXPECT_EQ(game.frameCounter, r.key ? 0 : 1);
        EXPECT_EQ(Mix_PlayingMusic(), r.key ? 0 : 1);
        ASSERT_EQ(game.messages.size(), 3u);
        EXPECT_TRUE(messageSays(0, r.track) && messageSays(1, r.text));
        EXPECT_TRUE(messageSays(2, "Starting Level 1"));
        EXPECT_EQ(game.messages[1].durationMs + game.messages[2].durationMs, 12000u);
    }
}

TEST(FramePacing, SleepsWhatIsLeftOfTheFrame) {
    // Frame start, clock at the check, ms the clock moves per read, cap, capping, sleep or -1.
    // clang-format off
    const struct { Uint32 start, now, perRead; int cap, on, sleep; } rows[] = {
        {100000, 100010, 0, 30, 1, 23},
        {100000, 100000, 0, 60, 1, 16},
        {100000, 100000, 0, 40, 1, 25},
        {100000, 100000, 0, 1, 1, 1000},
        {100000, 100000, 0, 30, 0, -1},
        {100000, 100033, 0, 30, 1, -1}, // a third of a millisecond is no sleep
        {100000, 100034, 0, 30, 1, -1},
        {100000, 100033, 5, 30, 1, -1}, // the clock passed the frame between the readings
        {100000, 100010, 4, 30, 1, 19}, // the sleep covers the time since the check
        {100000, 99999, 0, 30, 1, -1},  // a clock behind the frame start
        {0xFFFFFFF0u, 5, 0, 30, 1, 12}, // across the wrap
        {0xF0000000u, 0xF000000Au, 0, 30, 1, 23}, // where a float holds no whole milliseconds
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.start << " " << r.now << " cap " << r.cap);
        runScriptOnSleeps({});
        setManualClock(r.now);
        clockSeam.advancePerRead = r.perRead;
        game.frameCap = r.cap;
        game.frameCapOn = r.on;
        paceFrame(r.start);
        EXPECT_EQ(sleepLog(), std::vector<Uint32>(r.sleep < 0 ? 0 : 1, Uint32(r.sleep)));
    }
}

TEST(MaximumSpeed, CapRisesAfterASleepAndFallsWithout) {
    // Maximum Speed, capping, cap, ceiling, ms since the sleep mark, cap after.
    // clang-format off
    const struct { int on, capOn, cap, ceiling, slept, after; } rows[] = {
        {1, 1, 30, 60, 3, 31},
        {1, 1, 30, 60, 2, 30},
        {1, 1, 30, 60, 0, 29},
        {1, 1, 2, 60, 0, 1},
        {1, 1, 1, 60, 0, 1},
        {1, 1, 60, 60, 16, 60},
        {1, 1, 60, 58, 16, 59},
        {1, 0, 30, 60, 0, 30},
        {0, 1, 30, 60, 0, 30},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "cap " << r.cap << " slept " << r.slept);
        game.maxSpeedOn = r.on;
        game.frameCapOn = r.capOn;
        game.frameCap = r.cap;
        game.maxVariableFrameCap = r.ceiling;
        setManualClock(100000 + Uint32(r.slept));
        adaptFrameCap(100000);
        EXPECT_EQ(game.frameCap, r.after);
    }
}
