#include <SDL_rotozoom.h>
#include <gtest/gtest.h>
#include <tuple>

#include "app/web_zoom.h"

// The web build zooms with its own code; it must give zoomSurface's pixels exactly,
// smoothed (the background) and unsmoothed (every sprite), shrinking and growing.
TEST(WebZoom, MatchesSdlGfxPixelForPixel) {
    const std::tuple<int, int, double, int> rows[] = {
        {160, 120, 0.4, 1}, {160, 120, 1.2, 1}, {97, 53, 0.3, 1},      {97, 53, 3.3, 1},
        {64, 64, 0.37, 0},  {64, 64, 1.7, 0},   {200, 200, 0.0937, 0}, {5, 5, 7.1, 0},
    };
    for (const auto& [rw, rh, zoom, smooth] : rows) {
        SCOPED_TRACE(testing::Message()
                     << rw << "x" << rh << " zoom " << zoom << " smooth " << smooth);
        SDL_Surface* s = SDL_CreateRGBSurface(0, rw, rh, 32, 0xff0000, 0xff00, 0xff, 0);
        ASSERT_NE(s, nullptr);
        Uint32* p = static_cast<Uint32*>(s->pixels);
        Uint32 seed = 12345;
        for (int i = 0; i < rw * rh; ++i) {
            seed = seed * 1103515245u + 12345u;
            p[i] = seed >> 8;
        }
        SDL_Surface* z = zoomSurface(s, zoom, zoom, smooth);
        ASSERT_NE(z, nullptr);
        const int w = zoomedLength(rw, zoom);
        const int h = zoomedLength(rh, zoom);
        ASSERT_EQ(w, z->w);
        const std::vector<uint32_t> mine = zoomPixels(p, rw, rh, s->pitch / 4, w, h, smooth);
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

// 16.16 positions of a source wider than 32767 pixels do not fit in int.
TEST(WebZoom, WidePicturesKeepTheirPositions) {
    EXPECT_EQ(zoomSteps(40000, 2, false),
              (std::vector<int64_t>{0, 20000LL << 16, (40000LL << 16) - 1}));
}
