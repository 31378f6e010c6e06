#pragma once
// A source of interleaved float frames for the mixer: a decoded sample or a stream decoded as it
// plays.

#include <cstdint>

namespace platform {

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual int channels() const = 0;
    virtual int rate() const = 0;
    virtual uint64_t lengthFrames() const = 0;
    // Reads the next frame (channels() values) and moves on; false at the end.
    virtual bool readFrame(float* frame) = 0;
    // Moves to a frame; false when it is past the end or the source cannot seek there.
    virtual bool seek(uint64_t frame) = 0;
    // The index of the frame readFrame returns next.
    virtual uint64_t tell() const = 0;
};

}  // namespace platform
