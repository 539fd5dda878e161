#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "play/play_fixture.h"
#include "world/objects.h"
#include "world/particles.h"

namespace {

const Uint32 kStart = 100000;

// Sleep requests land in the log instead of waiting.
void recordSleeps() {
    useManualClock(kStart);
    runScriptOnSleeps({});
}

} // namespace

TEST(FramePacing, SleepsWhatIsLeftOfTheFrame) {
    recordSleeps();
    setManualClock(kStart + 10);
    paceFrame(kStart);
    EXPECT_EQ(sleepLog(), (std::vector<Uint32>{23}));
}

TEST(FramePacing, FrameTimeFollowsTheCap) {
    recordSleeps();
    game.frameCap = 60;
    paceFrame(kStart);
    setManualClock(kStart); // each sleep moves the manual clock on
    game.frameCap = 40;     // a whole 25 ms
    paceFrame(kStart);
    setManualClock(kStart);
    game.frameCap = 1;
    paceFrame(kStart);
    EXPECT_EQ(sleepLog(), (std::vector<Uint32>{16, 25, 1000}));
}

TEST(FramePacing, NoSleepWithCappingOff) {
    recordSleeps();
    game.frameCapOn = 0;
    paceFrame(kStart);
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(FramePacing, NoSleepOnceTheFrameUsedItsTime) {
    recordSleeps();
    setManualClock(kStart + 33); // a third of a millisecond left: nothing to sleep
    paceFrame(kStart);
    setManualClock(kStart + 34);
    paceFrame(kStart);
    setManualClock(kStart + 500);
    paceFrame(kStart);
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(FramePacing, ClockMovingOnBetweenTheReadingsNeverSleepsNegative) {
    recordSleeps();
    // The check still sees 33 ms spent; the next reading is already past the frame.
    setManualClock(kStart + 33);
    clockSeam.advancePerRead = 5;
    paceFrame(kStart);
    clockSeam.advancePerRead = 0;
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(FramePacing, TheSleepCoversTimeSpentAfterTheCheck) {
    recordSleeps();
    setManualClock(kStart + 10);
    clockSeam.advancePerRead = 4; // check at +10, sleep computed at +14
    paceFrame(kStart);
    clockSeam.advancePerRead = 0;
    EXPECT_EQ(sleepLog(), (std::vector<Uint32>{19}));
}

TEST(FramePacing, ExactAcrossTheClockWrapAndAtLargeClockValues) {
    recordSleeps();
    setManualClock(5); // 21 ms after a frame that started just before the wrap
    paceFrame(0xFFFFFFF0u);
    setManualClock(0xF0000000u + 10); // far beyond where floats hold whole milliseconds
    paceFrame(0xF0000000u);
    EXPECT_EQ(sleepLog(), (std::vector<Uint32>{12, 23}));
}

TEST(FramePacing, ClockBehindTheFrameStartSleepsNotAtAll) {
    recordSleeps();
    setManualClock(kStart - 1);
    paceFrame(kStart);
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(MaximumSpeed, ClimbsAfterAFrameThatSlept) {
    useManualClock(kStart);
    game.maxSpeedOn = 1;
    setManualClock(kStart + 3);
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 31);
}

TEST(MaximumSpeed, AShortSleepChangesNothing) {
    useManualClock(kStart);
    game.maxSpeedOn = 1;
    setManualClock(kStart + 2);
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 30);
}

TEST(MaximumSpeed, FallsAfterAFrameThatDidNotSleepButNeverBelowOne) {
    useManualClock(kStart);
    game.maxSpeedOn = 1;
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 29);
    game.frameCap = 1;
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 1);
}

TEST(MaximumSpeed, StopsAtTheCeilingAndFallsToALoweredOne) {
    useManualClock(kStart);
    game.maxSpeedOn = 1;
    game.frameCap = 60;
    setManualClock(kStart + 16);
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 60);
    game.maxVariableFrameCap = 58;
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 59);
}

TEST(MaximumSpeed, IdleWithoutCappingOrWhenOff) {
    useManualClock(kStart);
    game.frameCapOn = 0;
    game.maxSpeedOn = 1;
    adaptFrameCap(kStart);
    game.frameCapOn = 1;
    game.maxSpeedOn = 0;
    adaptFrameCap(kStart);
    EXPECT_EQ(game.frameCap, 30);
}

