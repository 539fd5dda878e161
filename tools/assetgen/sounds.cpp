#include "sounds.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "synth.h"
#include "writers.h"

namespace {

// Peaks at -1 dBFS at the most.
void normalisePeak(std::vector<float>& s, double peak = 0.85) {
    float top = 0;
    for (float v : s) {
        top = std::max(top, std::fabs(v));
    }
    if (top > 0) {
        for (float& v : s) {
            v = float(v / top * peak);
        }
    }
}

std::vector<float> render(double seconds, const std::function<double(double, int)>& voice) {
    std::vector<float> out(size_t(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = float(voice(i / kRate, int(i)));
    }
    normalisePeak(out);
    return out;
}

// A bright descending zap.
std::vector<float> shipFire() {
    Oscillator a, b;
    LowPass lp;
    return render(0.13, [&](double t, int) {
        const double f = 1800 * std::exp(-t * 18) + 380;
        const double v = 0.6 * a.square(f, 0.3) + 0.4 * b.saw(f * 1.5);
        return lp.run(v, 5000 - t * 20000) * pluck(t, 0.002, 0.045);
    });
}

// A lower, thicker thump with a metallic edge.
std::vector<float> turretFire() {
    Oscillator a, b;
    LowPass lp;
    NoiseSource noise(3);
    return render(0.22, [&](double t, int) {
        const double f = 520 * std::exp(-t * 10) + 110;
        const double v = 0.7 * a.saw(f) + 0.3 * b.square(f * 0.5) + 0.25 * noise.next();
        return lp.run(v, 2200 - t * 6000) * pluck(t, 0.003, 0.07);
    });
}

// A short low rumble: it restarts on every step while thrust is held.
std::vector<float> engine() {
    Oscillator a;
    LowPass lp;
    NoiseSource noise(5);
    return render(0.06, [&](double t, int) {
        const double v = 0.6 * lp.run(noise.next(), 700) * 3 + 0.4 * a.saw(62);
        const double fade = std::min(1.0, t / 0.006) * std::min(1.0, (0.06 - t) / 0.015);
        return v * fade;
    });
}

// A rocky crunch: filtered noise bursts over a falling thud.
std::vector<float> asteroidHit() {
    Oscillator thud;
    LowPass lp, lp2;
    NoiseSource noise(9);
    return render(0.42, [&](double t, int) {
        const double grit = lp.run(noise.next(), 2500 * std::exp(-t * 6) + 300);
        const double crackle = (std::fmod(t * 37, 1.0) < 0.3 ? 1.0 : 0.5) * grit;
        const double body = thud.sine(140 * std::exp(-t * 5) + 45) * pluck(t, 0.002, 0.12);
        return lp2.run(1.4 * crackle * pluck(t, 0.001, 0.12) + 0.8 * body, 5500);
    });
}

} // namespace

bool writeSounds(const std::string& out) {
    bool ok = true;
    ok &= writeWav(out + "/snd/shipFire.wav", shipFire(), 1, int(kRate));
    ok &= writeWav(out + "/snd/turretFire.wav", turretFire(), 1, int(kRate));
    ok &= writeWav(out + "/snd/engine.wav", engine(), 1, int(kRate));
    ok &= writeWav(out + "/snd/asteroidHit.wav", asteroidHit(), 1, int(kRate));
    return ok;
}
