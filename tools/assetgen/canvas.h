// An RGB picture in memory and the few drawing tools the generator needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0; // 0..255
};

struct Canvas {
    int w = 0;
    int h = 0;
    std::vector<uint8_t> pixels; // r, g, b per pixel, row by row

    Canvas() = default;
    Canvas(int width, int height, Rgb fill);
    void set(int x, int y, Rgb c);
    Rgb get(int x, int y) const;
};

// A small deterministic generator: the same seed gives the same numbers everywhere.
struct Random {
    uint64_t state = 0;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next();
    double uniform(); // [0, 1)
    double range(double lo, double hi);
};

// Smooth value noise and its fractal sum, in [0, 1], deterministic by seed.
double valueNoise(double x, double y, uint32_t seed);
double fractalNoise(double x, double y, uint32_t seed, int octaves);

Rgb mix(Rgb a, Rgb b, double t);
Rgb scale(Rgb c, double k);
double clamp01(double v);

// Nearest-pixel reduction by a factor, as the game zooms sprites (for previews).
Canvas zoomNearest(const Canvas& source, double factor);

const Rgb kMagenta = {255, 0, 255};
const Rgb kWhite = {255, 255, 255};
