// Hostile data files: every group the game reads, each broken in the ways a damaged
// or tampered tree breaks it, must end with that group's status or keep running.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

enum class Damage { empty, truncated, randomBytes, otherFormat, hugePng, alphaPng };

struct BrokenFile {
    const char* path; // below data/
    Damage damage;
    int status; // 0: the game runs to the title menu and closes cleanly
};

const char* damageName(Damage d) {
    const char* names[] = {"Empty",       "Truncated", "RandomBytes",
                           "OtherFormat", "HugePng",   "AlphaPng"};
    return names[int(d)];
}

void PrintTo(const BrokenFile& f, std::ostream* os) {
    *os << f.path << ", " << damageName(f.damage);
}

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// A PNG written row by row, so even a huge one costs little memory and disk.
void writePng(const std::string& path, int w, int h, bool alpha) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    const int channels = alpha ? 4 : 1;
    png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(w) * channels, 0);
    for (int x = 0; alpha && x < w; ++x) {
        // Half see-through, half magenta: the key and the alpha channel both matter.
        png_byte* p = &row[size_t(x) * 4];
        p[0] = 255;
        p[1] = x % 2 ? 255 : 0;
        p[2] = 255;
        p[3] = png_byte(x * 255 / w);
    }
    for (int y = 0; y < h; ++y) {
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

void damageFile(const std::string& path, Damage damage) {
    const std::string data = sourceDir() + "/data/";
    switch (damage) {
    case Damage::empty:
        writeAll(path, {});
        break;
    case Damage::truncated: {
        std::vector<char> bytes = readAll(path);
        bytes.resize(bytes.size() / 2);
        writeAll(path, bytes);
        break;
    }
    case Damage::randomBytes: {
        std::mt19937 random(20261207);
        std::vector<char> bytes(8192);
        for (char& c : bytes) {
            c = char(random());
        }
        writeAll(path, bytes);
        break;
    }
    case Damage::otherFormat: {
        // A sound where a picture or font belongs, a picture where a sound belongs.
        const bool sound = path.ends_with(".wav") || path.ends_with(".ogg");
        writeAll(path, readAll(data +
                               (sound ? "images/particles/exaustParticle.png" : "snd/engine.wav")));
        break;
    }
    case Damage::hugePng:
        writePng(path, 20000, 20000, false);
        break;
    case Damage::alphaPng:
        writePng(path, 64, 64, true);
        break;
    }
}

class BrokenFiles : public ::testing::TestWithParam<BrokenFile> {};

} // namespace

TEST_P(BrokenFiles, EndWithTheirGroupsStatusOrKeepRunning) {
    const BrokenFile& c = GetParam();
    const std::string tree = copyDataTree();
    ASSERT_FALSE(tree.empty());
    damageFile(tree + "/data/" + c.path, c.damage);
    // A game that loads stays in the title menu until SIGTERM closes its window.
    const RunResult r = runGameBinary(tree, {}, 60, 2500);
    removeTree(tree);
    EXPECT_EQ(r.status, c.status & 0xFF) << r.output;
    EXPECT_EQ(r.output.find("runtime error:"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("AddressSanitizer"), std::string::npos) << r.output;
}

namespace {

std::vector<BrokenFile> brokenFiles() {
    const Damage anyFile[] = {Damage::empty, Damage::truncated, Damage::randomBytes,
                              Damage::otherFormat};
    // One representative per group; a hostile picture counts as an unreadable one.
    const BrokenFile groups[] = {
        {"fonts/LiberationSans-Bold.ttf", Damage::empty, 300},
        {"images/particles/exaustParticle.png", Damage::empty, 100},
        {"images/objects/turret.png", Damage::empty, 110},
        {"images/ships/ship_001.png", Damage::empty, 120},
        {"images/particles/shipExplosionParticle_001.png", Damage::empty, 120},
        {"snd/engine.wav", Damage::empty, 200},
        {"music/title.ogg", Damage::empty, 0},
    };
    std::vector<BrokenFile> cases;
    for (const BrokenFile& g : groups) {
        for (Damage d : anyFile) {
            // Half a font or a WAV still decodes: FreeType and SDL's WAV reader take
            // what is there, so the game runs.
            const bool partial = d == Damage::truncated && (std::string(g.path).ends_with(".ttf") ||
                                                            std::string(g.path).ends_with(".wav"));
            cases.push_back({g.path, d, partial ? 0 : g.status});
        }
        if (std::string(g.path).ends_with(".png")) {
            cases.push_back({g.path, Damage::hugePng, g.status});
            cases.push_back({g.path, Damage::alphaPng, 0});
        }
    }
    // The background is zoomed to the window, smoothly: its own huge case.
    cases.push_back({"images/backgrounds/background.png", Damage::hugePng, 110});
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<BrokenFile>& info) {
    std::string name = fs::path(info.param.path).stem().string();
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name + damageName(info.param.damage);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Groups, BrokenFiles, ::testing::ValuesIn(brokenFiles()), caseName);
