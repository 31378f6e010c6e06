// The Ogg Vorbis reader over arbitrary bytes: whole decoding for samples, and reading with seeks
// for streams.
#include <cstddef>
#include <cstdint>

#include "platform/VorbisSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::PcmData pcm;
    if (platform::VorbisSource::decodeAll(data, size, pcm) && pcm.frames() * pcm.channels != pcm.samples.size())
        __builtin_trap();
    platform::VorbisSource source(data, size);
    if (!source.isOpen()) return 0;
    float frame[2];
    for (int i = 0; i < 100000 && source.readFrame(frame); ++i) {
    }
    if (source.lengthFrames() > 0 && source.seek(source.lengthFrames() / 2)) source.readFrame(frame);
    return 0;
}
