// Damaged sound and music files, made here from the generated ones: each ends with
// the sound status or a silent track, never a crash, a hang or a runaway allocation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app/assets.h"
#include "play/music.h"
#include "support/test_support.h"

using namespace std::string_literals;

namespace {

using Bytes = std::vector<Uint8>;
using Edit = std::function<void(Bytes&)>;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), long(b.size()));
}

void put(Bytes& b, size_t at, Uint32 value, int width) {
    for (int i = 0; i < width; ++i) {
        b[at + size_t(i)] = Uint8(value >> (8 * i));
    }
}

// Recomputes the checksum of the Ogg page at `at`, so the reader accepts the edit;
// gives the page's length.
size_t reseal(Bytes& b, size_t at) {
    size_t length = 27 + b[at + 26];
    for (size_t i = 0; i < b[at + 26]; ++i) {
        length += b[at + 27 + i];
    }
    put(b, at + 22, 0, 4);
    Uint32 crc = 0;
    for (size_t i = at; i < at + length; ++i) {
        crc ^= Uint32(b[i]) << 24;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    put(b, at + 22, crc, 4);
    return length;
}

// The generated tracks keep their headers in pages 0 and 1: identification at 28,
// comment at 103 and setup at 193, in the page at 58.
const size_t kSecondPage = 58;
const size_t kHeadersEnd = 4418; // where the first audio page starts
const size_t kSetup = 193;

Edit idField(size_t at, Uint32 value, int width) {
    return [=](Bytes& b) { put(b, 28 + at, value, width), reseal(b, 0); };
}

Edit setupByte(size_t at, Uint8 value) {
    return [=](Bytes& b) { b[kSetup + at] = value, reseal(b, kSecondPage); };
}

Edit wavField(size_t at, Uint32 value, int width) {
    return [=](Bytes& b) { put(b, at, value, width); };
}

// 8-bit mono at `rate`: the same bytes read as twice as many samples.
Edit eightBit(Uint32 rate) {
    return [=](Bytes& b) {
        put(b, 22, 1, 2), put(b, 24, rate, 4), put(b, 28, rate, 4), put(b, 32, 1, 2),
            put(b, 34, 8, 2);
    };
}

// 8-bit mono at 8000 Hz of `frames` samples.
Edit eightBitFrames(Uint32 frames) {
    return [=](Bytes& b) {
        eightBit(8000)(b), b.resize(44 + frames, 0x80), put(b, 40, frames, 4),
            put(b, 4, 36 + frames, 4);
    };
}

// The track followed by a second stream of itself, edited, under another serial number,
// `junk` bytes apart.
Edit chained(Edit edit, size_t junk = 0) {
    return [=](Bytes& b) {
        Bytes second = b;
        edit(second);
        for (size_t at = 0; at < second.size(); at += reseal(second, at)) {
            put(second, at + 14, 0x5EC0D, 4);
        }
        b.insert(b.end(), junk, 0x55);
        b.insert(b.end(), second.begin(), second.end());
    };
}

Edit replaceWith(const std::string& text) {
    return [=](Bytes& b) { b.assign(text.begin(), text.end()); };
}

// `expected`: the game's exit status (0: still running when SIGTERM came), or for music 1
// when it plays and is announced, 0 when it stays silent. `wholeGame`: run the game too.
struct Row {
    const char* what;
    Edit edit;
    int expected;
    bool wholeGame = false;
};

} // namespace

TEST(DamagedAudio, SoundFilesTheMixerCannotTakeEndWithStatus200) {
    const std::string tree = copyDataTree();
    const std::string slot = tree + "/data/snd/shipFire.wav";
    const Bytes wav = readFile(slot);
    ASSERT_GT(wav.size(), 44u);
    const Row rows[] = {
        {"8-bit at 5 Hz", eightBit(5), 200, true},
        {"16-bit at 2 Hz", wavField(24, 2, 4), 200, true},
        {"rate 0", wavField(24, 0, 4), 200},
        {"rate 10", wavField(24, 10, 4), 200},
        {"rate INT_MAX", wavField(24, 2147483647, 4), 200},
        {"0 channels", wavField(22, 0, 2), 200},
        {"255 channels", wavField(22, 255, 2), 200},
        {"float encoding", wavField(20, 3, 2), 200},
        {"extensible encoding", wavField(20, 0xFFFE, 2), 200},
        {"24-bit width", wavField(34, 24, 2), 200},
        {"0-bit width", wavField(34, 0, 2), 200},
        {"data past the end", wavField(40, 0xFFFFFFF0u, 4), 200},
        {"format past the end", wavField(16, 0x7FFFFFF0, 4), 200},
        {"RIFF past the end", wavField(4, 0xFFFFFFFFu, 4), 200},
        {"AIFF without COMM",
         replaceWith("FORM\0\0\0\x15"
                     "AIFFSSND\0\0\0\x09"
                     "123456789"s),
         200, true},
        {"62-byte VOC",
         replaceWith("Creative Voice File\x1A\x1A\0\x0A\x01\x29\x11"s + std::string(36, 0)), 200,
         true},
        {"empty", replaceWith(""), 200},
        {"8-bit at 8000 Hz", eightBit(8000), 0, true},
        // 1 MiB at 44100 Hz, 2 channels of 16 bits, once converted: the longest allowed.
        {"47554 frames at 8000 Hz", eightBitFrames(47554), 0, true},
        {"47555 frames at 8000 Hz", eightBitFrames(47555), 200},
    };
    // The whole game for the cases that crashed or hung it, and a valid 8-bit file;
    // the loader's check alone for the others, to keep the run short.
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes damaged = wav;
        row.edit(damaged);
        EXPECT_EQ(soundFileIsPlayable(damaged), row.expected == 0);
        if (row.wholeGame) {
            writeFile(slot, damaged);
            EXPECT_EQ(runGameBinary(tree, {}, 30, row.expected == 0 ? 1500 : -1).status,
                      row.expected);
        }
    }
    removeTree(tree);
}

