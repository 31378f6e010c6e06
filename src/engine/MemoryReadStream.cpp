#include "engine/MemoryReadStream.h"

#include <cstring>

MemoryReadStream::MemoryReadStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {
    size = data.size() > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(data.size());
}

int MemoryReadStream::read(void* destination, int bytes) {
    if (bytes <= 0) return 0;
    const int available = size - position;
    const int n = bytes < available ? bytes : available;
    if (n <= 0) return 0;
    std::memcpy(destination, data.data() + position, static_cast<size_t>(n));
    position += n;
    return n;
}

void MemoryReadStream::seek(int target) { position = target < 0 ? 0 : target > size ? size : target; }
