#include "platform/VorbisSource.h"

#include <cstdio>
#include <cstring>

namespace platform {

namespace {

size_t readMemory(void* ptr, size_t size, size_t count, void* source) {
    auto* m = static_cast<VorbisSource::Memory*>(source);
    if (size == 0) return 0;
    size_t available = (m->size - m->offset) / size;
    size_t n = count < available ? count : available;
    std::memcpy(ptr, m->data + m->offset, n * size);
    m->offset += n * size;
    return n;
}

// Moves a read position within a stretch of 'size' bytes as fseek would; -1 leaves it where it was.
template <typename Offset>
int seekWithin(Offset& position, Offset size, ogg_int64_t offset, int whence) {
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(position);
    else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(size);
    else if (whence != SEEK_SET) return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(size)) return -1;
    position = static_cast<Offset>(target);
    return 0;
}

int seekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* m = static_cast<VorbisSource::Memory*>(source);
    return seekWithin(m->offset, m->size, offset, whence);
}

long tellMemory(void* source) { return static_cast<long>(static_cast<VorbisSource::Memory*>(source)->offset); }

const ov_callbacks memoryCallbacks = {readMemory, seekMemory, nullptr, tellMemory};

size_t readRange(void* ptr, size_t size, size_t count, void* source) {
    auto* r = static_cast<VorbisSource::FileRange*>(source);
    if (size == 0) return 0;
    const uint64_t available = (r->size - r->offset) / size;
    const size_t n = count < available ? count : static_cast<size_t>(available);
    if (n == 0 || std::fseek(r->file, static_cast<long>(r->start + r->offset), SEEK_SET) != 0) return 0;
    const size_t got = std::fread(ptr, size, n, r->file);
    r->offset += got * size;
    return got;
}

int seekRange(void* source, ogg_int64_t offset, int whence) {
    auto* r = static_cast<VorbisSource::FileRange*>(source);
    return seekWithin(r->offset, r->size, offset, whence);
}

long tellRange(void* source) { return static_cast<long>(static_cast<VorbisSource::FileRange*>(source)->offset); }

const ov_callbacks rangeCallbacks = {readRange, seekRange, nullptr, tellRange};

}  // namespace

VorbisSource::VorbisSource(const void* bytes, size_t size) {
    if (!bytes || size == 0) return;
    memory = {static_cast<const unsigned char*>(bytes), size, 0};
    openWith(&memory, memoryCallbacks);
}

VorbisSource::VorbisSource(const char* path, uint64_t offset, uint64_t length) {
    if (!path || length == 0) return;
    FILE* f = std::fopen(path, "rb");
    if (!f) return;
    // The stretch must lie within the file.
    if (std::fseek(f, 0, SEEK_END) != 0 || std::ftell(f) < 0 || uint64_t(std::ftell(f)) < offset ||
        uint64_t(std::ftell(f)) - offset < length) {
        std::fclose(f);
        return;
    }
    range = {f, offset, length, 0};
    openWith(&range, rangeCallbacks);
}

void VorbisSource::openWith(void* source, const ov_callbacks& callbacks) {
    if (ov_open_callbacks(source, &file, nullptr, 0, callbacks) != 0) return;
    open = true;
    const vorbis_info* info = ov_info(&file, -1);
    ogg_int64_t total = ov_seekable(&file) ? ov_pcm_total(&file, -1) : OV_EINVAL;
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0 || total < 0) {
        ov_clear(&file);
        open = false;
        return;
    }
    channelCount = info->channels;
    sampleRate = static_cast<int>(info->rate);
    totalFrames = static_cast<uint64_t>(total);
}

VorbisSource::~VorbisSource() {
    if (open) ov_clear(&file);
    if (range.file) std::fclose(range.file);
}

bool VorbisSource::refill() {
    buffer.clear();
    bufferRead = 0;
    // A damaged page is skipped (OV_HOLE); any other error or the end stops the source.
    for (int attempts = 0; attempts < 64; ++attempts) {
        float** pcm = nullptr;
        int section = 0;
        long n = ov_read_float(&file, &pcm, 1024, &section);
        if (n == OV_HOLE) continue;
        if (n <= 0) return false;
        const vorbis_info* info = ov_info(&file, section);
        if (!info || info->channels != channelCount) return false;  // chained file of another layout
        buffer.resize(static_cast<size_t>(n) * channelCount);
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < channelCount; ++c) buffer[i * channelCount + c] = pcm[c][i];
        return true;
    }
    return false;
}

bool VorbisSource::readFrame(float* frame) {
    if (!open || position >= totalFrames) return false;
    if (bufferRead * channelCount >= buffer.size() && !refill()) return false;
    const float* src = buffer.data() + bufferRead * channelCount;
    for (int c = 0; c < channelCount; ++c) frame[c] = src[c];
    ++bufferRead;
    ++position;
    return true;
}

bool VorbisSource::seek(uint64_t frame) {
    if (!open || frame > totalFrames) return false;
    if (ov_pcm_seek(&file, static_cast<ogg_int64_t>(frame)) != 0) return false;
    buffer.clear();
    bufferRead = 0;
    position = frame;
    return true;
}

bool VorbisSource::decodeAll(const void* bytes, size_t size, PcmData& out) {
    VorbisSource source(bytes, size);
    if (!source.isOpen()) return false;
    // A sound effect is short: far longer files are refused before any memory is taken for them.
    const uint64_t limit = uint64_t{1} << 24;  // frames, over six minutes at 44100 Hz
    if (source.totalFrames > limit) return false;
    PcmData pcm;
    pcm.channels = source.channelCount;
    pcm.rate = source.sampleRate;
    // Grown as data really decodes: the stated length alone does not size the buffer.
    float frame[2];
    while (source.readFrame(frame))
        for (int c = 0; c < pcm.channels; ++c) pcm.samples.push_back(PcmData::quantise(frame[c]));
    // A file that decodes to less than it states is damaged.
    if (pcm.frames() != source.totalFrames) return false;
    // The sample keeps exactly its frames, not the room the growing buffer had ahead of them.
    pcm.samples.shrink_to_fit();
    out = std::move(pcm);
    return true;
}

}  // namespace platform
