// The program's shell: the real binary's exit statuses, the video mode, drawing, the
// on-screen messages and the audio buffer.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "app/drawing.h"
#include "app/startup.h"
#include "app/video.h"
#include "play/messages.h"
#include "support/test_support.h"

namespace {

class ExitStatus : public ::testing::TestWithParam<std::tuple<std::string, std::string, int>> {};

int grantFull = 32, grantWindow = 32; // the depth the display grants; 0 refuses
std::vector<Uint32> queried;

void startVideo() {
    startSdl(true);
    videoModeOk = [](int, int, int, Uint32 flags) {
        queried.push_back(flags);
        return flags & SDL_FULLSCREEN ? grantFull : grantWindow;
    };
}

bool blue(int x, int y) {
    return pixelAt(game.screen, x, y).b == 255 && pixelAt(game.screen, x, y).r == 0;
}

} // namespace

// Each status from its own cause, in a copy of the tree missing one part. A run that
// loads everything stays in the title menu until SIGTERM closes its window.
TEST_P(ExitStatus, OfTheRealBinary) {
    const auto& [missing, env, status] = GetParam();
    const std::string tree = copyDataTree();
    std::filesystem::remove_all(tree + "/" + missing);
    const RunResult r = runGameBinary(tree, {env}, 60, 2500);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.output, ""); // the game reports on screen only
    removeTree(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ExitStatus,
    ::testing::Values(std::tuple("none", "A=1", 0), std::tuple("data/music/title.ogg", "A=1", 0),
                      std::tuple("data", "SDL_AUDIODRIVER=no-such-driver", 50), // before any file
                      std::tuple("data/images/particles/exaustParticle.png", "A=1", 100),
                      std::tuple("data/images/objects/turret.png", "A=1", 110),
                      std::tuple("data/images/particles/shipExplosionParticle_003.png", "A=1", 120),
                      std::tuple("data/images/ships", "A=1", 120),
                      std::tuple("data/snd/engine.wav", "A=1", 200),
                      std::tuple("data/fonts/LiberationSans-Bold.ttf", "A=1", 300 & 0xFF)));

TEST(VideoMode, NoSurfaceEvenInTheFallbackModeEndsWith2000) {
    startSdl(false);
    openVideoSurface = [](int, int, int, Uint32) -> SDL_Surface* { return nullptr; };
    EXPECT_EXIT(setVideoMode(false, 800, 600, 32, 700, 500, 8), ::testing::ExitedWithCode(208), "");
}

// 800 x 600 at 32 bits asked for, 700 x 500 at 8 the fallback: only the mode asked for
// is tested, and a fall-back clears the full-screen flag.
TEST(VideoMode, FallsBackInAFixedOrderAndReportsIt) {
    const std::string failed = "Attempt failed, falling back to windowed mode in resolution ";
    const std::tuple<int, int, int, std::vector<int>, std::vector<Uint32>, std::string> rows[] = {
        {0,
         32,
         16,
         {800, 600, 16, 0},
         {1},
         "Change in video mode succeeded, and BPP changed to 16"},
        {0, 32, 0, {700, 500, 8, 0}, {1}, failed + "700x500 with color depth 8"},
        {1, 0, 16, {800, 600, 16, 0}, {SDL_FULLSCREEN, 1}, failed + "800x600 with color depth 16"},
        {1, 0, 0, {700, 500, 8, 0}, {SDL_FULLSCREEN, 1}, failed + "700x500 with color depth 8"},
        {1, 32, 0, {800, 600, 32, 1}, {SDL_FULLSCREEN}, "Change in video mode succeeded"},
    };
    startVideo();
    for (const auto& [full, depthFull, depthWindow, after, queries, report] : rows) {
        std::tie(game.fullscreen, grantFull, grantWindow) =
            std::tuple(full, depthFull, depthWindow);
        queried.clear();
        clearMessages();
        setVideoMode(true, 800, 600, 32, 700, 500, 8);
        EXPECT_EQ(
            std::vector<int>({game.screen->w, game.screenHeight, game.screenBpp, game.fullscreen}),
            after);
        EXPECT_EQ(queried, queries);
        EXPECT_TRUE(messageSays(1, report)) << report;
    }
    clearMessages();
    setVideoMode(false, 640, 480, 32, 640, 480, 8);
    EXPECT_TRUE(game.messages.empty()); // the silent form of start-up
}

// Acts in every frame both keys are held; the last line names the mode asked for even
// when the display refused it.
TEST(VideoMode, AltReturnTogglesTheFullScreen) {
    const std::string mode = "Attempting to set up screen in ",
                      size = " mode with 640x480 resolution and 32 Bit color depth";
    const std::string ok = "Change in video mode succeeded", toFull = "Changed to fullscreen mode";
    const std::string failed =
        "Attempt failed, falling back to windowed mode in resolution 640x480 with color depth 32";
    const std::tuple<std::vector<SDLKey>, int, int, std::vector<std::string>> rows[] = {
        {{SDLK_RETURN}, 32, 0, {}}, // keys held, full-screen depth granted, flag after, report
        {{SDLK_LALT, SDLK_RALT}, 32, 0, {}},
        {{SDLK_LALT, SDLK_RETURN}, 32, 1, {mode + "fullscreen" + size, ok, toFull}},
        {{SDLK_RALT, SDLK_RETURN},
         32,
         0,
         {mode + "windowed" + size, ok, "Changed to windowed mode"}},
        {{SDLK_RALT, SDLK_RETURN}, 0, 0, {mode + "fullscreen" + size, failed, toFull}},
    };
    startVideo();
    for (const auto& [keys, depthFull, fullAfter, report] : rows) {
        releaseAllKeys();
        std::for_each(keys.begin(), keys.end(), [](SDLKey k) { holdKey(k); });
        grantFull = depthFull;
        clearMessages();
        checkFullscreenToggle();
        EXPECT_EQ(game.fullscreen, fullAfter);
        EXPECT_EQ(messageTexts(report), report);
        std::vector<Uint32> durations;
        for (const Message& m : game.messages) {
            durations.push_back(m.durationMs);
        }
        EXPECT_EQ(durations,
                  report.empty() ? std::vector<Uint32>() : std::vector<Uint32>({6000, 6000, 3000}));
    }
}

