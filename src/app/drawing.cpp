#include "app/drawing.h"

#include <SDL_rotozoom.h>

#include <algorithm>
#include <cmath>

#include "app/assets.h"
#include "app/game_state.h"
#include "app/startup.h"

int truncToInt(double value) {
    if (!(value > -2147483648.0)) {
        return value != value ? 0 : -2147483647 - 1;
    }
    if (!(value < 2147483647.0)) {
        return 2147483647;
    }
    return int(value);
}

Sint16 toRectCoord(double value) {
    // Truncate toward zero into int, then keep the low 16 bits as SDL 1.2 does.
    // Values beyond int's range (never inside the field) saturate first.
    return Sint16(Uint16(Uint32(truncToInt(value))));
}

int blitAt(int x, int y, SDL_Surface* source, SDL_Surface* destination, SDL_Rect* clip) {
    SDL_Rect rect = {};
    rect.x = Sint16(Uint16(Uint32(x)));
    rect.y = Sint16(Uint16(Uint32(y)));
    return SDL_UpperBlit(source, clip, destination, &rect);
}

int blitWorld(int x, int yDown, SDL_Surface* source, SDL_Surface* destination, SDL_Rect* clip) {
    if (source == nullptr) {
        return -1;
    }
    SDL_Rect rect = {};
    rect.x = toRectCoord(x * game.scaleX - (source->w / 2));
    rect.y = toRectCoord(yDown * game.scaleY - (source->h / 2));
    return SDL_UpperBlit(source, clip, destination, &rect);
}

int blitOnRim(int x, int y, double angle, SDL_Surface* reference, SDL_Surface* source,
              SDL_Surface* destination, SDL_Rect* clip) {
    if (source == nullptr || reference == nullptr) {
        return -1;
    }
    SDL_Rect rect = {};
    double cx = x * game.scaleX;
    rect.x = toRectCoord(cx + std::cos(angle) * (reference->w / 2) - (source->w / 2));
    double cy = (game.worldHeight - y) * game.scaleY;
    rect.y = toRectCoord(cy - std::sin(angle) * (reference->h / 2) - (source->h / 2));
    return SDL_UpperBlit(source, clip, destination, &rect);
}

SDL_Surface* decodeImage(const std::string& path, bool useKey, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* loaded = decodePicture(path);
    if (loaded == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    if (useKey && converted != nullptr) {
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY,
                        SDL_MapRGB(converted->format, red, green, blue));
    }
    return converted;
}

SDL_Surface* runLengthEncoded(SDL_Surface* keyed) {
    if (keyed == nullptr || (keyed->flags & SDL_SRCCOLORKEY) == 0) {
        return keyed;
    }
    // The compatibility layer's SDL_SetColorKey drops SDL_RLEACCEL; a conversion keeps it.
    SDL_Surface* encoded = SDL_ConvertSurface(keyed, keyed->format, SDL_SRCCOLORKEY | SDL_RLEACCEL);
    if (encoded == nullptr) {
        return keyed;
    }
    SDL_FreeSurface(keyed);
    // Nor does it report the encoding in the flags, so SDL_MUSTLOCK would let a reader
    // take the pixel pointer unlocked, which the encoding leaves stale: say it here.
    encoded->flags |= SDL_RLEACCEL;
    return encoded;
}

void setKeyPixel(SDL_Surface* surface, Uint32 keyPixel) {
    Uint32 key = keyPixel;
    // A palette pixel cannot hold 0xFF00FF: there the value names the colour to key.
    if (surface->format->palette != nullptr) {
        key = SDL_MapRGB(surface->format, Uint8(keyPixel >> 16), Uint8(keyPixel >> 8),
                         Uint8(keyPixel));
    }
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY, key);
}

SDL_Surface* loadImage(const std::string& path, bool useKey, Uint8 red, Uint8 green, Uint8 blue) {
    return runLengthEncoded(decodeImage(path, useKey, red, green, blue));
}

SDL_Surface* zoomExact(SDL_Surface* source, double zoomX, double zoomY, int smooth) {
    if (source == nullptr) {
        return nullptr;
    }
    // A zoom past what any window shows is refused before SDL_gfx sizes it in int.
    // (SDL_gfx never makes less than one pixel.)
    if (!pictureSizeIsDrawable(std::max(1.0, std::floor(source->w * zoomX + 0.5)),
                               std::max(1.0, std::floor(source->h * zoomY + 0.5)))) {
        return nullptr;
    }
    SDL_Surface* zoomed = zoomSurface(source, zoomX, zoomY, smooth);
    if (zoomed == nullptr) {
        return nullptr;
    }
    const SDL_PixelFormat* f = zoomed->format;
    SDL_Surface* exact = SDL_CreateRGBSurface(SDL_SWSURFACE, zoomed->w, zoomed->h, f->BitsPerPixel,
                                              f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (exact != nullptr) {
        // A palette picture keeps its colours (a fresh palette is all white); the key
        // is set again by the caller.
        if (f->palette != nullptr) {
            SDL_SetPalette(exact, SDL_LOGPAL, f->palette->colors, 0, f->palette->ncolors);
        }
        SDL_SetAlpha(zoomed, 0, 255);
        SDL_SetColorKey(zoomed, 0, 0);
        SDL_Rect whole = {0, 0, Uint16(zoomed->w), Uint16(zoomed->h)};
        SDL_BlitSurface(zoomed, &whole, exact, nullptr);
    }
    SDL_FreeSurface(zoomed);
    return exact;
}

SDL_Surface* zoomKeyed(SDL_Surface* image, double zoomX, double zoomY, int smooth,
                       Uint32 keyPixel) {
    SDL_Surface* zoomed = zoomExact(image, zoomX, zoomY, smooth);
    if (zoomed == nullptr) {
        return nullptr;
    }
    // zoomSurface drops the source's key, so the zoomed result is keyed here, always.
    setKeyPixel(zoomed, keyPixel);
    return runLengthEncoded(zoomed);
}

SDL_Surface* loadScaledImage(const std::string& path, bool useKey, Uint8 red, Uint8 green,
                             Uint8 blue, double zoomX, double zoomY, int smooth, Uint32 keyPixel) {
    SDL_Surface* image = decodeImage(path, useKey, red, green, blue);
    SDL_Surface* zoomed = zoomKeyed(image, zoomX, zoomY, smooth, keyPixel);
    SDL_FreeSurface(image);
    if (zoomed == nullptr) {
        quit(110);
    }
    return zoomed;
}

void freeImages() {
    SDL_FreeSurface(game.background);
    SDL_FreeSurface(game.planetImage);
    for (int size = 1; size <= 5; ++size) {
        SDL_FreeSurface(game.asteroidImages[size]);
    }
    SDL_FreeSurface(game.shipBulletImage);
    SDL_FreeSurface(game.largeShipBulletImage);
    SDL_FreeSurface(game.turretBulletImage);
    SDL_FreeSurface(game.turretImage);
    SDL_FreeSurface(game.exhaustParticleImage);
    SDL_FreeSurface(game.explosionParticleImage);
    SDL_FreeSurface(game.crosshairImage);
    for (ShipImageSet& set : game.shipImages) {
        SDL_FreeSurface(set.shipImage);
        SDL_FreeSurface(set.previewImage);
        SDL_FreeSurface(set.explosionImage);
    }
}
