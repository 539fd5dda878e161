#include "play/music.h"

#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>

#include "app/assets.h"
#include "app/clock.h"
#include "app/game_state.h"
#include "play/messages.h"

namespace {

struct Track {
    const char* file;
    const char* announcement;
};

// Indexed by track number; 0 stands for every number outside 1..7, which plays track 1.
const Track kTracks[8] = {
    {"data/music/01.ogg", "Song changed to track 1"},
    {"data/music/01.ogg", "Song changed to track 1"},
    {"data/music/02.ogg", "Song changed to track 2"},
    {"data/music/03.ogg", "Song changed to track 3"},
    {"data/music/04.ogg", "Song changed to track 4"},
    {"data/music/05.ogg", "Song changed to track 5"},
    {"data/music/06.ogg", "Song changed to track 6"},
    {"data/music/title.ogg", "Song changed to title track"},
};

const int kInGameTracks = 6;
const int kTitleTrack = 7;

const Track& trackFor(int number) {
    if (number < 1 || number > kTitleTrack) {
        return kTracks[0];
    }
    return kTracks[number];
}

const size_t kMaxMusicBytes = 64u << 20;
// How soon a track that ended may start again unasked.
const Uint32 kRetryMs = 5000;

// Ogg's CRC-32 (polynomial 0x04C11DB7, most significant bit first), four bytes a step:
// every page of a track is checked, and byte by byte that cost more than reading it.
Uint32 oggCrc(const Uint8* data, size_t length, Uint32 crc) {
    static Uint32 table[4][256] = {};
    if (table[0][1] == 0) {
        for (Uint32 i = 0; i < 256; ++i) {
            Uint32 r = i << 24;
            for (int k = 0; k < 8; ++k) {
                r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
            }
            table[0][i] = r;
        }
        for (int t = 1; t < 4; ++t) {
            for (Uint32 i = 0; i < 256; ++i) {
                table[t][i] = (table[t - 1][i] << 8) ^ table[0][table[t - 1][i] >> 24];
            }
        }
    }
    size_t i = 0;
    for (; i + 4 <= length; i += 4) {
        crc ^= Uint32(data[i]) << 24 | Uint32(data[i + 1]) << 16 | Uint32(data[i + 2]) << 8 |
               data[i + 3];
        crc = table[3][crc >> 24] ^ table[2][(crc >> 16) & 0xFF] ^ table[1][(crc >> 8) & 0xFF] ^
              table[0][crc & 0xFF];
    }
    for (; i < length; ++i) {
        crc = (crc << 8) ^ table[0][((crc >> 24) ^ data[i]) & 0xFF];
    }
    return crc;
}

// The decoder plays a chained file stream by stream, trusting each new stream's
// headers, and skips junk and pages with bad checksums to find more. So only one
// plain stream passes: pages back to back from the first byte to the last, every
// checksum whole, one serial number, the stream's start on the first page alone.
// Gives its first `count` packets (the headers).
bool wholeStream(const std::vector<Uint8>& b, size_t count, std::vector<std::vector<Uint8>>& out) {
    static const Uint8 kZeros[4] = {};
    std::vector<Uint8> packet;
    Uint32 serial = 0;
    size_t at = 0;
    while (at < b.size()) {
        if (at + 27 > b.size()) {
            return false;
        }
        // Flags: 1 continues a packet, 2 starts the stream, 4 ends it; no others exist.
        const Uint8 flags = b[at + 5];
        if (std::memcmp(&b[at], "OggS", 4) != 0 || b[at + 4] != 0 || (flags & ~7) != 0 ||
            ((flags & 2) != 0) != (at == 0) || (at == 0 && (flags & 1) != 0)) {
            return false;
        }
        const size_t segments = b[at + 26];
        if (at + 27 + segments > b.size()) {
            return false;
        }
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) {
            body += b[at + 27 + i];
        }
        const size_t length = 27 + segments + body;
        if (length > b.size() - at) {
            return false;
        }
        const Uint32 pageSerial = littleEndian(b, at + 14, 4);
        if (at == 0) {
            serial = pageSerial;
        }
        const Uint32 crc =
            oggCrc(&b[at + 26], length - 26, oggCrc(kZeros, 4, oggCrc(&b[at], 22, 0)));
        if (crc != littleEndian(b, at + 22, 4) || pageSerial != serial) {
            return false;
        }
        size_t data = at + 27 + segments;
        for (size_t i = 0; i < segments && out.size() < count; ++i) {
            const size_t lace = b[at + 27 + i];
            packet.insert(packet.end(), b.begin() + long(data), b.begin() + long(data + lace));
            data += lace;
            if (lace < 255) {
                out.push_back(packet);
                packet.clear();
            }
        }
        at += length;
    }
    return out.size() == count;
}

