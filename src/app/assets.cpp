#include "app/assets.h"

#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/drawing.h"
#include "app/game_state.h"
#include "app/startup.h"

namespace {

const char* const kFontPath = "data/fonts/LiberationSans-Bold.ttf";

// Caps on what is read at all; the checks then bound what decoding may cost.
const size_t kMaxSoundBytes = 8u << 20;
const size_t kMaxPictureBytes = 16u << 20;
const size_t kMaxFontBytes = 16u << 20;

// The mixer's own readers crashed or hung on odd formats, so only the plain
// shape it converts well reaches it, with every chunk inside the file.
bool formatIsPlayable(const std::vector<Uint8>& bytes, size_t at) {
    const Uint32 encoding = littleEndian(bytes, at, 2);
    const Uint32 channels = littleEndian(bytes, at + 2, 2);
    const Uint32 rate = littleEndian(bytes, at + 4, 4);
    const Uint32 blockAlign = littleEndian(bytes, at + 12, 2);
    const Uint32 bits = littleEndian(bytes, at + 14, 2);
    return encoding == 1 && (channels == 1 || channels == 2) && (bits == 8 || bits == 16) &&
           blockAlign == channels * bits / 8 && sampleRateIsPlayable(rate);
}

Mix_Chunk* loadSound(const char* path) {
    std::vector<Uint8> bytes;
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    // The mixer converts to the device's format; before it is open, assume the default.
    if (Mix_QuerySpec(&rate, &format, &channels) == 0) {
        rate = 44100, format = AUDIO_S16LSB, channels = 2;
    }
    if (readWholeFile(path, kMaxSoundBytes, bytes) != FileRead::whole ||
        !soundFileIsPlayable(bytes, rate, channels, (format & 0xFF) / 8)) {
        return nullptr;
    }
    // The mixer converts the bytes into a chunk of its own; the checked copy then goes.
    return Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
}

// Sprites stand on magenta and are zoomed without smoothing; a picture that cannot be
// loaded or zoomed ends the process as loadScaledImage does.
SDL_Surface* zoomSprite(SDL_Surface* image, double zoom) {
    SDL_Surface* zoomed = zoomKeyed(image, zoom, zoom, 0, 0xFF00FF);
    if (zoomed == nullptr) {
        quit(110);
    }
    return zoomed;
}

SDL_Surface* decodeSprite(const std::string& path) {
    return decodeImage(path, true, 255, 0, 255);
}

SDL_Surface* loadSprite(const std::string& path, double zoom) {
    return loadScaledImage(path, true, 255, 0, 255, zoom, zoom, 0, 0xFF00FF);
}

void showLoadingScreen() {
    if (game.background != nullptr) {
        blitAt(0, 0, game.background, game.screen);
    }
    if (game.mediumFont != nullptr) {
        TTF_CloseFont(game.mediumFont);
        game.mediumFont = openGameFont(game.screenHeight * 35 / 768);
        // The menus render with this font later; without it they could not draw.
        if (game.mediumFont == nullptr) {
            quit(300);
        }
        game.textSurface =
            TTF_RenderText_Solid(game.mediumFont, "Loading files, please wait...", game.textColour);
        if (game.textSurface != nullptr) {
            blitAt(game.screenWidth / 2 - game.textSurface->w / 2,
                   game.screenHeight / 2 - game.textSurface->h / 2, game.textSurface, game.screen);
            SDL_FreeSurface(game.textSurface);
            game.textSurface = nullptr;
        }
    }
    if (SDL_Flip(game.screen) == -1) {
        quit(1);
    }
}

} // namespace

std::string designNumber(int n) {
    std::stringstream& s = freshTextStream();
    if (n <= 99) {
        s << "0";
    }
    if (n <= 9) {
        s << "0";
    }
    s << n;
    return s.str();
}

Uint32 littleEndian(const std::vector<Uint8>& bytes, size_t at, int width) {
    Uint32 value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + size_t(i)];
    }
    return value;
}

