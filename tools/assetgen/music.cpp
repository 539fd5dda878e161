#include "music.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "synth.h"
#include "writers.h"

namespace {

struct Style {
    const char* file;
    double bpm;
    int root;                 // MIDI note of the key
    std::vector<int> scale;   // semitones of the mode
    std::vector<int> chordsA; // scale degrees, one chord per bar
    std::vector<int> chordsB;
    int drums;         // 0 none, 1 light, 2 full, 3 driving
    int leadWave;      // 0 saw, 1 square, 2 triangle
    double brightness; // filter opening
    uint64_t seed;
};

const std::vector<int> kMinor = {0, 2, 3, 5, 7, 8, 10};
const std::vector<int> kDorian = {0, 2, 3, 5, 7, 9, 10};
const std::vector<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kMixolydian = {0, 2, 4, 5, 7, 9, 10};

std::vector<Style> styles() {
    return {
        {"title.ogg", 80, 50, kMajor, {0, 5, 3, 4}, {5, 3, 0, 4}, 1, 2, 0.5, 101},
        {"01.ogg", 118, 45, kMinor, {0, 5, 2, 6}, {3, 4, 0, 4}, 2, 0, 0.8, 202},
        {"02.ogg", 132, 52, kDorian, {0, 3, 0, 4}, {5, 6, 3, 4}, 3, 1, 0.9, 303},
        {"03.ogg", 96, 48, kMixolydian, {0, 6, 3, 0}, {3, 4, 6, 4}, 2, 2, 0.6, 404},
        {"04.ogg", 145, 43, kMinor, {0, 0, 5, 6}, {3, 2, 5, 4}, 3, 0, 1.0, 505},
        {"05.ogg", 108, 55, kMajor, {0, 4, 5, 3}, {1, 4, 0, 4}, 2, 1, 0.7, 606},
        {"06.ogg", 126, 47, kDorian, {0, 6, 5, 6}, {3, 4, 1, 4}, 3, 2, 0.85, 707},
    };
}

struct Mix {
    std::vector<float> left, right;
    std::vector<float> sendL, sendR; // the delay bus
    explicit Mix(size_t frames) : left(frames), right(frames), sendL(frames), sendR(frames) {}
    void add(size_t i, double v, double pan, double send) {
        if (i >= left.size()) {
            return;
        }
        const double l = v * (1 - pan) * 0.5 * 2;
        const double r = v * (1 + pan) * 0.5 * 2;
        left[i] += float(l * 0.5);
        right[i] += float(r * 0.5);
        sendL[i] += float(l * 0.5 * send);
        sendR[i] += float(r * 0.5 * send);
    }
};

int scaleNote(const Style& s, int degree) {
    const int n = int(s.scale.size());
    const int octave = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
    const int index = degree - octave * n;
    return s.root + 12 * octave + s.scale[size_t(index)];
}

// ---- Instruments: each renders one note into the mix.
void pad(Mix& m, double start, double length, double freq, double level, double bright) {
    Oscillator o[3];
    LowPass lp;
    const size_t a = size_t(start * kRate);
    const size_t n = size_t((length + 0.8) * kRate);
    const double detune[3] = {0.996, 1.0, 1.005};
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env =
            std::min(1.0, t / 0.6) * (t < length ? 1.0 : std::exp(-(t - length) / 0.3));
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            v += o[k].saw(freq * detune[k]);
        }
        v = lp.run(v / 3, 600 + 1400 * bright + 300 * std::sin(t * 0.7));
        m.add(a + i, v * env * level, (i % 2 ? 0.3 : -0.3) * 0.5, 0.25);
    }
}

void bass(Mix& m, double start, double length, double freq, double level) {
    Oscillator o, sub;
    LowPass lp;
    const size_t a = size_t(start * kRate);
    const size_t n = size_t((length + 0.05) * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = pluck(t, 0.004, length * 0.8);
        const double v = 0.6 * o.saw(freq) + 0.5 * sub.sine(freq * 0.5);
        m.add(a + i, lp.run(v, 220 + 900 * env) * env * level, 0, 0.0);
    }
}

void lead(Mix& m, double start, double length, double freq, double level, int wave, double bright,
          double pan) {
    Oscillator o, vib;
    LowPass lp;
    const size_t a = size_t(start * kRate);
    const size_t n = size_t((length + 0.15) * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env =
            std::min(1.0, t / 0.01) *
            (t < length ? 1.0 - 0.3 * t / length : 0.7 * std::exp(-(t - length) / 0.05));
        const double f = freq * (1 + 0.004 * vib.sine(5.5) * std::min(1.0, t / 0.3));
        const double v = wave == 0 ? o.saw(f) : wave == 1 ? o.square(f, 0.4) : o.triangle(f) * 1.4;
        m.add(a + i, lp.run(v, 1200 + 3000 * bright * env) * env * level, pan, 0.45);
    }
}

