#include "datagen/Synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {
constexpr double kTwoPi = 6.283185307179586;

std::vector<float> silence(double seconds) { return std::vector<float>(static_cast<size_t>(seconds * kRate + 0.5), 0.0f); }
}  // namespace

void Buffer::mix(const std::vector<float>& mono, double atSeconds, float g, float pan, bool wrap) {
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * 3.141592653589793;
    const float left = channels == 1 ? g : static_cast<float>(g * std::cos(angle));
    const float right = static_cast<float>(g * std::sin(angle));
    const size_t start = static_cast<size_t>(atSeconds * kRate + 0.5);
    for (size_t i = 0; i < mono.size(); ++i) {
        size_t f = start + i;
        if (f >= frames) {
            if (!wrap) break;
            f %= frames;
        }
        at(f, 0) += mono[i] * left;
        if (channels == 2) at(f, 1) += mono[i] * right;
    }
}

void Buffer::normalize(float peak) {
    float m = 0;
    for (float s : samples) m = std::max(m, std::fabs(s));
    if (m > 0)
        for (float& s : samples) s *= peak / m;
}

void Buffer::fadeEnds(double inSeconds, double outSeconds) {
    const size_t in = std::min(frames, static_cast<size_t>(inSeconds * kRate));
    const size_t out = std::min(frames, static_cast<size_t>(outSeconds * kRate));
    for (size_t f = 0; f < in; ++f)
        for (int c = 0; c < channels; ++c) at(f, c) *= static_cast<float>(f) / in;
    for (size_t k = 0; k < out; ++k)
        for (int c = 0; c < channels; ++c) at(frames - 1 - k, c) *= static_cast<float>(k) / out;
}

float Noise::next() { return unit() * 2.0f - 1.0f; }

float Noise::unit() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state >> 8) / 16777216.0f;
}

void lowPass(std::vector<float>& s, float cutoffHz) {
    const float a = static_cast<float>(1.0 - std::exp(-kTwoPi * cutoffHz / kRate));
    float y = 0;
    for (float& x : s) x = y += a * (x - y);
}

void highPass(std::vector<float>& s, float cutoffHz) {
    const float a = static_cast<float>(1.0 - std::exp(-kTwoPi * cutoffHz / kRate));
    float y = 0;
    for (float& x : s) {
        y += a * (x - y);
        x -= y;
    }
}

void bandPass(std::vector<float>& s, float centreHz, float q) {
    const float f = static_cast<float>(2.0 * std::sin(3.141592653589793 * std::min(centreHz, kRate / 6.0f) / kRate));
    const float damp = 1.0f / q;
    float low = 0, band = 0;
    for (float& x : s) {
        low += f * band;
        const float high = x - low - damp * band;
        band += f * high;
        x = band;
    }
}

double noteHz(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

void envelope(std::vector<float>& s, double attack, double decayPerSecond) {
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double a = attack > 0 && t < attack ? t / attack : 1.0;
        s[i] *= static_cast<float>(a * std::exp(-decayPerSecond * t));
    }
}

void gain(std::vector<float>& s, float g) {
    for (float& x : s) x *= g;
}

void addInto(std::vector<float>& into, const std::vector<float>& s, double atSeconds, float g) {
    const size_t start = static_cast<size_t>(atSeconds * kRate + 0.5);
    if (into.size() < start + s.size()) into.resize(start + s.size(), 0.0f);
    for (size_t i = 0; i < s.size(); ++i) into[start + i] += s[i] * g;
}

std::vector<float> bell(double hz, double seconds, float brightness) {
    // Inharmonic partials of a struck bell, the higher ones dying faster.
    static const double ratios[] = {0.5, 1.0, 1.19, 1.56, 2.0, 2.51, 3.01, 4.1};
    static const double levels[] = {0.35, 1.0, 0.45, 0.35, 0.55, 0.25, 0.2, 0.12};
    std::vector<float> s = silence(seconds);
    for (size_t p = 0; p < std::size(ratios); ++p) {
        const double f = hz * ratios[p];
        if (f > kRate * 0.45) continue;
        const double decay = (1.5 + p * 1.2) / brightness;
        const double level = levels[p] * (p >= 4 ? brightness : 1.0);
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            s[i] += static_cast<float>(level * std::sin(kTwoPi * f * t) * std::exp(-decay * t));
        }
    }
    // A soft strike.
    for (size_t i = 0; i < std::min<size_t>(s.size(), 120); ++i) s[i] *= static_cast<float>(i) / 120.0f;
    gain(s, 0.3f);
    return s;
}