// Reads a packet's bits least significant first, as Vorbis packs them.
struct BitReader {
    const std::vector<Uint8>* bytes = nullptr;
    Uint64 position = 0;
    bool overrun = false;
};

Uint32 readBits(BitReader& r, int count) {
    Uint32 value = 0;
    for (int i = 0; i < count; ++i, ++r.position) {
        if (r.position >= Uint64(r.bytes->size()) * 8) {
            r.overrun = true;
            return 0;
        }
        value |= Uint32(((*r.bytes)[size_t(r.position / 8)] >> (r.position % 8)) & 1) << i;
    }
    return value;
}

int bitsFor(Uint32 value) {
    int bits = 0;
    for (; value != 0; value >>= 1) {
        ++bits;
    }
    return bits;
}

// The largest r with r^dimensions <= entries (dimensions >= 1).
Uint64 lookupValues(Uint32 entries, Uint32 dimensions) {
    if (dimensions == 1) {
        return entries;
    }
    Uint64 r = 0;
    for (;; ++r) {
        Uint64 power = 1;
        for (Uint32 d = 0; d < dimensions && power <= entries; ++d) {
            power *= r + 1;
        }
        if (power > entries) {
            return r;
        }
    }
}

// Bounds on what a codebook may make the decoder build: it keeps 8 bytes per entry on
// the stack while it sets a book up, and a float per entry and dimension. The game's
// tracks use at most 6561 entries and 61254 values in all.
const Uint32 kMaxCodebookEntries = 65536;
const Uint64 kMaxCodebookValues = Uint64(1) << 20;

// Walks one codebook, adding the values it unpacks to `values`. The decoder divides by a codebook's
// dimension when it splits residue partitions; a dimension of 0 ended the game with SIGFPE, and so
// did any codeword lengths that leave the code tree over- or under-full, because the decoder then
// leaves that book, and the ones after it, zeroed instead of refusing the file.
bool codebookIsSafe(BitReader& r, Uint64& values) {
    if (readBits(r, 24) != 0x564342) {
        return false;
    }
    const Uint32 dimensions = readBits(r, 16);
    const Uint32 entries = readBits(r, 24);
    if (dimensions == 0 || entries > kMaxCodebookEntries) {
        return false;
    }
    const Uint64 wholeTree = Uint64(1) << 32; // the sum of 2^(32 - length) when complete
    Uint64 tree = 0;
    Uint32 used = 0;
    if (readBits(r, 1) == 0) {
        const bool sparse = readBits(r, 1) != 0;
        for (Uint32 e = 0; e < entries && !r.overrun && tree <= wholeTree; ++e) {
            if (!sparse || readBits(r, 1) != 0) {
                tree += Uint64(1) << (31 - readBits(r, 5));
                ++used;
            }
        }
    } else {
        Uint32 length = readBits(r, 5) + 1;
        for (Uint32 e = 0; e < entries && !r.overrun && tree <= wholeTree; ++length) {
            const Uint32 run = readBits(r, bitsFor(entries - e));
            if (run > entries - e || length > 32) {
                return false;
            }
            tree += Uint64(run) << (32 - length);
            used += run;
            e += run;
        }
    }
    if (used > 1 && tree != wholeTree) {
        return false;
    }
    const Uint32 lookup = readBits(r, 4);
    if (lookup == 1 || lookup == 2) {
        readBits(r, 32);
        readBits(r, 32);
        const Uint32 valueBits = readBits(r, 4) + 1;
        readBits(r, 1);
        values += Uint64(entries) * dimensions;
        if (values > kMaxCodebookValues) {
            return false;
        }
        const Uint64 stored =
            lookup == 1 ? lookupValues(entries, dimensions) : Uint64(entries) * dimensions;
        r.position += stored * valueBits;
    } else if (lookup != 0) {
        return false;
    }
    return !r.overrun && r.position <= Uint64(r.bytes->size()) * 8;
}

} // namespace

