// The desktop's zoom, redone for the web build, where the browser's own zoom always
// smooths. The arithmetic is SDL_gfx's 16.16 fixed point, step for step, so both builds
// make the same pixels. Pixels are 32-bit words; each byte is one channel and the
// channels are treated alike, so the byte order does not matter.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// Size of a zoomed picture: rounded to the nearest pixel, never below one.
inline int zoomedLength(int length, double zoom) {
    const double z = std::floor(double(length) * zoom + 0.5);
    if (!(z >= 1.0)) {
        return 1;
    }
    return z > 32767.0 ? 32767 : int(z);
}

// Source positions in 16.16 for every destination column (or row) and one beyond,
// clamped to the last source pixel. In 64 bits: a picture wider than 32767 pixels
// would overflow int here.
inline std::vector<int64_t> zoomSteps(int source, int destination, bool smooth) {
    int64_t step = 0;
    if (smooth) {
        step = destination > 1 ? int64_t(65536.0 * float(source - 1) / float(destination - 1)) : 0;
    } else {
        step = int64_t(65536.0 * float(source) / float(destination));
    }
    const int64_t last = (int64_t(source) << 16) - 1;
    std::vector<int64_t> steps(size_t(destination) + 1, 0);
    int64_t position = 0;
    for (int i = 0; i <= destination; ++i) {
        steps[size_t(i)] = position;
        position += step;
        if (position > last) {
            position = last;
        }
    }
    return steps;
}

// Zooms w x h pixels (rows `pitch` words apart) to dw x dh, tightly packed.
inline std::vector<uint32_t> zoomPixels(const uint32_t* pixels, int w, int h, int pitch, int dw,
                                        int dh, bool smooth) {
    std::vector<uint32_t> out(size_t(dw) * size_t(dh), 0);
    const std::vector<int64_t> xs = zoomSteps(w, dw, smooth);
    const std::vector<int64_t> ys = zoomSteps(h, dh, smooth);
    for (int y = 0; y < dh; ++y) {
        const int sy = int(ys[size_t(y)] >> 16);
        const int ey = int(ys[size_t(y)] & 0xffff);
        const int sy1 = sy < h - 1 ? sy + 1 : sy;
        for (int x = 0; x < dw; ++x) {
            const int sx = int(xs[size_t(x)] >> 16);
            const uint32_t c00 = pixels[size_t(sy) * size_t(pitch) + size_t(sx)];
            if (!smooth) {
                out[size_t(y) * size_t(dw) + size_t(x)] = c00;
                continue;
            }
            // Two blends along x, one along y, truncated per channel as SDL_gfx does.
            const int ex = int(xs[size_t(x)] & 0xffff);
            const int sx1 = sx < w - 1 ? sx + 1 : sx;
            const uint32_t c01 = pixels[size_t(sy) * size_t(pitch) + size_t(sx1)];
            const uint32_t c10 = pixels[size_t(sy1) * size_t(pitch) + size_t(sx)];
            const uint32_t c11 = pixels[size_t(sy1) * size_t(pitch) + size_t(sx1)];
            uint32_t blended = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = int((c00 >> shift) & 0xff);
                const int b = int((c01 >> shift) & 0xff);
                const int c = int((c10 >> shift) & 0xff);
                const int d = int((c11 >> shift) & 0xff);
                const int t1 = ((((b - a) * ex) >> 16) + a) & 0xff;
                const int t2 = ((((d - c) * ex) >> 16) + c) & 0xff;
                const int v = ((((t2 - t1) * ey) >> 16) + t1) & 0xff;
                blended |= uint32_t(v) << shift;
            }
            out[size_t(y) * size_t(dw) + size_t(x)] = blended;
        }
    }
    return out;
}
