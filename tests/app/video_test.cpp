#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_state.h"
#include "app/video.h"
#include "support/test_support.h"

namespace {

// What the display grants, by flag: a depth, or 0 for refused.
int grantedFullscreen = 32;
int grantedWindow = 32;
std::vector<Uint32> queriedFlags;

int fakeModeOk(int, int, int, Uint32 flags) {
    queriedFlags.push_back(flags);
    return (flags & SDL_FULLSCREEN) ? grantedFullscreen : grantedWindow;
}

class VideoMode : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdl(true);
        videoModeOk = fakeModeOk;
        queriedFlags.clear();
        releaseAllKeys();
    }
    void TearDown() override {
        videoModeOk = SDL_VideoModeOK;
    }
};

const std::string kAttemptFull =
    "Attempting to set up screen in fullscreen mode with 640x480 resolution and 32 Bit color depth";
const std::string kSucceeded = "Change in video mode succeeded";
const std::string kToFull = "Changed to fullscreen mode";
const std::string kToWindow = "Changed to windowed mode";

} // namespace

TEST_F(VideoMode, StartUpIsSilentAndWindowed) {
    EXPECT_TRUE(game.messages.empty());
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.screenHeight, 480);
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_EQ(game.screen->w, 640);
    EXPECT_EQ(game.screen->h, 480);
}

TEST_F(VideoMode, AltEnterReportsAttemptSuccessAndTheNewMode) {
    holdKey(SDLK_LALT);
    holdKey(SDLK_RETURN);
    checkFullscreenToggle();
    EXPECT_EQ(game.fullscreen, 1);
    EXPECT_EQ(messageTexts({kAttemptFull, kSucceeded, kToFull}),
              (std::vector<std::string>{kAttemptFull, kSucceeded, kToFull}));
    EXPECT_EQ(game.messages[0].durationMs, 6000u);
    EXPECT_EQ(game.messages[1].durationMs, 6000u);
    EXPECT_EQ(game.messages[2].durationMs, 3000u);
}

TEST_F(VideoMode, ToggleActsOnEveryFrameBothKeysAreHeld) {
    holdKey(SDLK_RALT);
    holdKey(SDLK_RETURN);
    checkFullscreenToggle();
    EXPECT_EQ(game.fullscreen, 1);
    checkFullscreenToggle();
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_TRUE(messageSays(5, kToWindow));
}

TEST_F(VideoMode, ReturnAloneOrAltAloneDoesNothing) {
    holdKey(SDLK_RETURN);
    checkFullscreenToggle();
    releaseAllKeys();
    holdKey(SDLK_LALT);
    checkFullscreenToggle();
    holdKey(SDLK_RALT);
    checkFullscreenToggle();
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_TRUE(game.messages.empty());
    EXPECT_TRUE(queriedFlags.empty());
}

TEST_F(VideoMode, RefusedFullscreenFallsBackToAWindowOfTheSameSize) {
    grantedFullscreen = 0;
    holdKey(SDLK_LALT);
    holdKey(SDLK_RETURN);
    checkFullscreenToggle();
    grantedFullscreen = 32;
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_EQ(game.screenWidth, 640);
    const std::string fellBack =
        "Attempt failed, falling back to windowed mode in resolution 640x480 with color depth 32";
    // The last line still names the mode that was asked for.
    EXPECT_EQ(messageTexts({kAttemptFull, fellBack, kToFull}),
              (std::vector<std::string>{kAttemptFull, fellBack, kToFull}));
    EXPECT_EQ(queriedFlags, (std::vector<Uint32>{SDL_FULLSCREEN, SDL_HWSURFACE}));
}

TEST_F(VideoMode, RefusedSizeTakesTheFallbackModeUntested) {
    grantedWindow = 0;
    setVideoMode(true, 1000, 700, 32, 640, 480, 16);
    grantedWindow = 32;
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.screenHeight, 480);
    EXPECT_EQ(game.screenBpp, 16);
    EXPECT_EQ(queriedFlags.size(), 1u);
    EXPECT_TRUE(messageSays(1, "Attempt failed, falling back to windowed mode in resolution "
                               "640x480 with color depth 16"));
    EXPECT_TRUE(messageSays(0, "Attempting to set up screen in windowed mode with 1000x700 "
                               "resolution and 32 Bit color depth"));
}

TEST_F(VideoMode, AnotherGrantedDepthIsUsedAndReported) {
    grantedWindow = 16;
    setVideoMode(true, 800, 600, 32, 640, 480, 8);
    grantedWindow = 32;
    EXPECT_EQ(game.screenBpp, 16);
    EXPECT_EQ(game.screen->w, 800);
    EXPECT_TRUE(messageSays(1, "Change in video mode succeeded, and BPP changed to 16"));
}

SDL_Surface* noSurface(int, int, int, Uint32) {
    return nullptr;
}

TEST_F(VideoMode, NoSurfaceAtAllEndsWith2000) {
    grantedWindow = 0;
    // The display refuses even the fallback mode.
    openVideoSurface = noSurface;
    EXPECT_EXIT(setVideoMode(false, 800, 600, 32, 640, 480, 8),
                ::testing::ExitedWithCode(2000 & 0xFF), "");
    openVideoSurface = SDL_SetVideoMode;
}
