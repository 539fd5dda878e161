// Blitting in screen pixels and world units, and loading and zooming images.
#pragma once

#include <SDL.h>

#include <string>

int blitAt(int x, int y, SDL_Surface* source, SDL_Surface* destination, SDL_Rect* clip = nullptr);
int blitWorld(int x, int yDown, SDL_Surface* source, SDL_Surface* destination,
              SDL_Rect* clip = nullptr);
int blitOnRim(int x, int y, double angle, SDL_Surface* reference, SDL_Surface* source,
              SDL_Surface* destination, SDL_Rect* clip = nullptr);
// loadImage returns keyed pictures run-length encoded (see runLengthEncoded).
SDL_Surface* loadImage(const std::string& path, bool useKey, Uint8 red, Uint8 green, Uint8 blue);
SDL_Surface* loadScaledImage(const std::string& path, bool useKey, Uint8 red, Uint8 green,
                             Uint8 blue, double zoomX, double zoomY, int smooth, Uint32 keyPixel);
void freeImages();

// loadImage without the run-length encoding: a picture to zoom, whose pixels are read.
SDL_Surface* decodeImage(const std::string& path, bool useKey, Uint8 red, Uint8 green, Uint8 blue);

// What loadScaledImage does with a decoded picture, so one decoding serves several
// zooms: zoomExact, the key pixel, the encoding. Null when the zoom fails.
SDL_Surface* zoomKeyed(SDL_Surface* image, double zoomX, double zoomY, int smooth, Uint32 keyPixel);

// Keys with a raw pixel value; on a palette surface, with the colour 0xRRGGBB it names.
void setKeyPixel(SDL_Surface* surface, Uint32 keyPixel);

// A keyed surface is blitted run by run once encoded, a large saving over testing
// every pixel against the key; the pixels drawn are the same. Returns the encoded
// copy and frees the original (or returns it unchanged: unkeyed, or out of memory).
// An encoded surface must be locked before its pixels are read (SDL_MUSTLOCK says so).
SDL_Surface* runLengthEncoded(SDL_Surface* keyed);

// zoomSurface, returning a surface of exactly the zoomed size. SDL_gfx allocates two
// guard rows below the picture and only hides them in the 1.2 header, which the
// compatibility layer does not pass on: blits would draw them as a black line.
SDL_Surface* zoomExact(SDL_Surface* source, double zoomX, double zoomY, int smooth);

// Narrows a screen coordinate to an SDL_Rect field through int, so a position far
// outside the field (after a long pause, say) never converts out of range.
Sint16 toRectCoord(double value);

// Truncates toward zero into int, saturating where the value does not fit (or is NaN).
int truncToInt(double value);
