#pragma once
// An AudioSource over decoded frames shared with the sample they belong to.

#include <memory>
#include <vector>

#include "platform/AudioSource.h"

namespace platform {

// Decoded audio: interleaved floats in -1..1.
struct PcmData {
    std::vector<float> samples;
    int channels = 1;
    int rate = 44100;
    uint64_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

class PcmSource : public AudioSource {
public:
    explicit PcmSource(std::shared_ptr<const PcmData> data) : data(std::move(data)) {}

    int channels() const override { return data->channels; }
    int rate() const override { return data->rate; }
    uint64_t lengthFrames() const override { return data->frames(); }
    bool readFrame(float* frame) override;
    bool seek(uint64_t frame) override;
    uint64_t tell() const override { return next; }

private:
    std::shared_ptr<const PcmData> data;
    uint64_t next = 0;
};

}  // namespace platform