Uint32 bigEndian(const std::vector<Uint8>& bytes, size_t at, int width) {
    Uint32 value = 0;
    for (int i = 0; i < width; ++i) {
        value = value << 8 | bytes[at + size_t(i)];
    }
    return value;
}

FileRead readWholeFile(const char* path, size_t maxBytes, std::vector<Uint8>& bytes) {
    bytes.clear();
    // Not blocking: opening a named pipe would otherwise wait for a writer forever.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FileRead::missing;
    }
    struct stat status = {};
    FileRead result = FileRead::refused;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && Uint64(status.st_size) <= maxBytes) {
        Uint8 block[65536];
        ssize_t got = 0;
        while ((got = read(fd, block, sizeof block)) > 0 && bytes.size() <= maxBytes) {
            bytes.insert(bytes.end(), block, block + got);
        }
        result = got == 0 && bytes.size() <= maxBytes ? FileRead::whole : FileRead::refused;
    }
    close(fd);
    if (result != FileRead::whole) {
        bytes.clear();
    }
    return result;
}

bool sampleRateIsPlayable(Uint32 rate) {
    return rate >= 8000 && rate <= 96000;
}

bool soundFileIsPlayable(const std::vector<Uint8>& bytes, int deviceRate, int deviceChannels,
                         int deviceSampleBytes) {
    const size_t n = bytes.size();
    size_t format = 0;
    if (n < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0 || littleEndian(bytes, 4, 4) > n - 8) {
        return false;
    }
    bool formatSeen = false;
    for (size_t at = 12; at + 8 <= n;) {
        const Uint32 size = littleEndian(bytes, at + 4, 4);
        if (size > n - at - 8) {
            return false;
        }
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
            if (size < 16 || !formatIsPlayable(bytes, at + 8)) {
                return false;
            }
            formatSeen = true;
            format = at + 8;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!formatSeen || deviceRate <= 0 || deviceChannels <= 0 || deviceSampleBytes <= 0) {
                return false;
            }
            // What the mixer keeps is the converted copy: bound that, not the file.
            const Uint64 frames = size / littleEndian(bytes, format + 12, 2);
            const Uint64 rate = littleEndian(bytes, format + 4, 4);
            const Uint64 converted = (frames * Uint64(deviceRate) + rate - 1) / rate *
                                     Uint64(deviceChannels) * Uint64(deviceSampleBytes);
            return converted <= kMaxConvertedSoundBytes;
        }
        at += 8 + size_t(size) + (size & 1); // chunks are padded to even lengths
    }
    return false;
}

bool pictureSizeIsDrawable(double w, double h) {
    return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
           w * h <= double(kMaxPicturePixels);
}