// ---- The same rules inside the running game

namespace {

// Runs a game whose frames cost no time; `each` runs on every sleep until it
// returns false, then the window is closed.

int runFrames(const std::function<bool(int frame)>& each) {
    int frame = 0;
    bool going = true;
    runScriptOnSleeps({}, [&]() {
        if (going) {
            going = each(frame++);
            if (!going) {
                pushQuit();
            }
        }
    });
    return runGame();
}

} // namespace

TEST(FrameLoop, AFrameOfNoTimeSleepsTheWholeFrame) {
    startPlaySession();
    runFrames([](int frame) { return frame < 4; });
    const std::vector<Uint32> sleeps = sleepLog();
    ASSERT_EQ(sleeps.size(), 6u);
    for (Uint32 ms : sleeps) {
        EXPECT_EQ(ms, 33u);
    }
}

TEST(FrameLoop, NoSleepWithCappingOff) {
    startPlaySession();
    game.frameCapOn = 0;
    runScriptOnSleeps({});
    pushQuit();
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ(sleepsSeen(), 0);
    EXPECT_EQ(game.frameCounter, 1);
}

TEST(FrameLoop, MaximumSpeedClimbsToTheCeilingThenFollowsItDown) {
    startPlaySession();
    game.maxSpeedOn = 1;
    std::vector<int> caps;
    runFrames([&](int frame) {
        caps.push_back(game.frameCap);
        if (frame == 40) {
            game.maxVariableFrameCap = 55;
        }
        return frame < 50;
    });
    // The cap seen at sleep k is that of frame k, adapted after its sleep.
    for (int k = 0; k <= 30; ++k) {
        EXPECT_EQ(caps[size_t(k)], 30 + k) << "frame " << k;
    }
    for (int k = 31; k <= 40; ++k) {
        EXPECT_EQ(caps[size_t(k)], 60) << "frame " << k;
    }
    for (int k = 41; k <= 45; ++k) {
        EXPECT_EQ(caps[size_t(k)], 60 - (k - 40)) << "frame " << k;
    }
    EXPECT_EQ(caps[46], 55);
    EXPECT_EQ(caps[50], 55);
}

TEST(FrameLoop, AltZeroTwiceRestoresTheCap) {
    startPlaySession();
    game.frameCap = 24;
    runFrames([](int frame) {
        if (frame == 0) {
            pushAltKey(SDLK_0);
        }
        if (frame == 10) {
            pushAltKey(SDLK_0);
        }
        if (frame == 9) {
            EXPECT_GT(game.frameCap, 24); // the adaptation did move it
        }
        return frame < 12;
    });
    EXPECT_EQ(game.maxSpeedOn, 0);
    EXPECT_EQ(game.frameCap, 24);
}

namespace {

// Exhaust particles pick a new animation frame with one draw in every world step,
// so the draws taken during one frame count its world steps.
int worldStepsInOneFrame(int frameCap) {
    startPlaySession();
    game.frameCap = frameCap;
    const unsigned seed = 12345;
    int steps = -1;
    runFrames([&](int frame) {
        if (frame == 0) {
            Particle p;
            p.ownerId = game.players[0].ship.id;
            p.alive = 1;
            p.lifetimeMs = 100000;
            p.birthTicks = currentTicks();
            p.image = game.exhaustParticleImage;
            game.particles.push_back(p);
            std::srand(seed);
            return true;
        }
        const int next = std::rand();
        std::srand(seed);
        for (int draws = 0; draws < 50; ++draws) {
            if (std::rand() == next) {
                steps = draws;
                break;
            }
        }
        return false;
    });
    return steps;
}

} // namespace

TEST(FrameLoop, OneWorldStepPerFrameAtCapSixty) {
    EXPECT_EQ(worldStepsInOneFrame(60), 1);
}

TEST(FrameLoop, FiveWorldStepsPerFrameAtCapSeven) {
    EXPECT_EQ(worldStepsInOneFrame(7), 5);
}

TEST(FrameLoop, TwoWorldStepsPerFrameAtCapTwenty) {
    EXPECT_EQ(worldStepsInOneFrame(20), 2);
}
