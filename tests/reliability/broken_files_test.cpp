// One file of every group the game reads, broken as a damaged or tampered tree breaks it,
// ends the real game with that group's status or leaves it running.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <random>

#include "support/test_support.h"

using namespace std::string_literals;

namespace {

enum Damage { empty, truncated, randomBytes, otherFormat, namedPipe, hostile };
using Make = std::function<std::string(std::string)>;
struct BrokenFile {
    std::string path; // below data/
    Damage damage;
    int status;          // 0: the game runs to the title menu and closes cleanly
    Make make = nullptr; // the hostile file, made from the generated one
};

void PrintTo(const BrokenFile& f, std::ostream* os) {
    *os << f.path << " damage " << int(f.damage);
}

void put(std::string& b, size_t at, unsigned value, int width, bool big = true) {
    for (int i = 0; i < width; ++i) {
        b[at + size_t(i)] = char(value >> 8 * (big ? width - 1 - i : i));
    }
}

// A PNG whose header says w x h, its checksum recomputed so the decoder would take it.
Make pngOfSize(unsigned w, unsigned h, char interlace) {
    return [=](std::string png) {
        put(png, 16, w, 4), put(png, 20, h, 4), png[28] = interlace;
        unsigned crc = ~0u;
        for (size_t i = 12; i < 29; ++i) {
            crc ^= Uint8(png[i]);
            for (int k = 0; k < 8; ++k) {
                crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
            }
        }
        put(png, 29, ~crc, 4);
        return png;
    };
}

// The font with a 16-bit field of one table set to `value`.
Make fontWith(const char* table, size_t at, unsigned value) {
    return [=](std::string ttf) {
        for (size_t record = 12; record + 16 <= ttf.size(); record += 16) {
            if (ttf.compare(record, 4, table) == 0) {
                size_t offset = 0;
                for (size_t i = 8; i < 12; ++i) {
                    offset = offset << 8 | Uint8(ttf[record + i]);
                }
                put(ttf, offset + at, value, 2);
            }
        }
        return ttf;
    };
}

Make bytes(const std::string& text, size_t size = 0) {
    return [=](std::string) {
        return text + std::string(size > text.size() ? size - text.size() : 0, '\x80');
    };
}

void damageFile(const std::string& path, const BrokenFile& f) {
    // A sound where a picture belongs, and a picture where a sound belongs.
    const bool sound = path.ends_with(".wav") || path.ends_with(".ogg");
    const std::string other = sound ? "images/particles/exaustParticle.png" : "snd/engine.wav";
    std::ifstream in(f.damage == otherFormat ? "data/" + other : path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::mt19937 random(20261207);
    if (f.damage == namedPipe) {
        std::remove(path.c_str()), mkfifo(path.c_str(), 0644);
        return;
    }
    if (f.damage == truncated) {
        bytes.resize(bytes.size() / 2);
    } else if (f.damage == empty || f.damage == randomBytes) {
        bytes.assign(f.damage == empty ? 0 : 8192, '\0');
        std::generate(bytes.begin(), bytes.end(), [&] { return char(random()); });
    } else if (f.damage == hostile) {
        bytes = f.make(bytes);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<BrokenFile> brokenFiles() {
    std::vector<BrokenFile> cases;
    // clang-format off
    const BrokenFile groups[] = {
        {"fonts/LiberationSans-Bold.ttf", empty, 300},
        {"images/particles/exaustParticle.png", empty, 100},
        {"images/objects/turret.png", empty, 110},
        {"images/ships/ship_001.png", empty, 120},
        {"images/particles/shipExplosionParticle_001.png", empty, 120},
        {"snd/engine.wav", empty, 200},
        {"music/title.ogg", empty, 0},
    };
    // clang-format on
    for (const BrokenFile& g : groups) {
        // A font whose tables run past its end, or a WAV whose data does, is refused.
        for (Damage d : {empty, truncated, randomBytes, otherFormat, namedPipe}) {
            cases.push_back({g.path, d, g.status});
        }
    }
    // A hostile user's: other formats and pictures too large to draw where pictures
    // belong, a font claiming absurd metrics, a sound that swells past 1 MiB when converted.
    const std::string planet = "images/objects/planet.png", font = "fonts/LiberationSans-Bold.ttf";
    const std::string exhaust = "images/particles/exaustParticle.png";
    // clang-format off
    const BrokenFile hostiles[] = {
        {planet, hostile, 110, bytes("GIF89a\xff\x3f\xff\xff\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\xff\x3f\xff\xff\0\2\2\x44\1\0;"s)},
        {exhaust, hostile, 100, bytes("/* XPM */\nstatic char *x[] = {\"16383 65535 2147483647 1\"};\n")},
        {exhaust, hostile, 100, bytes("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\x3f\0\0\xff\xff\0\0\1\0\x18\0"s, 1162)},
        {planet, hostile, 110, pngOfSize(16000, 16000, 0)},
        {exhaust, hostile, 100, pngOfSize(16383, 32777, 1)},
        {font, hostile, 300, fontWith("head", 18, 16)},
        {font, hostile, 300, fontWith("hhea", 4, 32767)},
        {"snd/engine.wav", hostile, 200, bytes("RIFF\xf8\xff\x7f\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x40\x1f\0\0\1\0\x08\0data\xd4\xff\x7f\0"s, 8u << 20)},
    };
    // clang-format on
    cases.insert(cases.end(), std::begin(hostiles), std::end(hostiles));
    return cases;
}

class BrokenFiles : public ::testing::TestWithParam<BrokenFile> {};

} // namespace

TEST_P(BrokenFiles, EndWithTheirGroupsStatusOrKeepRunning) {
    const std::string tree = copyDataTree();
    damageFile(tree + "/data/" + GetParam().path, GetParam());
    // A game that loads stays in the title menu until SIGTERM closes its window.
    const RunResult r = runGameBinary(tree, {}, 60, 2500);
    removeTree(tree);
    EXPECT_EQ(r.status, GetParam().status & 0xFF) << r.output;
    EXPECT_EQ(r.output.find("runtime error:"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("AddressSanitizer"), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(Groups, BrokenFiles, ::testing::ValuesIn(brokenFiles()));