bool musicFileIsPlayable(const std::vector<Uint8>& bytes) {
    std::vector<std::vector<Uint8>> headers;
    if (!wholeStream(bytes, 3, headers)) {
        return false;
    }
    const std::vector<Uint8>& id = headers[0];
    const std::vector<Uint8>& setup = headers[2];
    if (id.size() < 30 || id[0] != 1 || std::memcmp(&id[1], "vorbis", 6) != 0 || setup.size() < 8 ||
        setup[0] != 5 || std::memcmp(&setup[1], "vorbis", 6) != 0) {
        return false;
    }
    // The mixer's converter overran its buffer at absurd rates and knows two channels.
    const Uint32 rate = littleEndian(id, 12, 4);
    if ((id[11] != 1 && id[11] != 2) || !sampleRateIsPlayable(rate)) {
        return false;
    }
    BitReader r;
    r.bytes = &setup;
    r.position = 7 * 8;
    const Uint32 codebooks = readBits(r, 8) + 1;
    Uint64 values = 0;
    for (Uint32 c = 0; c < codebooks; ++c) {
        if (!codebookIsSafe(r, values)) {
            return false;
        }
    }
    return !r.overrun;
}

void playMusicTrack(int force, int track, int announce) {
    // Zero asks for any in-game track; the one now playing may be drawn again.
    if (track == 0) {
        track = std::rand() % kInGameTracks + 1;
    }
    const int number = track < 1 || track > kTitleTrack ? 1 : track;

    // Change the piece when nothing plays or the caller insists, but only with music on.
    if ((Mix_PlayingMusic() == 0 || force != 0) && game.musicOn) {
        // A refused file stays refused for this run, and a track that ended at once is
        // not started again at every frame: reading and checking it each time froze the
        // menus.
        if (game.musicRefused[number] != 0 ||
            (force == 0 && game.music != nullptr && game.musicTrack == number &&
             currentTicks() - game.musicStartTicks < kRetryMs)) {
            return;
        }
        if (game.music != nullptr) {
            Mix_FreeMusic(game.music); // stops it too, if it is the one playing
            game.music = nullptr;
        }
        const Track& chosen = trackFor(track);
        // The mixer plays from the very bytes that were checked, read once.
        const FileRead read = readWholeFile(chosen.file, kMaxMusicBytes, game.musicBytes);
        SDL_RWops* source = nullptr;
        if (read == FileRead::whole && musicFileIsPlayable(game.musicBytes)) {
            source = SDL_RWFromConstMem(game.musicBytes.data(), int(game.musicBytes.size()));
        }
        game.music = source != nullptr ? Mix_LoadMUSType_RW(source, MUS_OGG, 1) : nullptr;
        if (game.music == nullptr) {
            // A file not there yet (the browser fetches tracks late) may come; any
            // other stays silent for good. Nothing is said either way.
            game.musicRefused[number] = read != FileRead::missing;
            game.musicBytes.clear();
            return;
        }
        game.musicTrack = number;
        game.musicStartTicks = currentTicks();
        if (announce != 0) {
            showMessage(chosen.announcement, 3000);
        }
        Mix_PlayMusic(game.music, 0); // once; the game loop picks the next one
        return;
    }

    // Music switched off: whatever still plays stops.
    if (Mix_PlayingMusic() != 0 && game.musicOn == 0) {
        Mix_HaltMusic();
    }
}
