#pragma once
// A byte buffer that one serialiser runs through in both directions: each do... operation writes
// its variable while the packet is writing and reads it back into the same variable after
// rewindToRead. Variable-length integers, 16-bit floats, bits packed into shared flag bytes,
// scrambled UTF-8 strings, objects as network ids, resources as names and classes as numbers.
//
// Writing past the buffer is a fatal error, or, with bFatalOnBadData cleared, sets bBadData and
// writes nothing more. Reading is bounds-checked: damaged or short data is a
// fatal report, or, with bFatalOnBadData cleared (readers of outside data such as saved games),
// sets bBadData, after which every read yields zero and the caller refuses the data.

#include <cstdint>

#include "engine/NetAddress.h"
#include "engine/QelBase.h"
#include "engine/Text.h"

class ClassRecord;

class Packet : public QelBase {
public:
    enum : int { PACKET_REGISTERED_ONLY = 1, PACKET_RAW_POINTERS = 2, PACKET_DEBUG_MARKERS = 4 };
    static constexpr int BUFFERSIZE = 1024;
    static constexpr int DEFAULT_BUFFER_BYTES = 0x40000;
    static constexpr uint32_t MARKER = 0xFEFDFCFB;

    // A writing packet with a buffer of bufferSize bytes (262,144 when negative).
    Packet(int mode, int bufferSize);
    ~Packet() override;

    void doInt(int32_t* value);
    void doUInt(uint32_t* value);
    void doFloat(float* value);
    void doBit(uint8_t* byte, int bit);
    void doBits(uint8_t* byte, int count);
    // UTF-8 scrambled with 0x3C after its byte length; a text read longer than maxLength
    // characters (when maxLength is not negative) is refused.
    void doUString(WString* text, int maxLength);
    // Three raw 32-bit words, x first.
    void doVector3(float* xyz);
    // The object's objectUID as an unsigned varint, 0 for null; answers whether a set reference
    // went through.
    virtual bool doPointer2(QelBase** object);
    // Raw pointers do not fit a 32-bit word on this platform: with PACKET_RAW_POINTERS this is
    // refused; otherwise doPointer2.
    void doPointer(QelBase** object);
    void doResourcePointer2(QelBase** resource);
    void doClassID(ClassRecord** record);
    // One raw 32-bit little-endian word.
    void doRawWord(void* word);
    // Turns a writing packet into a reader of what was written.
    void rewindToRead();

    // Resolves an object id read from a packet (set by the network layer while a role exists).
    static inline QelBase* (*findObjectHook)(int objectUID) = nullptr;

    // Reports a damaged input: fatal with bFatalOnBadData, else remembered in bBadData.
    void badData(const char16_t* function, const char16_t* statement);
    bool canRead(int bytes);

    int mode;
    bool bWriting = true;
    // The peer a network packet came from or goes to; 0.0.0.0 port 0 at construction.
    NetAddress address;
    bool bFatalOnBadData = true;
    bool bBadData = false;
    uint8_t* flagByte = nullptr;
    uint8_t flagMask = 0;
    int flagBitCount = 0;
    int bufferSize;
    int dataSize;
    uint8_t* start = nullptr;
    uint8_t* cursor = nullptr;

private:
    void nextFlagBit();
    void putByte(uint8_t byte);
    uint8_t getByte();
};
