// Invariants of the generated data tree: every file there, decodable, keyed as the
// game expects, legible behind text, and the same on every run.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_rotozoom.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
    for (int n = 1; n <= 8; ++n) {
        p.push_back("images/ships/ship_" + designNumber(n) + ".png");
        p.push_back("images/particles/shipExplosionParticle_" + designNumber(n) + ".png");
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
    if (raw == nullptr) {
        return nullptr;
    }
    SDL_PixelFormat fmt = {};
    fmt.BitsPerPixel = 32;
    fmt.BytesPerPixel = 4;
    fmt.Rmask = 0xFF0000;
    fmt.Gmask = 0xFF00;
    fmt.Bmask = 0xFF;
    fmt.Rshift = 16;
    fmt.Gshift = 8;
    fmt.alpha = 255;
    SDL_Surface* rgb = SDL_ConvertSurface(raw, &fmt, SDL_SWSURFACE);
    SDL_FreeSurface(raw);
    return rgb;
}

Uint32 rgbAt(SDL_Surface* s, int x, int y) {
    return static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFF;
}

double linear(double c) {
    c /= 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Uint32 p) {
    return 0.2126 * linear((p >> 16) & 0xFF) + 0.7152 * linear((p >> 8) & 0xFF) +
           0.0722 * linear(p & 0xFF);
}

class GeneratedTree : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    }
};

struct Wave {
    int frames = 0;
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
};

Wave readSound(const std::string& path) {
    Wave w;
    SF_INFO info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr) {
        return w;
    }
    w.frames = int(info.frames);
    w.rate = info.samplerate;
    w.channels = info.channels;
    w.samples.resize(size_t(info.frames) * size_t(info.channels));
    sf_readf_float(f, w.samples.data(), info.frames);
    sf_close(f);
    return w;
}

float peakOf(const Wave& w) {
    float peak = 0;
    for (float v : w.samples) {
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(GeneratedTree, EveryFileExistsAndDecodes) {
    for (const std::string& p : imagePaths()) {
        SDL_Surface* s = IMG_Load(("data/" + p).c_str());
        EXPECT_NE(s, nullptr) << p;
        SDL_FreeSurface(s);
    }
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048), 0);
    for (const std::string& p : kSounds) {
        Mix_Chunk* c = Mix_LoadWAV(("data/" + p).c_str());
        EXPECT_NE(c, nullptr) << p;
        Mix_FreeChunk(c);
    }
    for (const std::string& p : kMusic) {
        Mix_Music* m = Mix_LoadMUS(("data/" + p).c_str());
        EXPECT_NE(m, nullptr) << p;
        Mix_FreeMusic(m);
    }
    std::ifstream font("data/fonts/LiberationSans-Bold.ttf");
    EXPECT_TRUE(font.good());
}

TEST_F(GeneratedTree, SpritesStandOnExactMagenta) {
    for (const std::string& p : imagePaths()) {
        if (p.find("particles/") != std::string::npos ||
            p.find("backgrounds/") != std::string::npos) {
            continue;
        }
        SDL_Surface* s = loadRgb("data/" + p);
        ASSERT_NE(s, nullptr) << p;
        EXPECT_EQ(rgbAt(s, 0, 0), 0xFF00FFu) << p;
        EXPECT_EQ(rgbAt(s, s->w - 1, 0), 0xFF00FFu) << p;
        EXPECT_EQ(rgbAt(s, 0, s->h - 1), 0xFF00FFu) << p;
        EXPECT_EQ(rgbAt(s, s->w - 1, s->h - 1), 0xFF00FFu) << p;
        // The art itself is never a near-magenta that would show as a pink fringe.
        int art = 0;
        for (int y = 0; y < s->h; ++y) {
            for (int x = 0; x < s->w; ++x) {
                const Uint32 c = rgbAt(s, x, y);
                if (c == 0xFF00FF) {
                    continue;
                }
                ++art;
                const int r = int(c >> 16), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
                ASSERT_FALSE(r > 235 && g < 30 && b > 235) << p << " at " << x << "," << y;
            }
        }
        EXPECT_GT(art, s->w * s->h / 20) << p;
        SDL_FreeSurface(s);
    }
}

TEST_F(GeneratedTree, ParticleStripsAreFourFramesOnWhite) {
    for (const std::string& p : imagePaths()) {
        if (p.find("particles/") == std::string::npos) {
            continue;
        }
        SDL_Surface* s = loadRgb("data/" + p);
        ASSERT_NE(s, nullptr) << p;
        ASSERT_EQ(s->w % 4, 0) << p;
        const int frame = s->w / 4;
        EXPECT_GE(frame, 5) << p;
        EXPECT_LE(frame, 10) << p;
        for (int k = 0; k < 4; ++k) {
            int coloured = 0;
            for (int y = 0; y < s->h; ++y) {
                for (int x = k * frame; x < (k + 1) * frame; ++x) {
                    coloured += rgbAt(s, x, y) != 0xFFFFFF ? 1 : 0;
                }
            }
            EXPECT_GT(coloured, 0) << p << " frame " << k;
            // Frame corners are key, so frames never bleed into each other.
            EXPECT_EQ(rgbAt(s, k * frame, 0), 0xFFFFFFu) << p;
        }
        SDL_FreeSurface(s);
    }
}

