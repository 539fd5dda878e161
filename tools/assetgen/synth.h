// Building blocks of the generated sounds and music: oscillators, envelopes, filters.
#pragma once

#include <cmath>
#include <cstdint>

#include "canvas.h"

constexpr double kRate = 44100.0;
constexpr double kTau = 6.28318530717958647692;

// PolyBLEP correction keeps the saw and square free of the worst aliasing.
inline double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Oscillator {
    double phase = 0; // 0..1
    double saw(double freq) {
        const double dt = freq / kRate;
        double v = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        advance(dt);
        return v;
    }
    double square(double freq, double width = 0.5) {
        const double dt = freq / kRate;
        double v = phase < width ? 1.0 : -1.0;
        v += polyBlep(phase, dt);
        v -= polyBlep(std::fmod(phase + 1.0 - width, 1.0), dt);
        advance(dt);
        return v;
    }
    double sine(double freq) {
        const double v = std::sin(kTau * phase);
        advance(freq / kRate);
        return v;
    }
    double triangle(double freq) {
        const double v = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
        advance(freq / kRate);
        return v;
    }
    void advance(double dt) {
        phase += dt;
        phase -= std::floor(phase);
    }
};

// A state-variable low-pass filter (Chamberlin), stable for cutoffs well below a sixth
// of the sample rate.
struct LowPass {
    double low = 0, band = 0;
    double run(double in, double cutoff, double resonance = 0.5) {
        const double f = 2 * std::sin(kPi() * std::min(cutoff, 6000.0) / kRate);
        const double q = 1.0 / (0.5 + resonance);
        low += f * band;
        const double high = in - low - q * band;
        band += f * high;
        return low;
    }
    static double kPi() {
        return 3.14159265358979323846;
    }
};

struct HighPass {
    double prevIn = 0, prevOut = 0;
    double run(double in, double k = 0.95) {
        prevOut = k * (prevOut + in - prevIn);
        prevIn = in;
        return prevOut;
    }
};

// Attack-decay envelope with an exponential tail.
inline double pluck(double t, double attack, double decay) {
    if (t < 0) {
        return 0;
    }
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / decay);
}

inline double noteFrequency(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

struct NoiseSource {
    Random rng;
    explicit NoiseSource(uint64_t seed) : rng(seed) {}
    double next() {
        return rng.uniform() * 2 - 1;
    }
};