void arp(Mix& m, double start, double length, double freq, double level, double bright) {
    Oscillator o;
    LowPass lp;
    const size_t a = size_t(start * kRate);
    const size_t n = size_t((length + 0.2) * kRate);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double env = pluck(t, 0.002, 0.09);
        m.add(a + i, lp.run(o.square(freq, 0.25), 900 + 2500 * bright * env) * env * level, 0.35,
              0.5);
    }
}

void kick(Mix& m, double start, double level) {
    Oscillator o;
    const size_t a = size_t(start * kRate);
    for (size_t i = 0; i < size_t(0.35 * kRate); ++i) {
        const double t = i / kRate;
        const double f = 45 + 110 * std::exp(-t * 30);
        m.add(a + i, o.sine(f) * pluck(t, 0.001, 0.12) * level, 0, 0);
    }
}

void snare(Mix& m, double start, double level, NoiseSource& noise) {
    Oscillator o;
    HighPass hp;
    const size_t a = size_t(start * kRate);
    for (size_t i = 0; i < size_t(0.25 * kRate); ++i) {
        const double t = i / kRate;
        const double v = 0.7 * hp.run(noise.next(), 0.9) * pluck(t, 0.001, 0.07) +
                         0.4 * o.sine(185) * pluck(t, 0.001, 0.04);
        m.add(a + i, v * level, -0.1, 0.15);
    }
}

void hat(Mix& m, double start, double level, double decay, NoiseSource& noise) {
    HighPass hp1, hp2;
    const size_t a = size_t(start * kRate);
    for (size_t i = 0; i < size_t(decay * 6 * kRate); ++i) {
        const double t = i / kRate;
        const double v = hp2.run(hp1.run(noise.next(), 0.7), 0.7);
        m.add(a + i, v * pluck(t, 0.0005, decay) * level, 0.25, 0.1);
    }
}

// ---- Composition
struct Section {
    int bars;
    bool chordsB;
    int energy; // 0 intro, 1 verse, 2 chorus, 3 ending
};

