// The game loop: its messages and ways out, frame pacing and Maximum Speed.
#include <cstdlib>
#include <tuple>

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
        const std::vector<int> seen = {runGame(), sleepsSeen(), game.frameCounter,
                                       Mix_PlayingMusic()};
        EXPECT_EQ(seen, (r.key ? std::vector<int>{1, 0, 0, 0} : std::vector<int>{0, 1, 1, 1}));
        ASSERT_EQ(game.messages.size(), 3u);
        EXPECT_TRUE(messageSays(0, r.track) && messageSays(1, r.text) &&
                    messageSays(2, "Starting Level 1"));
        EXPECT_EQ(game.messages[1].durationMs + game.messages[2].durationMs, 12000u);
    }
}

// A frame's sleep and the Maximum Speed step after it, as the loop runs them: frame start,
// clock at the check, ms the clock moves per read, cap, capping, Maximum Speed, its ceiling,
// the sleep (-1: none) and the cap after. The cap rises after a sleep of more than 2 ms and
// falls after none, never below 1 and never staying above the ceiling.
TEST(FramePacing, SleepsWhatIsLeftOfTheFrameAndMaximumSpeedFollows) {
    // clang-format off
    const struct { Uint32 start, now, perRead; int cap, on, speed, ceiling, sleep, after; } rows[] = {
        {100000, 100010, 0, 30, 1, 0, 60, 23, 30},
        {100000, 100000, 0, 60, 1, 0, 60, 16, 60},
        {100000, 100000, 0, 40, 1, 0, 60, 25, 40},
        {100000, 100000, 0, 1, 1, 0, 60, 1000, 1},
        {100000, 100000, 0, 30, 0, 1, 60, -1, 30},
        {100000, 100033, 0, 30, 1, 0, 60, -1, 30}, // a third of a millisecond is no sleep
        {100000, 100034, 0, 30, 1, 1, 60, -1, 29},
        {100000, 100033, 5, 30, 1, 0, 60, -1, 30}, // the clock passed the frame between reads
        {100000, 100010, 4, 30, 1, 0, 60, 19, 30}, // the sleep covers the time since the check
        {100000, 99999, 0, 30, 1, 0, 60, -1, 30},  // a clock behind the frame start
        {0xFFFFFFF0u, 5, 0, 30, 1, 0, 60, 12, 30}, // across the wrap
        {0xF0000000u, 0xF000000Au, 0, 30, 1, 0, 60, 23, 30}, // no whole milliseconds in a float
        {100000, 100030, 0, 30, 1, 1, 60, 3, 31},
        {100000, 100031, 0, 30, 1, 1, 60, 2, 30},
        {100000, 100600, 0, 2, 1, 1, 60, -1, 1},
        {100000, 101000, 0, 1, 1, 1, 60, -1, 1},
        {100000, 100000, 0, 60, 1, 1, 60, 16, 60},
        {100000, 100000, 0, 60, 1, 1, 58, 16, 59},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.start << " " << r.now << " cap " << r.cap);
        runScriptOnSleeps({}); // each sleep moves the manual clock on
        setManualClock(r.now);
        clockSeam.advancePerRead = r.perRead;
        std::tie(game.frameCap, game.frameCapOn, game.maxSpeedOn, game.maxVariableFrameCap) =
            std::tie(r.cap, r.on, r.speed, r.ceiling);
        paceFrame(r.start);
        adaptFrameCap(r.now);
        EXPECT_EQ(sleepLog(), std::vector<Uint32>(r.sleep < 0 ? 0 : 1, Uint32(r.sleep)));
        EXPECT_EQ(game.frameCap, r.after);
    }
}
