#include "app/assets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/drawing.h"
#include "app/game_state.h"
#include "app/startup.h"

namespace {

const char* const kFontPath = "data/fonts/LiberationSans-Bold.ttf";

// A sound effect is short; the cap bounds what the mixer's rate conversion may allocate.
const size_t kMaxSoundBytes = 8u << 20;

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
    if (!readWholeFile(path, kMaxSoundBytes, bytes) || !soundFileIsPlayable(bytes)) {
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
        game.mediumFont = TTF_OpenFont(kFontPath, game.screenHeight * 35 / 768);
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

bool readWholeFile(const char* path, size_t maxBytes, std::vector<Uint8>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    Uint8 block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= maxBytes) {
        bytes.insert(bytes.end(), block, block + got);
    }
    const bool whole = std::ferror(file) == 0 && bytes.size() <= maxBytes;
    std::fclose(file);
    return whole;
}

bool sampleRateIsPlayable(Uint32 rate) {
    return rate >= 8000 && rate <= 96000;
}

bool soundFileIsPlayable(const std::vector<Uint8>& bytes) {
    const size_t n = bytes.size();
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
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            return formatSeen;
        }
        at += 8 + size_t(size) + (size & 1); // chunks are padded to even lengths
    }
    return false;
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
    game.smallFont = TTF_OpenFont(kFontPath, game.screenHeight * 20 / 768);
    game.mediumFont = TTF_OpenFont(kFontPath, game.screenHeight * 33 / 768);
    game.largeFont = TTF_OpenFont(kFontPath, game.screenHeight * 50 / 768);
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