std::vector<float> pluck(double hz, double seconds, uint32_t seed, float damping) {
    std::vector<float> s = silence(seconds);
    const size_t n = std::max<size_t>(2, static_cast<size_t>(kRate / hz));
    std::vector<float> line(n);
    Noise noise(seed);
    for (float& v : line) v = noise.next();
    // Soften the initial noise for a rounder tone.
    for (size_t i = 1; i < n; ++i) line[i] = 0.5f * (line[i] + line[i - 1]);
    size_t pos = 0;
    for (float& out : s) {
        const size_t nextPos = (pos + 1) % n;
        const float v = line[pos];
        line[pos] = damping * 0.5f * (line[pos] + line[nextPos]);
        out = v;
        pos = nextPos;
    }
    gain(s, 0.6f);
    return s;
}

std::vector<float> softSquare(double hz, double seconds, float attack, float release) {
    std::vector<float> s = silence(seconds);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0;
        for (int h = 1; h <= 9 && h * hz < kRate * 0.4; h += 2) v += std::sin(kTwoPi * hz * h * t) / h;
        const double rel = seconds - t;
        const double env = std::min({1.0, attack > 0 ? t / attack : 1.0, release > 0 ? rel / release : 1.0});
        s[i] = static_cast<float>(0.35 * v * std::max(0.0, env));
    }
    return s;
}

std::vector<float> sine(double hzStart, double hzEnd, double seconds) {
    std::vector<float> s = silence(seconds);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / (s.size() ? s.size() : 1);
        const double f = hzStart * std::pow(hzEnd / hzStart, t);
        phase += kTwoPi * f / kRate;
        s[i] = static_cast<float>(std::sin(phase));
    }
    return s;
}

std::vector<float> noiseBurst(double seconds, uint32_t seed, float decayPerSecond) {
    std::vector<float> s = silence(seconds);
    Noise noise(seed);
    for (float& v : s) v = noise.next();
    envelope(s, 0.002, decayPerSecond);
    return s;
}

std::vector<float> steamWhistle(double seconds, double baseHz, uint32_t seed) {
    // Three pipes sounding a chord, each with a breathy edge, rising slightly as the steam builds.
    std::vector<float> s = silence(seconds);
    Noise noise(seed);
    const double pipes[] = {1.0, 1.2599, 1.4983};
    std::vector<float> breath(s.size());
    for (float& v : breath) v = noise.next();
    for (double ratio : pipes) {
        std::vector<float> b = breath;
        bandPass(b, static_cast<float>(baseHz * ratio), 12.0f);
        double phase = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double rise = 1.0 - 0.04 * std::exp(-t * 9.0);
            phase += kTwoPi * baseHz * ratio * rise / kRate;
            const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase);
            s[i] += static_cast<float>(0.22 * tone + 0.9 * b[i]);
        }
    }
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::min({1.0, t / 0.06, (seconds - t) / 0.12});
        s[i] *= static_cast<float>(std::max(0.0, env));
    }
    return s;
}

std::vector<float> sleighBells(double seconds, uint32_t seed) {
    std::vector<float> s = silence(seconds);
    Noise noise(seed);
    // A cluster of small jingles, each a few high inharmonic partials.
    for (int j = 0; j < 7; ++j) {
        const double at = noise.unit() * 0.025;
        const double f0 = 2600 + noise.unit() * 2600;
        std::vector<float> jingle = silence(0.25);
        for (int p = 0; p < 3; ++p) {
            const double f = f0 * (1.0 + p * 0.71);
            if (f > kRate * 0.45) continue;
            for (size_t i = 0; i < jingle.size(); ++i) {
                const double t = static_cast<double>(i) / kRate;
                jingle[i] += static_cast<float>(std::sin(kTwoPi * f * t) * std::exp(-t * (22 + p * 10)) / (p + 1));
            }
        }
        addInto(s, jingle, at, 0.18f);
    }
    std::vector<float> hiss = noiseBurst(std::min(0.12, seconds), seed * 7 + 1, 40.0f);
    highPass(hiss, 5000);
    addInto(s, hiss, 0, 0.25f);
    s.resize(silence(seconds).size());
    return s;
}

std::vector<float> clap(uint32_t seed) {
    std::vector<float> s = silence(0.2);
    for (int k = 0; k < 3; ++k) addInto(s, noiseBurst(0.15, seed + k, 45.0f), k * 0.009, k == 2 ? 1.0f : 0.6f);
    bandPass(s, 1300.0f, 1.2f);
    s.resize(silence(0.2).size());
    return s;
}

std::vector<float> kick(double seconds) {
    std::vector<float> s = sine(130, 42, seconds);
    envelope(s, 0.002, 9.0);
    return s;
}

}  // namespace synth
