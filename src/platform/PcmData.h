#pragma once
// Decoded audio: interleaved floats in -1..1.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct PcmData {
    std::vector<float> samples;
    int channels = 1;
    int rate = 44100;
    uint64_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

}  // namespace platform
