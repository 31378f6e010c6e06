#pragma once
// Ogg Vorbis decoded from memory with libvorbisfile. The bytes are not copied: they must stay
// valid while the source lives. Seeking is sample-exact.

#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <vector>

#include "platform/AudioSource.h"
#include "platform/PcmData.h"

namespace platform {

class VorbisSource : public AudioSource {
public:
    VorbisSource(const void* bytes, size_t size);
    ~VorbisSource() override;
    VorbisSource(const VorbisSource&) = delete;
    VorbisSource& operator=(const VorbisSource&) = delete;

    // False when the bytes are not a seekable Ogg Vorbis file of one or two channels and known
    // length; nothing else may be called then.
    bool isOpen() const { return open; }

    int channels() const override { return channelCount; }
    int rate() const override { return sampleRate; }
    uint64_t lengthFrames() const override { return totalFrames; }
    bool readFrame(float* frame) override;
    bool seek(uint64_t frame) override;
    uint64_t tell() const override { return position; }

    // Decodes a whole file; false (and out untouched) when it is not a usable Ogg Vorbis file or
    // decoding fails on the way.
    static bool decodeAll(const void* bytes, size_t size, PcmData& out);

    struct Memory {
        const unsigned char* data;
        size_t size;
        size_t offset;
    };

private:
    bool refill();

    OggVorbis_File file{};
    Memory memory{};
    bool open = false;
    int channelCount = 0;
    int sampleRate = 0;
    uint64_t totalFrames = 0;
    uint64_t position = 0;
    std::vector<float> buffer;  // interleaved frames not yet read
    size_t bufferRead = 0;      // frames of buffer already read
};

}  // namespace platform
