// Zoomed sprites at 32 and at 8 bits per pixel: the key hides the border, the centre
// keeps its colour, and run-length encoded copies draw the same pixels, clipped too.
#include <gtest/gtest.h>

#include <tuple>

#include "app/drawing.h"
#include "support/test_support.h"

TEST(ZoomedSprites, KeepColoursAndKeyAtEveryDepth) {
    // An 8 x 8 sprite, a 2-pixel border of the key's colour around a 4 x 4 centre, blitted
    // at (x, y) on a blue field: (bx, by) must show the field, (cx, cy) the centre.
    // clang-format off
    const struct { int bpp; double zoom; Uint32 key; SDL_Color border, centre; int x, y, bx, by, cx, cy; } rows[] = {
        {32, 2.0, 0xFF00FF, {255, 0, 255, 0}, {255, 0, 0, 0}, -2, -2, 0, 0, 6, 6},
        {32, 1.0, 0, {0, 0, 0, 0}, {255, 255, 0, 0}, 10, 10, 10, 10, 14, 14},
        {8, 2.0, 0xFF00FF, {255, 0, 255, 0}, {255, 0, 0, 0}, -2, -2, 0, 0, 6, 6},
        {8, 0.5, 0xFF00FF, {255, 0, 255, 0}, {0, 255, 0, 0}, 5, 5, 5, 5, 7, 7},
        {8, 3.0, 0, {0, 0, 0, 0}, {255, 255, 255, 0}, 620, 460, 620, 460, 632, 472},
    };
    // clang-format on
    startSdl(false);
    const auto rgb = [](SDL_Color c) { return std::tuple(c.r, c.g, c.b); };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.bpp << " bpp, zoom " << row.zoom);
        game.screen = SDL_SetVideoMode(640, 480, row.bpp, SDL_HWSURFACE);
        ASSERT_NE(game.screen, nullptr);
        SDL_Surface* sprite = makeSprite(8, 8, row.border.r, row.border.g, row.border.b);
        SDL_Rect inner = {2, 2, 4, 4};
        SDL_FillRect(sprite, &inner,
                     SDL_MapRGB(sprite->format, row.centre.r, row.centre.g, row.centre.b));
        setKeyPixel(sprite, row.key);
        SDL_Surface* zoomed = zoomKeyed(sprite, row.zoom, row.zoom, 0, row.key);
        ASSERT_NE(zoomed, nullptr);
        SDL_FillRect(game.screen, nullptr, SDL_MapRGB(game.screen->format, 0, 0, 255));
        blitAt(row.x, row.y, zoomed, game.screen);
        EXPECT_EQ(rgb(pixelAt(game.screen, row.bx, row.by)), std::tuple(0, 0, 255));
        EXPECT_EQ(rgb(pixelAt(game.screen, row.cx, row.cy)), rgb(row.centre));
        SDL_FreeSurface(zoomed);
        SDL_FreeSurface(sprite);
    }
}