std::vector<float> compose(const Style& s) {
    const double beat = 60.0 / s.bpm;
    const double bar = beat * 4;
    const std::vector<Section> form = {{4, false, 0}, {8, false, 1}, {8, true, 2},
                                       {8, false, 1}, {8, true, 2},  {4, false, 3}};
    int totalBars = 0;
    for (const Section& sec : form) {
        totalBars += sec.bars;
    }
    const double tail = 4.0;
    const size_t frames = size_t((totalBars * bar + tail) * kRate);
    Mix m(frames);
    NoiseSource noise(s.seed * 7 + 1);

    // Motifs: the A and B melodies are drawn once, so every return of a section sounds alike.
    Random motifA(s.seed), motifB(s.seed + 1);
    auto melodyFor = [&](Random& r) {
        std::vector<std::pair<double, int>> notes; // (length in beats, degree offset)
        double at = 0;
        int degree = 7;
        while (at < 8) {
            const double len = r.uniform() < 0.6 ? 0.5 : (r.uniform() < 0.7 ? 1.0 : 1.5);
            degree += int(r.range(-2.99, 3.0));
            degree = std::clamp(degree, 4, 12);
            notes.push_back({std::min(len, 8 - at), degree});
            at += len;
        }
        return notes;
    };
    const auto melodyA = melodyFor(motifA);
    const auto melodyB = melodyFor(motifB);

    double t = 0;
    for (const Section& sec : form) {
        for (int b = 0; b < sec.bars; ++b) {
            const std::vector<int>& prog = sec.chordsB ? s.chordsB : s.chordsA;
            const int degree = prog[size_t(b) % prog.size()];
            const bool last = sec.energy == 3 && b == sec.bars - 1;
            const double barStart = t + b * bar;
            // Pad chord: root, third and fifth of the degree.
            const double padLevel = sec.energy == 0 ? 0.12 : 0.09;
            for (int k = 0; k < 3; ++k) {
                const double f = noteFrequency(scaleNote(s, degree + 2 * k) + 12);
                pad(m, barStart, last ? bar + 2.5 : bar, f, padLevel, s.brightness);
            }
            if (sec.energy == 3 && b == sec.bars - 1) {
                bass(m, barStart, bar + 1.5, noteFrequency(scaleNote(s, degree) - 12), 0.35);
                continue;
            }
            // Bass: eighths on the root, an octave jump on the off-beats when lively.
            if (sec.energy >= 1) {
                for (int e = 0; e < 8; ++e) {
                    const int note =
                        scaleNote(s, degree) - 12 + ((e % 2 == 1 && s.drums >= 2) ? 12 : 0);
                    bass(m, barStart + e * beat / 2, beat / 2 * 0.9, noteFrequency(note), 0.32);
                }
            } else {
                bass(m, barStart, bar * 0.95, noteFrequency(scaleNote(s, degree) - 12), 0.28);
            }
            // Arpeggio over the chord in sixteenths (eighths in the calm track).
            const int steps = s.drums >= 2 ? 16 : 8;
            for (int e = 0; e < steps && sec.energy != 0; ++e) {
                const int tone = degree + 2 * ((e * 3 / 2) % 4 == 3 ? 1 : (e % 3));
                arp(m, barStart + e * bar / steps, bar / steps,
                    noteFrequency(scaleNote(s, tone) + 12), 0.1, s.brightness);
            }
            // Lead melody in the chorus sections, two-bar motif over the progression.
            if (sec.energy == 2 || (sec.energy == 1 && s.drums == 1)) {
                const auto& melody = sec.chordsB ? melodyB : melodyA;
                double at = 0;
                for (const auto& [len, off] : melody) {
                    const double startBeat = at - (b % 2) * 4;
                    at += len;
                    if (startBeat < 0 || startBeat >= 4) {
                        continue;
                    }
                    const double f = noteFrequency(scaleNote(s, degree + off) + 12);
                    lead(m, barStart + startBeat * beat, len * beat * 0.92, f, 0.16, s.leadWave,
                         s.brightness, -0.2);
                }
            }
            // Drums.
            if (s.drums > 0 && sec.energy >= 1) {
                for (int q = 0; q < 4; ++q) {
                    const double at = barStart + q * beat;
                    if (s.drums >= 2 && (q % 2 == 0 || s.drums == 3)) {
                        kick(m, at, 0.55);
                    }
                    if (s.drums >= 2 && q % 2 == 1) {
                        snare(m, at, 0.35, noise);
                    }
                    const int hats = s.drums == 3 ? 4 : 2;
                    for (int h = 0; h < hats; ++h) {
                        hat(m, at + h * beat / hats, h == 0 ? 0.12 : 0.08, 0.03, noise);
                    }
                }
                if (b == sec.bars - 1 && s.drums >= 2) {
                    // A fill into the next section.
                    for (int f = 0; f < 4; ++f) {
                        snare(m, barStart + 3 * beat + f * beat / 4, 0.2 + 0.05 * f, noise);
                    }
                }
            }
        }
        t += sec.bars * bar;
    }

    // Stereo delay: dotted eighths, crossing sides, for space.
    const size_t delay = size_t(beat * 0.75 * kRate);
    std::vector<float> dl(frames), dr(frames);
    for (size_t i = 0; i < frames; ++i) {
        const float inL = m.sendL[i] + (i >= delay ? 0.45f * dr[i - delay] : 0.0f);
        const float inR = m.sendR[i] + (i >= delay ? 0.45f * dl[i - delay] : 0.0f);
        dl[i] = inL;
        dr[i] = inR;
    }
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = m.left[i] + (i >= delay ? 0.5f * dl[i - delay] : 0.0f);
        out[2 * i + 1] = m.right[i] + (i >= delay ? 0.5f * dr[i - delay] : 0.0f);
    }

    // Loudness: every track to the same RMS, a soft limiter, then peaks at -1 dBFS at most.
    double sum = 0;
    for (float v : out) {
        sum += double(v) * v;
    }
    const double rms = std::sqrt(sum / out.size());
    const double gain = rms > 0 ? 0.16 / rms : 1.0;
    float peak = 0;
    for (float& v : out) {
        v = float(std::tanh(v * gain * 1.2) / 1.2);
        peak = std::max(peak, std::fabs(v));
    }
    const double limit = 0.88;
    if (peak > limit) {
        for (float& v : out) {
            v = float(v * limit / peak);
        }
    }
    // Fade the last second so every piece ends cleanly.
    const size_t fade = size_t(kRate);
    for (size_t i = 0; i < fade; ++i) {
        const float k = float(i) / fade;
        out[out.size() - 2 * i - 1] *= k;
        out[out.size() - 2 * i - 2] *= k;
    }
    return out;
}

} // namespace

bool writeMusic(const std::string& outDir, int threads) {
    const std::vector<Style> all = styles();
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&]() {
        for (size_t i = next++; i < all.size(); i = next++) {
            const std::vector<float> samples = compose(all[i]);
            if (!writeOgg(outDir + "/music/" + all[i].file, samples, 2, int(kRate))) {
                ok = false;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < std::max(1, threads); ++i) {
        pool.emplace_back(worker);
    }
    for (std::thread& t : pool) {
        t.join();
    }
    return ok;
}