TEST_F(GeneratedTree, BackgroundHasNoBlackAtAnyScreenSize) {
    SDL_Surface* bg = loadRgb("data/images/backgrounds/background.png");
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->w, 1600);
    EXPECT_EQ(bg->h, 1200);
    for (auto [w, h] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1920, 1080}}) {
        SDL_Surface* z = zoomSurface(bg, w / 1600.0, h / 1200.0, 1);
        ASSERT_NE(z, nullptr);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_NE(rgbAt(z, x, y), 0u) << w << "x" << h << " at " << x << "," << y;
            }
        }
        SDL_FreeSurface(z);
    }
    SDL_FreeSurface(bg);
}

TEST_F(GeneratedTree, BlackAndWhiteTextReadEverywhere) {
    SDL_Surface* bg = loadRgb("data/images/backgrounds/background.png");
    ASSERT_NE(bg, nullptr);
    double lowest = 1, highest = 0;
    for (int y0 = 0; y0 + 40 <= bg->h; y0 += 20) {
        for (int x0 = 0; x0 + 40 <= bg->w; x0 += 20) {
            double sum = 0;
            for (int y = y0; y < y0 + 40; ++y) {
                for (int x = x0; x < x0 + 40; ++x) {
                    sum += luminance(rgbAt(bg, x, y));
                }
            }
            const double mean = sum / 1600;
            lowest = std::min(lowest, mean);
            highest = std::max(highest, mean);
        }
    }
    EXPECT_GE(lowest, 0.12);
    EXPECT_LE(highest, 0.25);
    // Contrast ratios of black and white text against the extremes.
    EXPECT_GE((lowest + 0.05) / 0.05, 3.0);
    EXPECT_GE(1.05 / (highest + 0.05), 3.0);
    SDL_FreeSurface(bg);
}

TEST_F(GeneratedTree, SoundsAreShortCleanAndBelowFullScale) {
    const Wave fire = readSound("data/snd/shipFire.wav");
    EXPECT_GE(fire.frames * 1000 / fire.rate, 100);
    EXPECT_LE(fire.frames * 1000 / fire.rate, 150);
    const Wave engine = readSound("data/snd/engine.wav");
    EXPECT_LE(engine.frames * 1000 / engine.rate, 70);
    const Wave hit = readSound("data/snd/asteroidHit.wav");
    EXPECT_GE(hit.frames * 1000 / hit.rate, 300);
    EXPECT_LE(hit.frames * 1000 / hit.rate, 500);
    const Wave turret = readSound("data/snd/turretFire.wav");
    EXPECT_GT(turret.frames, 0);
    const float minusOneDb = float(std::pow(10.0, -1.0 / 20));
    for (const std::string& p : kSounds) {
        const Wave w = readSound("data/" + p);
        EXPECT_GT(peakOf(w), 0.1f) << p;
        EXPECT_LE(peakOf(w), minusOneDb) << p;
    }
}

TEST_F(GeneratedTree, MusicLastsOneToTwoAndAHalfMinutesAtMatchedLoudness) {
    std::vector<double> loudness;
    for (const std::string& p : kMusic) {
        const Wave w = readSound("data/" + p);
        ASSERT_EQ(w.rate, 44100) << p;
        ASSERT_EQ(w.channels, 2) << p;
        const double seconds = double(w.frames) / w.rate;
        EXPECT_GE(seconds, 60) << p;
        EXPECT_LE(seconds, 150) << p;
        EXPECT_LT(peakOf(w), 1.0f) << p;
        double sum = 0;
        for (float v : w.samples) {
            sum += double(v) * v;
        }
        loudness.push_back(10 * std::log10(sum / w.samples.size()));
    }
    const auto [lo, hi] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*hi - *lo, 3.0);
}

TEST_F(GeneratedTree, EveryRunWritesTheSameTree) {
    const std::string a = "/tmp/stellarox-gen-a";
    const std::string b = "/tmp/stellarox-gen-b";
    removeTree(a);
    removeTree(b);
    ASSERT_EQ(std::system((std::string(STELLAROX_ASSETGEN) + " " + a).c_str()), 0);
    ASSERT_EQ(std::system((std::string(STELLAROX_ASSETGEN) + " " + b).c_str()), 0);
    for (const std::string& p : imagePaths()) {
        EXPECT_EQ(fileBytes(a + "/" + p), fileBytes(b + "/" + p)) << p;
    }
    for (const std::string& p : kSounds) {
        EXPECT_EQ(fileBytes(a + "/" + p), fileBytes(b + "/" + p)) << p;
    }
    // Ogg streams carry a random serial number: compare what they decode to.
    for (const std::string& p : kMusic) {
        EXPECT_EQ(readSound(a + "/" + p).samples, readSound(b + "/" + p).samples) << p;
    }
    removeTree(a);
    removeTree(b);
}
