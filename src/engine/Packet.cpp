#include "engine/Packet.h"

#include <cstring>

#include "engine/ClassRecord.h"
#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"

namespace {

constexpr uint8_t STRING_SCRAMBLE = 0x3C;

uint32_t floatBits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

float bitsFloat(uint32_t b) {
    float f;
    std::memcpy(&f, &b, 4);
    return f;
}

}  // namespace

Packet::Packet(int packetMode, int size) : mode(packetMode) {
    address.setPort(0);
    bufferSize = size < 0 ? DEFAULT_BUFFER_BYTES : size;
    dataSize = bufferSize;
    if (bufferSize > 0) start = new uint8_t[static_cast<size_t>(bufferSize)]();
    cursor = start;
}

Packet::~Packet() { delete[] start; }

void Packet::badData(const char16_t* function, const char16_t* statement) {
    if (bFatalOnBadData) ErrorManager::assertionFailed(function, __FILE__, __LINE__, statement);
    bBadData = true;
}

bool Packet::canRead(int bytes) {
    if (bBadData) return false;
    const int limit = bWriting ? bufferSize : dataSize;
    if (bytes <= limit - static_cast<int>(cursor - start)) return true;
    if (bWriting) {
        // A writer that measures what it writes (a saved game's limit) is told, not stopped.
        if (bFatalOnBadData) QEL_FATAL(u"Packet::write", u"The packet's buffer of %d bytes is full.", bufferSize);
        bBadData = true;
        return false;
    }
    badData(u"Packet::read", u"cursor + bytes <= start + dataSize");
    return false;
}

void Packet::putByte(uint8_t byte) {
    if (canRead(1)) *cursor++ = byte;
}

uint8_t Packet::getByte() { return canRead(1) ? *cursor++ : 0; }

void Packet::doRawWord(void* word) {
    if (!canRead(4)) {
        if (!bWriting) std::memset(word, 0, 4);
        return;
    }
    auto* w = static_cast<uint8_t*>(word);
    uint32_t v;
    if (bWriting) {
        std::memcpy(&v, w, 4);
        for (int i = 0; i < 4; ++i) cursor[i] = static_cast<uint8_t>(v >> (8 * i));
    } else {
        v = uint32_t(cursor[0]) | uint32_t(cursor[1]) << 8 | uint32_t(cursor[2]) << 16 | uint32_t(cursor[3]) << 24;
        std::memcpy(w, &v, 4);
    }
    cursor += 4;
}

void Packet::doUInt(uint32_t* value) {
    if (bWriting) {
        uint32_t v = *value;
        do {
            const uint8_t group = v & 0x7F;
            v >>= 7;
            putByte(group | (v ? 0x80 : 0));
        } while (v);
        return;
    }
    uint64_t v = 0;
    for (int i = 0;; ++i) {
        const uint8_t b = getByte();
        v |= uint64_t(b & 0x7F) << (7 * i);
        if (!(b & 0x80)) break;
        if (i == 4) {
            badData(u"Packet::doUInt", u"varint length <= 5");
            break;
        }
    }
    *value = bBadData ? 0 : static_cast<uint32_t>(v);
}

void Packet::doInt(int32_t* value) {
    if (bWriting) {
        const bool negative = *value < 0;
        const uint32_t m = negative ? 0u - static_cast<uint32_t>(*value) : static_cast<uint32_t>(*value);
        uint32_t r = m >> 6;
        putByte(static_cast<uint8_t>((r ? 0x80 : 0) | (negative ? 0x40 : 0) | (m & 0x3F)));
        while (r) {
            const uint8_t group = r & 0x7F;
            r >>= 7;
            putByte(group | (r ? 0x80 : 0));
        }
        return;
    }
    const uint8_t first = getByte();
    uint64_t r = 0;
    if (first & 0x80) {
        for (int i = 0;; ++i) {
            const uint8_t b = getByte();
            r |= uint64_t(b & 0x7F) << (7 * i);
            if (!(b & 0x80)) break;
            if (i == 3) {
                badData(u"Packet::doInt", u"varint length <= 5");
                break;
            }
        }
    }
    const uint32_t m = static_cast<uint32_t>((r << 6) | (first & 0x3F));
    *value = bBadData ? 0 : static_cast<int32_t>((first & 0x40) ? 0u - m : m);
}

void Packet::doFloat(float* value) {
    if (bWriting) {
        float f = *value;
        const float minimum = bitsFloat(0x380205FF);
        if (f > 0.0f && f < minimum) f = minimum;
        if (f > 130000.0f) f = 130000.0f;
        if (f < 0.0f && f > -minimum) f = -minimum;
        if (f < -130000.0f) f = -130000.0f;
        if (f == 0.0f) f = 0.0f;  // negative zero becomes zero
        const uint32_t b = floatBits(f);
        uint16_t h = 0;
        if (b != 0) h = static_cast<uint16_t>(((b >> 16) & 0x8000) | ((((b >> 23) - 16) & 0x1F) << 10) | ((b >> 13) & 0x3FF));
        putByte(static_cast<uint8_t>(h));
        putByte(static_cast<uint8_t>(h >> 8));
        return;
    }
    const uint16_t low = getByte();
    const uint16_t h = static_cast<uint16_t>(low | getByte() << 8);
    if (h == 0 || bBadData) {
        *value = 0.0f;
        return;
    }
    const uint32_t b = (uint32_t(h >> 15) << 31) | ((((h >> 10) & 0x1Fu) + 112u) << 23) | (uint32_t(h & 0x3FF) << 13);
    *value = bitsFloat(b);
}

