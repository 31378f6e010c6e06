// libFuzzer target: the trains of a saved game, read by a track from arbitrary bytes as the
// saved-game loader reads them (damage reported, never fatal). Whatever a track accepts writes
// back and reads again to the same bytes; what it refuses leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Packet.h"
#include "game/Track.h"

namespace {

std::vector<uint8_t> written(Track& track, int capacity) {
    Packet out(5, capacity);
    if (!track.serialize(out)) __builtin_trap();
    return std::vector<uint8_t>(out.start, out.cursor);
}

bool readInto(Track& track, const uint8_t* data, size_t size) {
    Packet packet(5, static_cast<int>(size));
    if (size) std::memcpy(packet.start, data, size);
    packet.cursor = packet.start + size;
    packet.rewindToRead();
    packet.bFatalOnBadData = false;
    return track.serialize(packet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Track track;
    if (!readInto(track, data, size)) {
        if (track.countTrains() != 0) __builtin_trap();
        return 0;
    }
    // Canonical encodings are never longer than what was read.
    const std::vector<uint8_t> first = written(track, static_cast<int>(size) + 16);
    Track again;
    if (!readInto(again, first.data(), first.size())) __builtin_trap();
    if (written(again, static_cast<int>(first.size()) + 16) != first) __builtin_trap();
    return 0;
}
