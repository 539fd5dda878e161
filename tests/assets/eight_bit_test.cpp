// Zoomed sprites at 32 and at 8 bits per pixel: the key hides the border, the centre
// keeps its colour, and run-length encoded copies draw the same pixels, clipped too.
#include <gtest/gtest.h>

#include "app/drawing.h"
#include "app/game_state.h"
#include "support/test_support.h"

namespace {

struct Rgb {
    Uint8 r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Row {
    int bpp;
    double zoom;
    Uint32 keyPixel;
    Rgb border; // the key's colour
    Rgb centre;
    int x, y; // where the zoomed sprite is blitted (negative: clipped)
    int borderX, borderY, centreX, centreY; // screen pixels that must show the field / centre
};

// An 8 x 8 sprite: a 2-pixel border around a 4 x 4 centre. Blue field behind it.
const Row kRows[] = {
    {32, 2.0, 0xFF00FF, {255, 0, 255}, {255, 0, 0}, -2, -2, 0, 0, 6, 6},
    {32, 1.0, 0, {0, 0, 0}, {255, 255, 0}, 10, 10, 10, 10, 14, 14},
    {8, 2.0, 0xFF00FF, {255, 0, 255}, {255, 0, 0}, -2, -2, 0, 0, 6, 6},
    {8, 0.5, 0xFF00FF, {255, 0, 255}, {0, 255, 0}, 5, 5, 5, 5, 7, 7},
    {8, 3.0, 0, {0, 0, 0}, {255, 255, 255}, 620, 460, 620, 460, 632, 472},
};

TEST(ZoomedSprites, KeepColoursAndKeyAtEveryDepth) {
    startSdl(false);
    for (const Row& row : kRows) {
        SCOPED_TRACE(::testing::Message() << row.bpp << " bpp, zoom " << row.zoom);
        game.screen = SDL_SetVideoMode(640, 480, row.bpp, SDL_HWSURFACE);
        ASSERT_NE(game.screen, nullptr);
        SDL_Surface* sprite = makeSprite(8, 8, row.border.r, row.border.g, row.border.b);
        SDL_Rect inner = {2, 2, 4, 4};
        SDL_FillRect(sprite, &inner,
                     SDL_MapRGB(sprite->format, row.centre.r, row.centre.g, row.centre.b));
        setKeyPixel(sprite, row.keyPixel);
        SDL_Surface* zoomed = zoomKeyed(sprite, row.zoom, row.zoom, 0, row.keyPixel);
        ASSERT_NE(zoomed, nullptr);
        SDL_FillRect(game.screen, nullptr, SDL_MapRGB(game.screen->format, 0, 0, 255));
        blitAt(row.x, row.y, zoomed, game.screen);
        const SDL_Color field = pixelAt(game.screen, row.borderX, row.borderY);
        const SDL_Color centre = pixelAt(game.screen, row.centreX, row.centreY);
        EXPECT_EQ((Rgb{field.r, field.g, field.b}), (Rgb{0, 0, 255}));
        EXPECT_EQ((Rgb{centre.r, centre.g, centre.b}), row.centre);
        SDL_FreeSurface(zoomed);
        SDL_FreeSurface(sprite);
    }
}

} // namespace
