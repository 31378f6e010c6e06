#pragma once
// An AudioSource over decoded frames shared with the sample they belong to.

#include <memory>

#include "platform/AudioSource.h"
#include "platform/PcmData.h"

namespace platform {

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
