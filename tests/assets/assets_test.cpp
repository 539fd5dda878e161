// The data tree: how the game loads it, and what the generator must write into it
// (sprites keyed, strips framed, a background legible behind text, clean sounds,
// matched music, the same tree on every run).
#include <SDL_image.h>
#include <SDL_rotozoom.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "app/assets.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> imagePaths() {
    std::vector<std::string> p = {"images/backgrounds/background.png",
                                  "images/objects/planet.png",
                                  "images/objects/asteroid.png",
                                  "images/objects/turret.png",
                                  "images/bullets/shipBullet.png",
                                  "images/bullets/turretBullet.png",
                                  "images/misc/crosshairs.png",
                                  "images/particles/exaustParticle.png",
                                  "images/particles/explosionParticle.png"};
    for (const char* n : {"001", "002", "003", "004", "005", "006", "007", "008"}) {
        p.push_back(std::string("images/ships/ship_") + n + ".png");
        p.push_back(std::string("images/particles/shipExplosionParticle_") + n + ".png");
    }
    return p;
}

const std::vector<std::string> kSounds = {"snd/shipFire.wav", "snd/turretFire.wav",
                                          "snd/engine.wav", "snd/asteroidHit.wav"};
const std::vector<std::string> kMusic = {"music/title.ogg", "music/01.ogg", "music/02.ogg",
                                         "music/03.ogg",    "music/04.ogg", "music/05.ogg",
                                         "music/06.ogg"};

// A decoded image in plain 32-bit RGB, whatever the file's own format.
SDL_Surface* loadRgb(const std::string& path) {
    SDL_Surface* raw = IMG_Load(path.c_str());
    SDL_Surface* like = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    return raw ? SDL_ConvertSurface(raw, like->format, SDL_SWSURFACE) : nullptr;
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

// Frames, rate, channels and the samples of a sound file.
std::tuple<int, int, int, std::vector<float>> readSound(const std::string& path) {
    SF_INFO info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> samples(f ? size_t(info.frames * info.channels) : 0);
    if (f != nullptr) {
        sf_readf_float(f, samples.data(), info.frames);
        sf_close(f);
    }
    return {int(info.frames), info.samplerate, info.channels, samples};
}

float peakOf(const std::vector<float>& samples) {
    float peak = 0;
    for (float v : samples) {
        peak = std::max(peak, std::fabs(v));
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
// (36) and 52 at 800; line heights as the font file gives them.
TEST(Loading, FontSizesFollowTheScreenHeight) {
    const std::tuple<int, int, int, int, int> rows[] = {{480, 14, 24, 25, 36},
                                                        {800, 24, 39, 41, 60}};
    startSdl(false);
    for (const auto& [height, small, medium, mediumAfter, large] : rows) {
        game.screenHeight = height; // the window itself can stay as it is
        loadFonts();
        EXPECT_EQ(std::vector<int>({TTF_FontHeight(game.smallFont), TTF_FontHeight(game.mediumFont),
                                    TTF_FontHeight(game.largeFont)}),
                  std::vector<int>({small, medium, large}));
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
    EXPECT_EQ(game.shipImages.size(), 4u);
    const std::pair<SDL_Surface*, double> sizes[] = {
        {game.shipImages[3].shipImage, 24},
        {game.shipImages[3].previewImage, 120},
        {game.planetImage, 72},
        {game.turretImage, 28},
        {game.asteroidImages[5], 73.2},
        {game.asteroidImages[4], 34.9},
        {game.asteroidImages[3], 24.4},
        {game.asteroidImages[2], 13.9},
    };
    for (const auto& [image, width] : sizes) {
        EXPECT_NEAR(image->w, width, 1.0);
    }
    EXPECT_EQ(game.background->w, 640);
    EXPECT_TRUE(game.background->flags & SDL_SRCCOLORKEY && game.background->format->colorkey == 0);
}

// Sprites stand on exact magenta with no pink fringe; particle strips are four frames
// of 5 to 10 pixels on white; the background (1600 x 1200) has no black at any screen
// size and black and white text both read on it.
TEST(GeneratedTree, ImagesAreKeyedFramedAndLegible) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    for (const std::string& p : imagePaths()) {
        SCOPED_TRACE(p);
        SDL_Surface* s = loadRgb("data/" + p);
        ASSERT_NE(s, nullptr);
        if (p.find("particles/") != std::string::npos) {
            const int frame = s->w / 4;
            EXPECT_TRUE(s->w % 4 == 0 && frame >= 5 && frame <= 10) << s->w;
            for (int k = 0; k < 4; ++k) {
                int coloured = 0;
                for (int y = 0; y < s->h; ++y) {
                    for (int x = k * frame; x < (k + 1) * frame; ++x) {
                        coloured += rgbAt(s, x, y) != 0xFFFFFF;
                    }
                }
                EXPECT_TRUE(coloured > 0 && rgbAt(s, k * frame, 0) == 0xFFFFFF) << "frame " << k;
            }
        } else if (p.find("backgrounds/") == std::string::npos) {
            int art = 0;
            for (int y = 0; y < s->h; ++y) {
                for (int x = 0; x < s->w; ++x) {
                    const Uint32 c = rgbAt(s, x, y);
                    art += c != 0xFF00FF;
                    ASSERT_FALSE(c != 0xFF00FF && (c >> 16) > 235 && ((c >> 8) & 0xFF) < 30 &&
                                 (c & 0xFF) > 235);
                }
            }
            EXPECT_GT(art, s->w * s->h / 20);
            const int w = s->w - 1, h = s->h - 1;
            EXPECT_EQ(std::vector<Uint32>(
                          {rgbAt(s, 0, 0), rgbAt(s, w, 0), rgbAt(s, 0, h), rgbAt(s, w, h)}),
                      std::vector<Uint32>(4, 0xFF00FF));
        }
    }
    SDL_Surface* bg = loadRgb("data/images/backgrounds/background.png");
    EXPECT_EQ(bg->w * 10000 + bg->h, 16001200);
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1920, 1080}}) {
        SDL_Surface* z = zoomSurface(bg, w / 1600.0, h / 1200.0, 1);
        for (int i = 0; i < w * h; ++i) {
            ASSERT_NE(rgbAt(z, i % w, i / w), 0u)
                << w << "x" << h << " at " << i % w << "," << i / w;
        }
    }
    // Mean luminance of every 40-pixel square between 0.12 and 0.25: contrast of 3 or
    // more for black text ((L + 0.05) / 0.05) and for white (1.05 / (L + 0.05)).
    for (int y0 = 0; y0 + 40 <= bg->h; y0 += 20) {
        for (int x0 = 0; x0 + 40 <= bg->w; x0 += 20) {
            double sum = 0;
            for (int i = 0; i < 1600; ++i) {
                sum += luminance(rgbAt(bg, x0 + i % 40, y0 + i / 40));
            }
            ASSERT_TRUE(sum / 1600 >= 0.12 && sum / 1600 <= 0.25)
                << x0 << "," << y0 << ": " << sum / 1600;
        }
    }
}

