#pragma once
// Decoded audio: interleaved 16-bit samples (a sample's frames are held for its whole life, at
// half the size of floats), read as floats in -1..1.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct PcmData {
    std::vector<int16_t> samples;
    int channels = 1;
    int rate = 44100;
    uint64_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    // Sample i as a float: a step of 1 / 32768.
    float sample(size_t i) const { return static_cast<float>(samples[i]) * (1.0f / 32768.0f); }
    // A float in -1..1 to the nearest 16-bit sample (clamped).
    static int16_t quantise(float value) {
        const float scaled = value * 32768.0f;
        if (!(scaled > -32768.0f)) return -32768;
        if (scaled >= 32767.0f) return 32767;
        return static_cast<int16_t>(std::lround(scaled));
    }
};

}  // namespace platform
