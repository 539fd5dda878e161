// The shell and its data: the binary's exit statuses, video mode, drawing, messages,
// audio buffer, loading, and what the generator must write.
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <tuple>
#include <unistd.h>

#include "app/assets.h"
#include "app/drawing.h"
#include "app/startup.h"
#include "app/video.h"
#include "play/messages.h"
#include "play/scene.h"
#include "support/test_support.h"

namespace {

class ExitStatus : public ::testing::TestWithParam<std::tuple<std::string, std::string, int>> {};

bool blue(int x, int y) {
    return pixelAt(game.screen, x, y).b == 255 && pixelAt(game.screen, x, y).r == 0;
}

// A generated image in plain 32-bit RGB, whatever the file's own format.
SDL_Surface* loadRgb(const std::string& path) {
    SDL_Surface* like = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    return SDL_ConvertSurface(IMG_Load(("data/images/" + path).c_str()), like->format,
                              SDL_SWSURFACE);
}

Uint32 rgbAt(SDL_Surface* s, int x, int y) {
    return static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFF;
}

// Seconds, rate, channels and the interleaved samples of a generated sound.
std::tuple<double, int, int, std::vector<float>> readSound(const std::string& path) {
    SF_INFO info = {};
    SNDFILE* f = sf_open(("data/" + path).c_str(), SFM_READ, &info);
    std::vector<float> samples(size_t(info.frames * info.channels));
    sf_readf_float(f, samples.data(), info.frames);
    sf_close(f);
    return {double(info.frames) / info.samplerate, info.samplerate, info.channels, samples};
}

float peakOf(const std::vector<float>& v, size_t from = 0, size_t step = 1) {
    float peak = 0;
    for (size_t i = from; i < v.size(); i += step) {
        peak = std::max(peak, std::fabs(v[i]));
    }
    return peak;
}

} // namespace

// Each status from its own cause, in a copy of the tree missing one part. A run that
// loads everything stays in the title menu until SIGTERM closes its window.
TEST_P(ExitStatus, OfTheRealBinary) {
    const auto& [missing, env, status] = GetParam();
    const std::string tree = copyDataTree();
    std::filesystem::remove_all(tree + "/" + missing);
    const RunResult r = runGameBinary(tree, {env}, 60, 2500);
    EXPECT_EQ(std::pair(r.status, r.output),
              std::pair(status, std::string())); // reports go on screen
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
    EXPECT_EXIT(setVideoMode(false, 800, 600, 32, 700, 500, 8),
                ::testing::ExitedWithCode(2000 & 0xFF), "");
}

// Alt+Return acts in every frame both keys are held; a fall-back clears the full-screen
// flag, and the last line still names the mode asked for.
TEST(VideoMode, AltReturnTogglesTheFullScreenAndFallsBack) {
    static int grantFull = 32, grantWindow = 32; // the depth the display grants; 0 refuses
    auto attempt = [](const std::string& mode, int bpp) {
        return "Attempting to set up screen in " + mode + " mode with 640x480 resolution and " +
               std::to_string(bpp) + " Bit color depth";
    };
    const std::string ok = "Change in video mode succeeded", toFull = "Changed to fullscreen mode";
    const std::string failed =
        "Attempt failed, falling back to windowed mode in resolution 640x480 with color depth ";
    const std::string bpp16 = ok + ", and BPP changed to 16";
    const SDLKey L = SDLK_LALT, R = SDLK_RALT, E = SDLK_RETURN;
    const std::tuple<std::vector<SDLKey>, int, int, int, std::vector<std::string>> rows[] = {
        {{E}, 32, 32, 0, {}}, // keys held, depths granted, full screen after, reports
        {{L, E}, 32, 32, 1, {attempt("fullscreen", 32), ok, toFull}},
        {{R, E}, 32, 16, 0, {attempt("windowed", 32), bpp16, "Changed to windowed mode"}},
        {{R, E}, 0, 0, 0, {attempt("fullscreen", 16), failed + "8", toFull}},
    };
    startSdl(true);
    videoModeOk = [](int, int, int, Uint32 flags) {
        return flags & SDL_FULLSCREEN ? grantFull : grantWindow;
    };
    for (const auto& [keys, full, window, fullAfter, reports] : rows) {
        releaseAllKeys();
        std::for_each(keys.begin(), keys.end(), [](SDLKey k) { holdKey(k); });
        std::tie(grantFull, grantWindow) = std::tuple(full, window);
        clearMessages();
        showReports(checkFullscreenToggle());
        EXPECT_EQ(std::tuple(game.fullscreen, game.screen->w, messageTexts(reports)),
                  std::tuple(fullAfter, 640, reports));
    }
}

