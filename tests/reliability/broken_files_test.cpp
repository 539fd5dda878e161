// One file of every group the game reads, broken as a damaged or tampered tree breaks it,
// ends the real game with that group's status or leaves it running.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>

#include "support/test_support.h"

using namespace std::string_literals;

namespace {

// The last ones are a hostile user's: another format or a picture too large to draw
// in a picture's place, a font claiming absurd metrics, a sound that swells 22-fold
// when converted, a named pipe that would block whoever opens it.
enum Damage {
    empty,
    truncated,
    randomBytes,
    otherFormat,
    namedPipe,
    hugeGif,
    emptyGif,
    hugeXpm,
    hugeBmp,
    hugePng,
    hugeInterlacedPng,
    tinyEmFont,
    tallFont,
    longSound
};
struct BrokenFile {
    std::string path; // below data/
    Damage damage;
    int status; // 0: the game runs to the title menu and closes cleanly
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
std::string pngOfSize(std::string png, unsigned w, unsigned h, char interlace) {
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
}

// The font with a 16-bit field of one table set to `value`.
std::string fontWith(std::string ttf, const char* table, size_t at, unsigned value) {
    const std::string_view tag(table, 4);
    for (size_t record = 12; record + 16 <= ttf.size(); record += 16) {
        if (ttf.compare(record, 4, tag) == 0) {
            const size_t offset = Uint8(ttf[record + 8]) << 24 | Uint8(ttf[record + 9]) << 16 |
                                  Uint8(ttf[record + 10]) << 8 | Uint8(ttf[record + 11]);
            put(ttf, offset + at, value, 2);
            break;
        }
    }
    return ttf;
}

void damageFile(const std::string& path, Damage damage) {
    // A sound where a picture belongs, and a picture where a sound belongs.
    const bool sound = path.ends_with(".wav") || path.ends_with(".ogg");
    const std::string other = sound ? "images/particles/exaustParticle.png" : "snd/engine.wav";
    std::ifstream in(damage == otherFormat ? "data/" + other : path, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::mt19937 random(20261207);
    std::string wav = "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\0\0\0\0\0\0\0\0\1\0\x08\0data\0\0\0\0"s;
    switch (damage) {
    case truncated:
        bytes.resize(bytes.size() / 2);
        break;
    case empty:
        bytes.clear();
        break;
    case randomBytes:
        bytes.assign(8192, '\0');
        std::generate(bytes.begin(), bytes.end(), [&] { return char(random()); });
        break;
    case namedPipe:
        std::remove(path.c_str()), mkfifo(path.c_str(), 0644);
        return;
    case hugeGif:
    case emptyGif:
        bytes = "GIF89a\0\0\0\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\0\0\0\0\0\2\2\x44\1\0;"s;
        damage == hugeGif ? (put(bytes, 6, 16383, 2, false), put(bytes, 8, 65535, 2, false),
                             put(bytes, 23, 16383, 2, false), put(bytes, 25, 65535, 2, false))
                          : void();
        break;
    case hugeXpm:
        bytes = "/* XPM */\nstatic char *x[] = {\"16383 65535 2147483647 1\"};\n";
        break;
    case hugeBmp:
        bytes.assign(1162, '\0');
        bytes.replace(0, 2, "BM"), put(bytes, 10, 54, 4, false), put(bytes, 14, 40, 4, false);
        put(bytes, 18, 16383, 4, false), put(bytes, 22, 65535, 4, false);
        put(bytes, 26, 1, 2, false), put(bytes, 28, 24, 2, false);
        break;
    case hugePng:
        bytes = pngOfSize(bytes, 16000, 16000, 0);
        break;
    case hugeInterlacedPng:
        bytes = pngOfSize(bytes, 16383, 32777, 1);
        break;
    case tinyEmFont:
        bytes = fontWith(bytes, "head", 18, 16);
        break;
    case tallFont:
        bytes = fontWith(fontWith(bytes, "hhea", 4, 32767), "hhea", 6, 0x8001);
        break;
    case longSound: // 8-bit mono at 8000 Hz, as long as the file cap allows
        put(wav, 24, 8000, 4, false), put(wav, 28, 8000, 4, false);
        put(wav, 40, (8u << 20) - 44, 4, false), put(wav, 4, (8u << 20) - 8, 4, false);
        bytes = wav + std::string((8u << 20) - 44, '\x80');
        break;
    default:
        break;
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
    const std::string planet = "images/objects/planet.png";
    const std::string exhaust = "images/particles/exaustParticle.png";
    const std::string font = "fonts/LiberationSans-Bold.ttf";
    for (const BrokenFile& hostile :
         std::initializer_list<BrokenFile>{{planet, hugeGif, 110},
                                           {planet, emptyGif, 110},
                                           {exhaust, hugeXpm, 100},
                                           {exhaust, hugeBmp, 100},
                                           {planet, hugePng, 110},
                                           {exhaust, hugeInterlacedPng, 100},
                                           {font, tinyEmFont, 300},
                                           {font, tallFont, 300},
                                           {"snd/engine.wav", longSound, 200}}) {
        cases.push_back(hostile);
    }
    return cases;
}

class BrokenFiles : public ::testing::TestWithParam<BrokenFile> {};

} // namespace

TEST_P(BrokenFiles, EndWithTheirGroupsStatusOrKeepRunning) {
    const std::string tree = copyDataTree();
    damageFile(tree + "/data/" + GetParam().path, GetParam().damage);
    // A game that loads stays in the title menu until SIGTERM closes its window.
    const RunResult r = runGameBinary(tree, {}, 60, 2500);
    removeTree(tree);
    EXPECT_EQ(r.status, GetParam().status & 0xFF) << r.output;
    EXPECT_EQ(r.output.find("runtime error:"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("AddressSanitizer"), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(Groups, BrokenFiles, ::testing::ValuesIn(brokenFiles()));
