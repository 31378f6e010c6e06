#pragma once
// Ogg Vorbis decoded with libvorbisfile from memory (the bytes are not copied: they must stay
// valid while the source lives) or from a stretch of a file read as it plays. Seeking is
// sample-exact.

#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/AudioSource.h"
#include "platform/PcmData.h"

namespace platform {

class VorbisSource : public AudioSource {
public:
    VorbisSource(const void* bytes, size_t size);
    // The 'length' bytes from 'offset' of the file at 'path' (UTF-8), read while the source plays.
    VorbisSource(const char* path, uint64_t offset, uint64_t length);
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
    struct FileRange {
        FILE* file;
        uint64_t start;   // in the file
        uint64_t size;
        uint64_t offset;  // from start
    };

private:
    // Opens the decoder on the bytes the callbacks read from 'source'.
    void openWith(void* source, const ov_callbacks& callbacks);
    bool refill();

    OggVorbis_File file{};
    Memory memory{};
    FileRange range{};
    bool open = false;
    int channelCount = 0;
    int sampleRate = 0;
    uint64_t totalFrames = 0;
    uint64_t position = 0;
    std::vector<float> buffer;  // interleaved frames not yet read
    size_t bufferRead = 0;      // frames of buffer already read
};

}  // namespace platform
