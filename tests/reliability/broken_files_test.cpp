// One file of every group the game reads, broken as a damaged or tampered tree breaks it,
// ends the real game with that group's status or leaves it running.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "support/test_support.h"

namespace {

enum Damage { empty, truncated, randomBytes, otherFormat };
struct BrokenFile {
    std::string path; // below data/
    Damage damage;
    int status; // 0: the game runs to the title menu and closes cleanly
};

void PrintTo(const BrokenFile& f, std::ostream* os) {
    *os << f.path << " damage " << int(f.damage);
}

void damageFile(const std::string& path, Damage damage) {
    // A sound where a picture belongs, and a picture where a sound belongs.
    const bool sound = path.ends_with(".wav") || path.ends_with(".ogg");
    const std::string other = sound ? "images/particles/exaustParticle.png" : "snd/engine.wav";
    std::ifstream in(damage == truncated ? path : "data/" + other, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::mt19937 random(20261207);
    if (damage == truncated) {
        bytes.resize(bytes.size() / 2);
    } else if (damage == empty || damage == randomBytes) {
        bytes.assign(damage == empty ? 0 : 8192, '\0');
        std::generate(bytes.begin(), bytes.end(), [&] { return char(random()); });
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
        // Half a font still decodes, so the game runs; a WAV whose data runs past its end
        // is refused like any sound the mixer cannot take.
        for (Damage d : {empty, truncated, randomBytes, otherFormat}) {
            cases.push_back({g.path, d, d == truncated && g.path.ends_with(".ttf") ? 0 : g.status});
        }
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
