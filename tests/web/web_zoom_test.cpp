#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_rotozoom.h>

#include <cstdint>
#include <vector>

#include "app/web_zoom.h"

// The web build zooms with its own code; it must give zoomSurface's pixels exactly,
// smoothed (the background) and unsmoothed (every sprite), shrinking and growing.
TEST(WebZoom, MatchesSdlGfxPixelForPixel) {
    struct Row {
        int w, h;
        double zoom;
        int smooth;
    };
    const Row rows[] = {
        {160, 120, 0.4, 1}, {160, 120, 1.2, 1}, {97, 53, 0.3, 1},      {97, 53, 3.3, 1},
        {64, 64, 0.37, 0},  {64, 64, 1.7, 0},   {200, 200, 0.0937, 0}, {5, 5, 7.1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.w << "x" << r.h << " zoom " << r.zoom << " smooth " << r.smooth);
        SDL_Surface* s = SDL_CreateRGBSurface(0, r.w, r.h, 32, 0xff0000, 0xff00, 0xff, 0);
        ASSERT_NE(s, nullptr);
        Uint32* p = static_cast<Uint32*>(s->pixels);
        Uint32 seed = 12345;
        for (int i = 0; i < r.w * r.h; ++i) {
            seed = seed * 1103515245u + 12345u;
            p[i] = seed >> 8;
        }
        SDL_Surface* z = zoomSurface(s, r.zoom, r.zoom, r.smooth);
        ASSERT_NE(z, nullptr);
        const int w = zoomedLength(r.w, r.zoom);
        const int h = zoomedLength(r.h, r.zoom);
        ASSERT_EQ(w, z->w);
        const std::vector<uint32_t> mine = zoomPixels(p, r.w, r.h, s->pitch / 4, w, h, r.smooth);
        int differing = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Uint32 theirs = static_cast<Uint32*>(z->pixels)[y * z->pitch / 4 + x];
                differing += (theirs & 0xffffff) != (mine[size_t(y * w + x)] & 0xffffff);
            }
        }
        EXPECT_EQ(differing, 0);
        SDL_FreeSurface(z);
        SDL_FreeSurface(s);
    }
}