TEST(DamagedAudio, MusicTheMixerCannotTakeStaysSilentAndUnannouncedAndPlayGoesOn) {
    const std::string tree = copyDataTree();
    startSdl();
    useManualClock();
    const std::string slot = tree + "/data/music/title.ogg";
    const Bytes ogg = readFile(slot);
    ASSERT_EQ(std::string(ogg.begin() + kSetup, ogg.begin() + kSetup + 7), "\x05vorbis");
    // Setup edits that stopped the decoder with SIGFPE: the four bytes leave a code
    // tree over- or under-full; a codebook of dimension 0 did the same.
    const Row rows[] = {
        {"rate INT_MAX", idField(12, 2147483647, 4), 0},
        {"rate 0", idField(12, 0, 4), 0},
        {"0 channels", idField(11, 0, 1), 0},
        {"255 channels", idField(11, 255, 1), 0},
        {"setup byte 35", setupByte(35, 230), 0},
        {"setup byte 1015", setupByte(1015, 18), 0},
        {"setup byte 2394", setupByte(2394, 64), 0},
        {"setup byte 3402", setupByte(3402, 0), 0},
        {"codebook dimension 0", [](Bytes& b) { setupByte(11, 0)(b), setupByte(12, 0)(b); }, 0},
        {"cut in the setup page", [](Bytes& b) { b.resize(2000); }, 0},
        {"codebook of 2^21 entries", setupByte(15, 0x20), 0},
        {"headers, then zeros", [](Bytes& b) { b.resize(kHeadersEnd), b.resize(1 << 20, 0); }, 0},
        {"chained, 9 channels", chained(idField(11, 9, 1)), 0},
        {"chained, 4194303 Hz", chained(idField(12, 4194303, 4)), 0},
        {"chained, dimension 0",
         chained([](Bytes& b) { setupByte(11, 0)(b), setupByte(12, 0)(b); }), 0},
        {"chained, 100 junk bytes apart", chained([](Bytes&) {}, 100), 0},
        {"chained, in a bad page",
         [](Bytes& b) { chained([](Bytes&) {})(b), b[b.size() / 2 + 5000] ^= 1; }, 0},
        {"empty", replaceWith(""), 0},
        {"comment edited", [](Bytes& b) { b[123] ^= 1, reseal(b, kSecondPage); }, 1},
        {"as generated", [](Bytes&) {}, 1},
    };
    const std::string home = sourceDir();
    ASSERT_EQ(chdir(tree.c_str()), 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes damaged = ogg;
        row.edit(damaged);
        writeFile(slot, damaged);
        clearMessages();
        game.musicRefused[7] = 0;
        playMusicTrack(1, 7, 1);
        EXPECT_EQ(game.music != nullptr, row.expected == 1);
        EXPECT_EQ(messageTexts({"Song changed to title track"}).size(), size_t(row.expected));
    }
    // A refused track stays refused for the run, even once mended.
    writeFile(slot, Bytes(ogg.begin(), ogg.begin() + 2000));
    playMusicTrack(1, 7, 1);
    writeFile(slot, ogg);
    playMusicTrack(1, 7, 1);
    EXPECT_EQ(game.music, nullptr);
    game.musicRefused[7] = 0;
    // Headers alone: the track ends at once (halted here, not to wait for the mixer), and
    // the title menu's call at every frame starts it again only after 5 s.
    Bytes headers = ogg;
    headers.resize(kHeadersEnd);
    writeFile(slot, headers);
    clearMessages();
    advanceClock(5000);
    for (int frame = 0; frame < 200; ++frame, advanceClock(33)) {
        Mix_HaltMusic();
        playMusicTrack(0, 7, 1);
        EXPECT_EQ(game.messages.size(), frame < 152 ? 1u : 2u) << frame;
    }
    ASSERT_EQ(chdir(home.c_str()), 0);
    // The whole game, its title track stopping the decoder as it stood before.
    Bytes broken = ogg;
    setupByte(35, 230)(broken);
    writeFile(slot, broken);
    EXPECT_EQ(runGameBinary(tree, {}, 30, 3000).status, 0);
    removeTree(tree);
}
