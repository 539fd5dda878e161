// The data tree: how the game loads it, and what the generator must write into it.
#include <SDL_image.h>
#include <SDL_rotozoom.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "app/assets.h"
#include "support/test_support.h"

namespace {

// A decoded image in plain 32-bit RGB, whatever the file's own format.
SDL_Surface* loadRgb(const std::string& path) {
    SDL_Surface* like = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    return SDL_ConvertSurface(IMG_Load(("data/" + path).c_str()), like->format, SDL_SWSURFACE);
}

Uint32 rgbAt(SDL_Surface* s, int x, int y) {
    return static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFF;
}

// Relative luminance of an sRGB pixel.
double luminance(Uint32 p) {
    double sum = 0;
    for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
        const double c = ((p >> shift) & 0xFF) / 255.0;
        sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

// Seconds, rate, channels and the interleaved samples of a sound file.
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

TEST(Loading, DesignNumbersHaveAtLeastThreeDigits) {
    for (const auto& [n, text] :
         {std::pair{1, "001"}, {9, "009"}, {10, "010"}, {99, "099"}, {100, "100"}}) {
        EXPECT_EQ(designNumber(n), text);
    }
}

// Fonts of 12, 20 (21 after the loading screen) and 31 points at 480 lines, 20, 34
// (36) and 52 at 800, as high as the font file makes them.
TEST(Loading, FontSizesFollowTheScreenHeight) {
    startSdl(false);
    for (const auto& [height, small, medium, mediumAfter, large] :
         {std::tuple{480, 14, 24, 25, 36}, {800, 24, 39, 41, 60}}) {
        game.screenHeight = height; // the window itself can stay as it is
        loadFonts();
        const auto heights =
            std::tuple(TTF_FontHeight(game.smallFont), TTF_FontHeight(game.mediumFont),
                       TTF_FontHeight(game.largeFont));
        EXPECT_EQ(heights, std::tuple(small, medium, large));
        loadImages();
        EXPECT_EQ(TTF_FontHeight(game.mediumFont), mediumAfter);
    }
}

// Designs 1 to 4 and 6 to 8 on disk: four are loaded. Sizes at 640 x 480 (scale 0.4)
// from files of 600 (ships), 1800 (planet), 700 (turret) and 1500 pixels (asteroid).
TEST(Loading, DesignsAreProbedUntilOneIsMissing) {
    const std::string tree = copyDataTree();
    std::filesystem::remove(tree + "/data/images/ships/ship_005.png");
    ASSERT_EQ(chdir(tree.c_str()), 0);
    startSdl(true);
    loadImages();
    removeTree(tree);
    ASSERT_EQ(game.shipImages.size(), 4u);
    const ShipImageSet& ship = game.shipImages[3];
    for (const auto& [image, width] : {std::pair{ship.shipImage, 24.0},
                                       {ship.previewImage, 120.0},
                                       {game.planetImage, 72.0},
                                       {game.turretImage, 28.0},
                                       {game.asteroidImages[5], 73.2},
                                       {game.asteroidImages[4], 34.9},
                                       {game.asteroidImages[3], 24.4},
                                       {game.asteroidImages[2], 13.9}}) {
        EXPECT_NEAR(image->w, width, 1.0);
    }
    for (SDL_Surface* sprite : {ship.shipImage, ship.previewImage, game.planetImage}) {
        EXPECT_EQ(sprite->flags & SDL_SRCCOLORKEY ? sprite->format->colorkey : 1, 0xFF00FFu);
    }
    EXPECT_EQ(game.background->w, 640);
    EXPECT_EQ(game.background->flags & SDL_SRCCOLORKEY ? game.background->format->colorkey : 1, 0u);
}

// Sprites stand on exact magenta with no pink fringe; particle strips are four frames
// of 5 to 10 pixels on white; the background (1600 x 1200) has no black at any screen
// size, and black and white text both read on it.
TEST(GeneratedTree, ImagesAreKeyedFramedAndLegible) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    std::vector<std::string> sprites = {"objects/planet",       "objects/asteroid",
                                        "objects/turret",       "bullets/shipBullet",
                                        "bullets/turretBullet", "misc/crosshairs"};
    std::vector<std::string> strips = {"exaustParticle", "explosionParticle"};
    for (const char* n : {"001", "002", "003", "004", "005", "006", "007", "008"}) {
        sprites.push_back(std::string("ships/ship_") + n);
        strips.push_back(std::string("shipExplosionParticle_") + n);
    }
    for (const std::string& p : sprites) {
        SDL_Surface* s = loadRgb("images/" + p + ".png");
        const int w = s->w - 1, h = s->h - 1;
        int art = 0;
        for (int i = 0; i < s->w * s->h; ++i) {
            const Uint32 c = rgbAt(s, i % s->w, i / s->w);
            art += c != 0xFF00FF;
            ASSERT_FALSE(c != 0xFF00FF && (c >> 16) > 235 && ((c >> 8) & 0xFF) < 30 &&
                         (c & 0xFF) > 235)
                << p;
        }
        EXPECT_GT(art, s->w * s->h / 20) << p;
        EXPECT_EQ(
            std::vector<Uint32>({rgbAt(s, 0, 0), rgbAt(s, w, 0), rgbAt(s, 0, h), rgbAt(s, w, h)}),
            std::vector<Uint32>(4, 0xFF00FF))
            << p;
    }
    for (const std::string& p : strips) {
        SDL_Surface* s = loadRgb("images/particles/" + p + ".png");
        const int frame = s->w / 4;
        EXPECT_TRUE(s->w % 4 == 0 && frame >= 5 && frame <= 10) << p << ": " << s->w;
        for (int k = 0; k < 4; ++k) {
            int coloured = 0;
            for (int i = 0; i < frame * s->h; ++i) {
                coloured += rgbAt(s, k * frame + i % frame, i / frame) != 0xFFFFFF;
            }
            EXPECT_TRUE(coloured > 0 && rgbAt(s, k * frame, 0) == 0xFFFFFF) << p << " frame " << k;
        }
    }
    SDL_Surface* bg = loadRgb("images/backgrounds/background.png");
    EXPECT_EQ(std::pair(bg->w, bg->h), std::pair(1600, 1200));
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1920, 1080}}) {
        SDL_Surface* z = zoomSurface(bg, w / 1600.0, h / 1200.0, 1);
        for (int i = 0; i < w * h; ++i) {
            ASSERT_NE(rgbAt(z, i % w, i / w), 0u)
                << w << "x" << h << " at " << i % w << "," << i / w;
        }
    }
    // Every 40-pixel square has a mean luminance L from 0.12 to 0.25: a contrast of 3 or
    // more for black text ((L + 0.05) / 0.05) and for white (1.05 / (L + 0.05)).
    for (int i = 0; i < 79 * 59; ++i) {
        double sum = 0;
        for (int j = 0; j < 1600; ++j) {
            sum += luminance(rgbAt(bg, i % 79 * 20 + j % 40, i / 79 * 20 + j / 40));
        }
        ASSERT_TRUE(sum / 1600 >= 0.12 && sum / 1600 <= 0.25) << i % 79 * 20 << "," << i / 79 * 20;
    }
}

// Sounds are short and below full scale; every piece of music lasts one to two and a
// half minutes at about -16 dB of mean power, and fades to silence in both channels.
TEST(GeneratedTree, SoundsAreShortCleanAndMusicMatched) {
    for (const auto& [name, shortest, longest] : {std::tuple{"shipFire", 0.1, 0.15},
                                                  {"turretFire", 0.001, 1.0},
                                                  {"engine", 0.001, 0.07},
                                                  {"asteroidHit", 0.3, 0.5}}) {
        const auto [seconds, rate, channels, samples] =
            readSound(std::string("snd/") + name + ".wav");
        EXPECT_TRUE(seconds >= shortest && seconds <= longest) << name << ": " << seconds;
        EXPECT_TRUE(peakOf(samples) > 0.1f && peakOf(samples) <= float(std::pow(10.0, -1.0 / 20)))
            << name;
    }
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
