#include "canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, Rgb fill) : w(width), h(height) {
    pixels.resize(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            set(x, y, fill);
        }
    }
}

static uint8_t toByte(float v) {
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

void Canvas::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    uint8_t* p = &pixels[(size_t(y) * size_t(w) + size_t(x)) * 3];
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}

Rgb Canvas::get(int x, int y) const {
    const uint8_t* p = &pixels[(size_t(y) * size_t(w) + size_t(x)) * 3];
    return {float(p[0]), float(p[1]), float(p[2])};
}

uint32_t Random::next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return uint32_t((state * 0x2545F4914F6CDD1Dull) >> 32);
}

double Random::uniform() {
    return next() / 4294967296.0;
}

double Random::range(double lo, double hi) {
    return lo + (hi - lo) * uniform();
}

static double hashToUnit(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return h / 4294967295.0;
}

double valueNoise(double x, double y, uint32_t seed) {
    const int xi = int(std::floor(x));
    const int yi = int(std::floor(y));
    const double fx = x - xi;
    const double fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx);
    const double sy = fy * fy * (3 - 2 * fy);
    const double a = hashToUnit(xi, yi, seed);
    const double b = hashToUnit(xi + 1, yi, seed);
    const double c = hashToUnit(xi, yi + 1, seed);
    const double d = hashToUnit(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves) {
    double sum = 0;
    double amplitude = 0.5;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + uint32_t(i) * 101u);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {float(a.r + (b.r - a.r) * t), float(a.g + (b.g - a.g) * t),
            float(a.b + (b.b - a.b) * t)};
}

Rgb scale(Rgb c, double k) {
    return {float(c.r * k), float(c.g * k), float(c.b * k)};
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

Canvas zoomNearest(const Canvas& source, double factor) {
    const int w = std::max(1, int(source.w * factor));
    const int h = std::max(1, int(source.h * factor));
    Canvas out(w, h, {});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int sx = std::min(source.w - 1, int((x + 0.5) / factor));
            const int sy = std::min(source.h - 1, int((y + 0.5) / factor));
            out.set(x, y, source.get(sx, sy));
        }
    }
    return out;
}
