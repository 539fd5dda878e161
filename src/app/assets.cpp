#include "app/assets.h"

#include <cstdlib>

#include "app/drawing.h"
#include "app/game_state.h"
#include "app/startup.h"

namespace {

const char* const kFontPath = "data/fonts/LiberationSans-Bold.ttf";

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
    game.shipFireSound = Mix_LoadWAV_RW(SDL_RWFromFile("data/snd/shipFire.wav", "rb"), 1);
    game.turretFireSound = Mix_LoadWAV_RW(SDL_RWFromFile("data/snd/turretFire.wav", "rb"), 1);
    game.engineSound = Mix_LoadWAV_RW(SDL_RWFromFile("data/snd/engine.wav", "rb"), 1);
    game.asteroidHitSound = Mix_LoadWAV_RW(SDL_RWFromFile("data/snd/asteroidHit.wav", "rb"), 1);
    if (game.shipFireSound == nullptr || game.turretFireSound == nullptr ||
        game.engineSound == nullptr || game.asteroidHitSound == nullptr) {
        exitWithoutCleanup(200);
    }
}