// Scales of 0.4 across and 0.5 down show a swapped axis; the marker on the rim is drawn
// on a 40 x 20 reference.
TEST(Drawing, SpritesLandOnTheirWorldPoints) {
    startSdl(false);
    game.scaleY = 0.5;
    SDL_Surface* reference = makeSprite(40, 20);
    // World x and y (downward for blitWorld), angle (none: blitWorld), size, top-left pixel.
    const std::tuple<int, int, double, int, int, int, int> rows[] = {
        {100, 200, -1, 20, 20, 30, 90},
        {100, 200, -1, 21, 7, 30, 97},
        {500, 500, 0, 4, 4, 218, 348},
        {500, 500, M_PI / 2, 4, 4, 198, 338}};
    for (const auto& [x, y, angle, w, h, left, top] : rows) {
        fillScreen(0, 0, 0);
        SDL_Surface* s = makeSprite(w, h, 0, 0, 255);
        angle < 0 ? blitWorld(x, y, s, game.screen)
                  : blitOnRim(x, y, angle, reference, s, game.screen);
        EXPECT_TRUE(blue(left, top) && blue(left + w - 1, top + h - 1)) << left << "," << top;
        EXPECT_FALSE(blue(left - 1, top) || blue(left, top - 1) || blue(left + w, top + h - 1));
    }
}

// Lines start 640 / 160 = 4 pixels from the left, each 480 / 160 = 3 pixels below the
// last; an expired one makes room.
TEST(Messages, StackDownTheLeft) {
    startSdl(true);
    useManualClock();
    game.background = makeSprite(640, 480, 255, 255, 255);
    for (Uint32 duration : {1000, 3000, 3000}) {
        showMessage("", duration);
        game.messages.back().surface = makeSprite(10, 8, 0, 0, 255);
    }
    advanceClock(1001);
    expireMessages();
    drawScene(0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_TRUE(blue(4, 0) && blue(13, 7) && blue(4, 11) && blue(13, 18));
    EXPECT_FALSE(blue(3, 0) || blue(4, 8) || blue(4, 10) || blue(4, 19) || blue(14, 0));
}

// The buffer is the power of two at or above the chunk size, at most 32768: SDL overran
// a buffer of any other size.
TEST(AudioOpen, ChunkSizesBecomeThePowerOfTwoAtOrAbove) {
    const std::pair<int, int> rows[] = {
        {-5, 1},      {1, 1},         {5, 8},         {2048, 2048},
        {2049, 4096}, {32768, 32768}, {40000, 32768}, {2147483647, 32768}};
    for (const auto& [chunk, samples] : rows) {
        EXPECT_EQ(audioBufferSamples(chunk), samples) << chunk;
    }
}

// Designs 1 to 4 and 6 to 8 on disk: four are loaded, keyed magenta. Sizes at 640 x 480
// (scale 0.4) from files of 600 (ships), 1800 (planet), 700 (turret) and 1500 pixels
// (asteroid); fonts of 12, 20 (21 after the loading screen) and 31 points.
TEST(Loading, DesignsAreProbedUntilOneIsMissing) {
    const std::string tree = copyDataTree();
    std::filesystem::remove(tree + "/data/images/ships/ship_005.png");
    ASSERT_EQ(chdir(tree.c_str()), 0);
    startSdl(false);
    loadFonts();
    EXPECT_EQ(std::tuple(TTF_FontHeight(game.smallFont), TTF_FontHeight(game.mediumFont),
                         TTF_FontHeight(game.largeFont)),
              std::tuple(14, 24, 36));
    loadImages();
    removeTree(tree);
    EXPECT_EQ(TTF_FontHeight(game.mediumFont), 25);
    ASSERT_EQ(game.shipImages.size(), 4u);
    const ShipImageSet& ship = game.shipImages[3];
    const std::pair<SDL_Surface*, double> sizes[] = {
        {ship.shipImage, 24},           {ship.previewImage, 120},
        {game.planetImage, 72},         {game.turretImage, 28},
        {game.asteroidImages[5], 73.2}, {game.asteroidImages[4], 34.9},
        {game.asteroidImages[3], 24.4}, {game.asteroidImages[2], 13.9}};
    for (const auto& [image, width] : sizes) {
        EXPECT_NEAR(image->w, width, 1.0);
        EXPECT_EQ(image->flags & SDL_SRCCOLORKEY ? image->format->colorkey : 1, 0xFF00FFu);
    }
    EXPECT_EQ(game.background->flags & SDL_SRCCOLORKEY ? game.background->format->colorkey : 1, 0u);
}

// Particle strips are four frames of 5 to 10 pixels on white; the background (1600 x 1200) has no
// black and takes text of either colour.
TEST(GeneratedTree, StripsAreFramedAndTheBackgroundLegible) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    for (const char* n : {"001", "002", "003", "004", "005", "006", "007", "008"}) {
        for (const std::string& p :
             {std::string("shipExplosionParticle_") + n, std::string("exaustParticle")}) {
            SDL_Surface* s = loadRgb("particles/" + p + ".png");
            const int frame = s->w / 4;
            EXPECT_TRUE(s->w % 4 == 0 && frame >= 5 && frame <= 10) << p << ": " << s->w;
            for (int k = 0; k < 4; ++k) {
                int coloured = 0;
                for (int i = 0; i < frame * s->h; ++i) {
                    coloured += rgbAt(s, k * frame + i % frame, i / frame) != 0xFFFFFF;
                }
                EXPECT_TRUE(coloured > 0 && rgbAt(s, k * frame, 0) == 0xFFFFFF)
                    << p << " frame " << k;
            }
        }
    }
    SDL_Surface* bg = loadRgb("backgrounds/background.png");
    EXPECT_EQ(std::pair(bg->w, bg->h), std::pair(1600, 1200));
    // Every 40-pixel square has a mean relative luminance L from 0.12 to 0.25, a contrast
    // of 3 or more for black text ((L + 0.05) / 0.05) and for white (1.05 / (L + 0.05)).
    for (int i = 0; i < 79 * 59; ++i) {
        double sum = 0;
        for (int j = 0; j < 1600; ++j) {
            const Uint32 p = rgbAt(bg, i % 79 * 20 + j % 40, i / 79 * 20 + j / 40);
            ASSERT_NE(p, 0u); // black is the background's key: it would show holes
            for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
                const double c = ((p >> shift) & 0xFF) / 255.0;
                sum +=
                    weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4)) / 1600;
            }
        }
        ASSERT_TRUE(sum >= 0.12 && sum <= 0.25) << i % 79 * 20 << "," << i / 79 * 20 << ": " << sum;
    }
}

