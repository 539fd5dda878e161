// The real binary's exit statuses, each from its own cause.
#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(ExitStatus, NoAudioDeviceEndsWith50BeforeAnyAssetIsRead) {
    // An empty directory: with no audio the game must stop before it looks for data.
    char pattern[] = "/tmp/stellarox-empty-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    RunResult r = runGameBinary(dir, {"SDL_AUDIODRIVER=no-such-driver"}, 30);
    EXPECT_EQ(r.status, 50) << r.output;
    removeTree(dir);
}

TEST(ExitStatus, ClosingTheWindowEndsANormalRunWith0) {
    const std::string dir = copyDataTree();
    // SDL turns SIGTERM into a window-close event.
    RunResult r = runGameBinary(dir, {}, 60, 1500);
    EXPECT_EQ(r.status, 0) << r.output;
    removeTree(dir);
}

TEST(ExitStatus, TheGameWritesNothingToItsOutputs) {
    const std::string dir = copyDataTree();
    RunResult r = runGameBinary(dir, {}, 60, 1500);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "");
    removeTree(dir);
}
