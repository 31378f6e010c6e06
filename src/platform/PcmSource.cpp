#include "platform/PcmSource.h"

namespace platform {

bool PcmSource::readFrame(float* frame) {
    if (next >= data->frames()) return false;
    const size_t first = next * static_cast<uint64_t>(data->channels);
    for (int c = 0; c < data->channels; ++c) frame[c] = data->sample(first + size_t(c));
    ++next;
    return true;
}

bool PcmSource::seek(uint64_t frame) {
    if (frame > data->frames()) return false;
    next = frame;
    return true;
}

}  // namespace platform