void Packet::nextFlagBit() {
    flagMask = static_cast<uint8_t>(flagMask << 1);
    ++flagBitCount;
    if (flagMask == 0) {
        if (!canRead(1)) {
            flagByte = nullptr;
            return;
        }
        if (bWriting) *cursor = 0;
        flagByte = cursor++;
        flagMask = 1;
        flagBitCount = 0;
    }
}

void Packet::doBit(uint8_t* byte, int bit) {
    nextFlagBit();
    if (!flagByte || bBadData) return;
    if (bWriting) {
        if ((*byte >> bit) & 1) *flagByte |= static_cast<uint8_t>(1u << flagBitCount);
    } else {
        const uint8_t mask = static_cast<uint8_t>(1u << bit);
        *byte = static_cast<uint8_t>(((*flagByte >> flagBitCount) & 1) ? (*byte | mask) : (*byte & ~mask));
    }
}

void Packet::doBits(uint8_t* byte, int count) {
    for (int i = 0; i < count; ++i) doBit(byte, i);
}

void Packet::doUString(WString* text, int maxLength) {
    if (bWriting) {
        const std::string utf8 = wideToUtf8(*text);
        uint32_t length = static_cast<uint32_t>(utf8.size());
        if (!(length < BUFFERSIZE)) ErrorManager::assertionFailed(u"Packet::doUString", __FILE__, __LINE__, u"length < BUFFERSIZE");
        doUInt(&length);
        if (!canRead(static_cast<int>(length))) return;
        for (uint32_t i = 0; i < length; ++i) *cursor++ = static_cast<uint8_t>(utf8[i]) ^ STRING_SCRAMBLE;
        return;
    }
    uint32_t length = 0;
    doUInt(&length);
    text->clear();
    if (bBadData) return;
    if (!(length < BUFFERSIZE)) return badData(u"Packet::doUString", u"length < BUFFERSIZE");
    if (!canRead(static_cast<int>(length))) return;
    char scratch[BUFFERSIZE + 1];
    for (uint32_t i = 0; i < length; ++i) scratch[i] = static_cast<char>(*cursor++ ^ STRING_SCRAMBLE);
    scratch[length] = 0;
    WString read = utf8ToWide(std::string_view(scratch, std::strlen(scratch)));
    if (maxLength >= 0 && read.length() > static_cast<size_t>(maxLength)) return badData(u"Packet::doUString", u"data->length() <= maxLength");
    *text = std::move(read);
}

void Packet::doVector3(float* xyz) {
    for (int i = 0; i < 3; ++i) doRawWord(xyz + i);
}

bool Packet::doPointer2(QelBase** object) {
    if (bWriting) {
        uint32_t uid = 0;
        if (*object) {
            const int objectUID = (*object)->objectUID;
            QEL_ASSERT(u"Packet::doPointer2", objectUID >= 0);
            uid = static_cast<uint32_t>(objectUID);
        }
        doUInt(&uid);
        return uid != 0;
    }
    uint32_t uid = 0;
    doUInt(&uid);
    *object = nullptr;
    if (uid == 0 || bBadData) return false;
    QelBase* found = nullptr;
    if (uid <= 0x7FFFFFFFu && findObjectHook) found = findObjectHook(static_cast<int>(uid));
    if (!found) {
        if (bFatalOnBadData) QEL_FATAL(u"Packet::doPointer2", u"Unknown object %u.", uid);
        bBadData = true;
        return false;
    }
    *object = found;
    return true;
}

void Packet::doPointer(QelBase** object) {
    if (mode & PACKET_RAW_POINTERS) QEL_FATAL(u"Packet::doPointer", u"Raw pointers do not fit the packet's 32-bit words.");
    doPointer2(object);
}

void Packet::doResourcePointer2(QelBase** resource) {
    ResourceManager* resources = qel ? qel->pResourceManager : nullptr;
    if (bWriting) {
        WString s;
        if (*resource) {
            if (resources) s = resources->getName(*resource);
            if (s.empty()) ErrorManager::assertionFailed(u"Packet::doResourcePointer2", __FILE__, __LINE__, u"s != TT(\"\")");
        }
        doUString(&s, -1);
        return;
    }
    WString s;
    doUString(&s, -1);
    *resource = nullptr;
    if (s.empty() || bBadData) return;
    if (bFatalOnBadData) {
        if (!resources) ErrorManager::error(u"Could not find resource '%s'.", s);
        *resource = resources->find(true, s);
        return;
    }
    *resource = resources ? resources->find(false, s) : nullptr;
    if (!*resource) bBadData = true;
}

void Packet::doClassID(ClassRecord** record) {
    ClassRegistry& registry = ClassRegistry::get();
    if (mode & PACKET_DEBUG_MARKERS) {
        uint32_t id = bWriting && *record ? (*record)->id : 0;
        doRawWord(&id);
        if (bWriting) return;
        *record = bBadData ? nullptr : registry.findById(id);
    } else {
        uint32_t number = bWriting && *record ? static_cast<uint32_t>((*record)->classID) : 0;
        doUInt(&number);
        if (bWriting) return;
        *record = bBadData || number > 0x7FFFFFFFu ? nullptr : registry.findByNumber(static_cast<int>(number));
    }
    ClassRecord** _class = record;
    if (*_class == nullptr && !bBadData) badData(u"Packet::doClassID", u"*_class != NULL");
}

void Packet::rewindToRead() {
    QEL_ASSERT(u"Packet::rewindToRead", bWriting);
    dataSize = static_cast<int>(cursor - start);
    cursor = start;
    flagByte = nullptr;
    flagMask = 0;
    flagBitCount = 0;
    bWriting = false;
}