TEST(GeneratedTree, SoundsAreShortCleanAndMusicMatched) {
    const std::pair<int, int> lengthsMs[] = {{100, 150}, {1, 1000}, {1, 70}, {300, 500}};
    for (size_t i = 0; i < kSounds.size(); ++i) {
        const auto [frames, rate, channels, samples] = readSound("data/" + kSounds[i]);
        EXPECT_GE(frames * 1000 / rate, lengthsMs[i].first) << kSounds[i];
        EXPECT_LE(frames * 1000 / rate, lengthsMs[i].second) << kSounds[i];
        EXPECT_GT(peakOf(samples), 0.1f) << kSounds[i];
        EXPECT_LE(peakOf(samples), float(std::pow(10.0, -1.0 / 20))) << kSounds[i]; // -1 dB
    }
    // One to two and a half minutes each, loudness within 3 dB of one another.
    double lowest = 1000, highest = -1000;
    for (const std::string& p : kMusic) {
        const auto [frames, rate, channels, samples] = readSound("data/" + p);
        EXPECT_TRUE(rate == 44100 && channels == 2 && frames >= 60 * 44100 && frames <= 150 * 44100)
            << p;
        EXPECT_LT(peakOf(samples), 1.0f) << p;
        double sum = 0;
        for (float v : samples) {
            sum += double(v) * v;
        }
        const double db = 10 * std::log10(sum / double(samples.size()));
        lowest = std::min(lowest, db);
        highest = std::max(highest, db);
    }
    EXPECT_LE(highest - lowest, 3.0);
}

// The generator draws from a fixed seed: a fresh run writes the tree the game reads
// (Ogg streams carry a random serial number, so the music is compared decoded).
TEST(GeneratedTree, AFreshRunWritesTheSameTree) {
    const std::string fresh = "/tmp/stellarox-gen-" + std::to_string(getpid());
    ASSERT_EQ(std::system((std::string(STELLAROX_ASSETGEN) + " " + fresh).c_str()), 0);
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::vector<std::string> files = imagePaths();
    files.insert(files.end(), kSounds.begin(), kSounds.end());
    for (const std::string& p : files) {
        EXPECT_EQ(bytes(fresh + "/" + p), bytes("data/" + p)) << p;
    }
    for (const std::string& p : kMusic) {
        EXPECT_EQ(std::get<3>(readSound(fresh + "/" + p)), std::get<3>(readSound("data/" + p)))
            << p;
    }
    removeTree(fresh);
}
