// The packet reader as a saved-game loader uses it: the first byte picks the mode, the next eight
// a script of read operations, the rest is the packet's data, read with damage reported instead
// of ending the program.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/ClassRecord.h"
#include "engine/ClassRegistry.h"
#include "engine/Packet.h"
#include "engine/QelBase.h"

namespace {

QelBase* pool[3];

QelBase* findObject(int uid) { return uid >= 1 && uid <= 3 ? pool[uid - 1] : nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    ClassRegistry::get().assignClassIDs();
    QelBase a, b, c;
    pool[0] = &a;
    pool[1] = &b;
    pool[2] = &c;
    Packet::findObjectHook = findObject;
    const int bodySize = static_cast<int>(size - 9);
    Packet packet(data[0] & 5, bodySize);
    if (bodySize) std::memcpy(packet.start, data + 9, static_cast<size_t>(bodySize));
    packet.cursor = packet.start + bodySize;
    packet.rewindToRead();
    packet.bFatalOnBadData = false;
    QelBase target;
    for (int step = 0; step < 64 && !packet.bBadData; ++step) {
        const uint8_t op = data[1 + step % 8] >> ((step / 8) % 2 * 4);
        int32_t i;
        uint32_t u;
        float f, v[3];
        uint8_t bits = 0;
        WString s;
        QelBase* object = nullptr;
        ClassRecord* record = nullptr;
        switch (op % 11) {
            case 0: packet.doInt(&i); break;
            case 1: packet.doUInt(&u); break;
            case 2: packet.doFloat(&f); break;
            case 3: packet.doBit(&bits, op >> 4); break;
            case 4: packet.doBits(&bits, 5); break;
            case 5: packet.doUString(&s, 40); break;
            case 6: packet.doVector3(v); break;
            case 7: packet.doPointer2(&object); break;
            case 8: packet.doClassID(&record); break;
            case 9: packet.doRawWord(&u); break;
            case 10: target.netSerialize(packet); break;
        }
    }
    while (target.lastChild) target.removeChild(target.lastChild);
    Packet::findObjectHook = nullptr;
    return 0;
}