bool pictureFileIsDrawable(const std::vector<Uint8>& bytes) {
    static const Uint8 kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const size_t n = bytes.size();
    if (n < 8 + 25 || std::memcmp(bytes.data(), kSignature, 8) != 0 ||
        bigEndian(bytes, 8, 4) != 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return false;
    }
    const Uint32 width = bigEndian(bytes, 16, 4);
    const Uint32 height = bigEndian(bytes, 20, 4);
    const Uint32 depth = bytes[24];
    const Uint32 colour = bytes[25];
    // The bit depths each colour type allows.
    const bool depthFits =
        (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
        (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
        ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
    if (!pictureSizeIsDrawable(width, height) || !depthFits || bytes[26] != 0 || bytes[27] != 0 ||
        bytes[28] > 1) {
        return false;
    }
    for (size_t at = 8; at + 12 <= n;) {
        const Uint32 length = bigEndian(bytes, at, 4);
        if (length > n - at - 12) {
            return false;
        }
        if (std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0) {
            return at + 12 + length == n;
        }
        at += 12 + size_t(length);
    }
    return false;
}

SDL_Surface* decodePicture(const std::string& path) {
    std::vector<Uint8> bytes;
    if (readWholeFile(path.c_str(), kMaxPictureBytes, bytes) != FileRead::whole ||
        !pictureFileIsDrawable(bytes)) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    return source != nullptr ? IMG_LoadTyped_RW(source, 1, const_cast<char*>("PNG")) : nullptr;
}

bool fontFileIsUsable(const std::vector<Uint8>& bytes) {
    const size_t n = bytes.size();
    if (n < 12 ||
        (bigEndian(bytes, 0, 4) != 0x00010000 && std::memcmp(bytes.data(), "true", 4) != 0)) {
        return false;
    }
    const size_t tables = bigEndian(bytes, 4, 2);
    if (tables == 0 || 12 + 16 * tables > n) {
        return false;
    }
    size_t head = 0, hhea = 0, os2 = 0, os2Length = 0;
    for (size_t i = 0; i < tables; ++i) {
        const size_t record = 12 + 16 * i;
        const Uint32 offset = bigEndian(bytes, record + 8, 4);
        const Uint32 length = bigEndian(bytes, record + 12, 4);
        if (offset > n || length > n - offset) {
            return false;
        }
        const char* tag = reinterpret_cast<const char*>(bytes.data() + record);
        if (std::memcmp(tag, "head", 4) == 0 && length >= 54) {
            head = offset;
        } else if (std::memcmp(tag, "hhea", 4) == 0 && length >= 36) {
            hhea = offset;
        } else if (std::memcmp(tag, "OS/2", 4) == 0) {
            os2 = offset, os2Length = length;
        }
    }
    if (head == 0 || hhea == 0 || bigEndian(bytes, head + 12, 4) != 0x5F0F3CF5) {
        return false;
    }
    // Every size and line the renderer makes follows from these; absurd ones made the
    // menus crawl and take hundreds of megabytes.
    const int em = int(bigEndian(bytes, head + 18, 2));
    if (em < 64 || em > 16384) {
        return false;
    }
    const auto withinFourEms = [&](int e) { return e <= 4 * em && e >= -4 * em; };
    const auto signedAt = [&](size_t at) { return int(Sint16(bigEndian(bytes, at, 2))); };
    for (size_t at : {head + 36, head + 38, head + 40, head + 42, hhea + 4, hhea + 6, hhea + 8}) {
        if (!withinFourEms(signedAt(at))) {
            return false;
        }
    }
    // OS/2: typo ascender, descender and line gap (signed), win ascent and descent (not).
    return os2 == 0 || os2Length < 78 ||
           (withinFourEms(signedAt(os2 + 68)) && withinFourEms(signedAt(os2 + 70)) &&
            withinFourEms(signedAt(os2 + 72)) &&
            withinFourEms(int(bigEndian(bytes, os2 + 74, 2))) &&
            withinFourEms(int(bigEndian(bytes, os2 + 76, 2))));
}

TTF_Font* openGameFont(int points) {
    if (game.fontBytes.empty()) {
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(game.fontBytes.data(), int(game.fontBytes.size()));
    return source != nullptr ? TTF_OpenFontRW(source, 1, points) : nullptr;
}

void loadFiles() {
    loadFonts();
    loadImages();
    loadSounds();
}

void loadFonts() {
    if (SDL_Flip(game.screen) == -1) {
        quit(1);
    }
    TTF_CloseFont(game.smallFont);
    TTF_CloseFont(game.mediumFont);
    TTF_CloseFont(game.largeFont);
    game.smallFont = game.mediumFont = game.largeFont = nullptr;
    // Read and checked once; every later size opens from these bytes.
    if (game.fontBytes.empty() &&
        (readWholeFile(kFontPath, kMaxFontBytes, game.fontBytes) != FileRead::whole ||
         !fontFileIsUsable(game.fontBytes))) {
        game.fontBytes.clear();
        quit(300);
    }
    game.smallFont = openGameFont(game.screenHeight * 20 / 768);
    game.mediumFont = openGameFont(game.screenHeight * 33 / 768);
    game.largeFont = openGameFont(game.screenHeight * 50 / 768);
    if (game.smallFont == nullptr || game.mediumFont == nullptr || game.largeFont == nullptr) {
        quit(300);
    }
}

void loadImages() {
    game.exhaustParticleImage =
        loadImage("data/images/particles/exaustParticle.png", true, 255, 255, 255);
    game.explosionParticleImage =
        loadImage("data/images/particles/explosionParticle.png", true, 255, 255, 255);
    if (game.exhaustParticleImage == nullptr || game.explosionParticleImage == nullptr) {
        exitWithoutCleanup(100);
    }

    game.background = loadScaledImage("data/images/backgrounds/background.png", false, 0, 0, 0,
                                      game.screenWidth / 1600.0, game.screenHeight / 1200.0, 1, 0);

    showLoadingScreen();

    // A file drawn at several sizes is decoded once and zoomed to each.
    const double s = game.spriteScale;
    game.planetImage = loadSprite("data/images/objects/planet.png", s / 10);
    const double asteroidDivisors[6] = {0, 68.846, 43.029, 24.588, 17.212, 8.196};
    SDL_Surface* picture = decodeSprite("data/images/objects/asteroid.png");
    for (int size = 1; size <= 5; ++size) {
        game.asteroidImages[size] = zoomSprite(picture, s / asteroidDivisors[size]);
    }
    SDL_FreeSurface(picture);
    picture = decodeSprite("data/images/bullets/shipBullet.png");
    game.shipBulletImage = zoomSprite(picture, s / 60);
    game.largeShipBulletImage = zoomSprite(picture, s / 18);
    SDL_FreeSurface(picture);
    game.turretBulletImage = loadSprite("data/images/bullets/turretBullet.png", s / 60);
    game.turretImage = loadSprite("data/images/objects/turret.png", s / 10);
    game.crosshairImage = loadSprite("data/images/misc/crosshairs.png", s / 10);

    // Designs are not listed anywhere: probe numbered files until one is missing.
    game.shipImages.clear();
    for (int n = 1;; ++n) {
        const std::string number = designNumber(n);
        ShipImageSet set;
        picture = decodeSprite("data/images/ships/ship_" + number + ".png");
        SDL_Surface* ship = zoomKeyed(picture, s / 10, s / 10, 0, 0xFF00FF);
        if (ship == nullptr) {
            SDL_FreeSurface(picture);
            break;
        }
        set.shipImage = ship;
        set.previewImage = zoomKeyed(picture, s * 0.5, s * 0.5, 0, 0xFF00FF);
        SDL_FreeSurface(picture);
        set.explosionImage = loadImage(
            "data/images/particles/shipExplosionParticle_" + number + ".png", true, 255, 255, 255);
        game.shipImages.push_back(set);
    }
    for (const ShipImageSet& set : game.shipImages) {
        if (set.shipImage == nullptr || set.previewImage == nullptr ||
            set.explosionImage == nullptr) {
            exitWithoutCleanup(120);
        }
    }
    // Play needs at least one ship design.
    if (game.shipImages.empty()) {
        exitWithoutCleanup(120);
    }
}

void loadSounds() {
    Mix_FreeChunk(game.shipFireSound);
    Mix_FreeChunk(game.turretFireSound);
    Mix_FreeChunk(game.engineSound);
    Mix_FreeChunk(game.asteroidHitSound);
    game.shipFireSound = loadSound("data/snd/shipFire.wav");
    game.turretFireSound = loadSound("data/snd/turretFire.wav");
    game.engineSound = loadSound("data/snd/engine.wav");
    game.asteroidHitSound = loadSound("data/snd/asteroidHit.wav");
    if (game.shipFireSound == nullptr || game.turretFireSound == nullptr ||
        game.engineSound == nullptr || game.asteroidHitSound == nullptr) {
        exitWithoutCleanup(200);
    }
}