// Scales of 0.4 across and 0.5 down show a swapped axis; the marker on the rim is drawn
// on a 40 x 20 reference. Positions are truncated toward zero, saturated at the int
// range and cut to 16 bits.
TEST(Drawing, SpritesLandOnTheirWorldPoints) {
    const std::tuple<int, int, double, int, int, int, int> rows[] = {
        {100, 200, -1, 20, 20, 30, 90}, // world x and y (downward for blitWorld), angle
        {100, 200, -1, 21, 7, 30, 97},  // (none: blitWorld), size, top-left pixel
        {500, 500, 0, 4, 4, 218, 348},
        {500, 500, M_PI / 2, 4, 4, 198, 338},
    };
    startSdl(false);
    game.scaleY = 0.5;
    SDL_Surface* reference = makeSprite(40, 20);
    for (const auto& [x, y, angle, w, h, left, top] : rows) {
        fillScreen(0, 0, 0);
        SDL_Surface* s = makeSprite(w, h, 0, 0, 255);
        angle < 0 ? blitWorld(x, y, s, game.screen)
                  : blitOnRim(x, y, angle, reference, s, game.screen);
        EXPECT_TRUE(blue(left, top) && blue(left + w - 1, top + h - 1)) << left << "," << top;
        EXPECT_FALSE(blue(left - 1, top) || blue(left, top - 1) || blue(left + w, top + h - 1));
    }
    for (const auto& [value, coord] :
         {std::pair{1e12, -1}, {-1e12, 0}, {70000.7, 4464}, {-12.9, -12}}) {
        EXPECT_EQ(toRectCoord(value), coord) << value;
    }
}

TEST(Messages, ExpireStrictlyAfterTheirDurationAcrossTheClockWrap) {
    const std::tuple<Uint32, Uint32, Uint32, size_t> rows[] = {
        {50000, 3000, 3000, 1}, // shown at, for, checked after, still shown
        {50000, 3000, 3001, 0},
        {50000, 0, 0, 1},
        {50000, 0, 1, 0},
        {0xFFFFFF00u, 3000, 2999, 1},
        {0xFFFFFF00u, 3000, 3001, 0},
    };
    startSdl(true);
    for (const auto& [at, duration, after, kept] : rows) {
        setManualClock(at);
        showMessage("m", duration);
        advanceClock(after);
        expireMessages();
        EXPECT_EQ(game.messages.size(), kept) << at << " + " << after;
        clearMessages();
    }
}

// Lines start 640 / 160 = 4 pixels from the left, each 480 / 160 = 3 pixels below the
// last; the frame rate stands 5 pixels from the top right, with both flags only.
TEST(Messages, LinesStackDownTheLeftAndTheFrameRateSitsTopRight) {
    startSdl(true);
    useManualClock();
    game.background = makeSprite(640, 480, 255, 255, 255);
    for (Uint32 duration : {1000, 3000, 3000}) {
        showMessage("", duration);
        game.messages.back().surface = makeSprite(10, 8, 0, 0, 255);
    }
    advanceClock(1001);
    expireMessages();
    drawScene(0, 0, 0, 0, 0, 1, 0, 1);
    EXPECT_TRUE(blue(4, 0) && blue(13, 7) && blue(4, 11) && blue(13, 18));
    EXPECT_FALSE(blue(3, 0) || blue(4, 8) || blue(4, 10) || blue(4, 19) || blue(14, 0));
    SDL_Surface* text = TTF_RenderText_Solid(game.smallFont, "FPS: 30", game.textColour);
    auto wrong = [text](bool drawn) { // pixels where the screen differs from the line
        int n = 0;
        for (int i = 0; i < text->w * text->h; ++i) {
            const bool ink =
                static_cast<Uint8*>(text->pixels)[i / text->w * text->pitch + i % text->w];
            n += (pixelAt(game.screen, 635 - text->w + i % text->w, 5 + i / text->w).r == 0) !=
                 (ink && drawn);
        }
        return n;
    };
    EXPECT_EQ(wrong(true), 0);
    for (int fpsOn : {0, 1}) {
        game.fpsDisplayOn = 1 - fpsOn;
        drawScene(0, 0, 0, 0, 0, 0, 0, fpsOn);
        EXPECT_EQ(wrong(false), 0);
    }
}

// The buffer is the power of two at or above the chunk size, at most 32768: SDL overran
// a buffer of any other size (the sanitizer build sees any overrun).
TEST(AudioOpen, ChunkSizesBecomeThePowerOfTwoAtOrAbove) {
    for (const auto& [chunk, samples] : {std::pair{-5, 1},
                                         {1, 1},
                                         {5, 8},
                                         {2048, 2048},
                                         {2049, 4096},
                                         {32768, 32768},
                                         {40000, 32768},
                                         {2147483647, 32768}}) {
        EXPECT_EQ(audioBufferSamples(chunk), samples) << chunk;
    }
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(openMixer(44100, AUDIO_S16LSB, 2, 3048), 0);
    SDL_Delay(150);
}