// Every piece of music lasts one to two and a half minutes at about -16 dB of mean power,
// peaks below full scale and fades to silence in both channels.
TEST(GeneratedTree, MusicIsMatchedAndEndsCleanly) {
    for (const char* name : {"title", "01", "02", "03", "04", "05", "06"}) {
        const auto [seconds, rate, channels, samples] =
            readSound(std::string("music/") + name + ".ogg");
        EXPECT_TRUE(rate == 44100 && channels == 2 && seconds >= 60 && seconds <= 150) << name;
        double sum = 0;
        for (float v : samples) {
            sum += double(v) * v;
        }
        EXPECT_NEAR(10 * std::log10(sum / double(samples.size())), -16.3, 1.0) << name;
        const size_t end = samples.size() - 2 * 441; // the last 10 ms
        EXPECT_TRUE(peakOf(samples) < 1 && peakOf(samples, end, 2) < 0.001 &&
                    peakOf(samples, end + 1, 2) < 0.001)
            << name;
    }
}

// The picture bound: 8192 a side and 2^25 pixels; the header is checked before any
// decoder sees the bytes.
TEST(Loading, PicturesLargerThanAnyWindowAreRefused) {
    std::vector<Uint8> png(45, 0);
    const Uint8 head[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                          0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    std::copy(std::begin(head), std::end(head), png.begin());
    std::copy_n("\x08\x02\0\0\0", 5, png.begin() + 24);
    std::copy_n("IEND", 4, png.begin() + 37);
    const std::tuple<Uint32, Uint32, bool> rows[] = {{8192, 4096, true},  {1, 1, true},
                                                     {8193, 1, false},    {1, 8193, false},
                                                     {8192, 4097, false}, {0, 5, false}};
    for (const auto& [w, h, drawable] : rows) {
        for (int i = 0; i < 4; ++i) {
            png[16 + i] = Uint8(w >> (24 - 8 * i)), png[20 + i] = Uint8(h >> (24 - 8 * i));
        }
        EXPECT_EQ(pictureFileIsDrawable(png), drawable) << w << " x " << h;
    }
}

TEST(Startup, KeepsThePlayersOwnSdlSettings) {
    setenv("SDL_RENDER_DRIVER", "opengl", 1);
    unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
    ASSERT_TRUE(init());
    EXPECT_STREQ(std::getenv("SDL_RENDER_DRIVER"), "opengl");
    EXPECT_STREQ(std::getenv("SDL_FRAMEBUFFER_ACCELERATION"), "0");
}
