#include "support/OggEncoder.h"

#include <cmath>

#include "datagen/OggEncoder.h"

std::vector<float> makeTone(double hz, int rate, int frames, int channels, float amplitude) {
    std::vector<float> out(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        float v = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; ++c) out[static_cast<size_t>(i) * channels + c] = v;
    }
    return out;
}

std::string encodeOgg(const std::vector<float>& frames, int channels, int rate) {
    const std::vector<uint8_t> bytes = datagen::encodeOgg(frames, channels, rate, 0.6f, 1);
    return std::string(bytes.begin(), bytes.end());
}
