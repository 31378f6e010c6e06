// The receiving side of the replicated calls: a datagram from a peer is read as call messages and
// run against a role (on a network of its own, without an engine) with a few registered objects.
// The first byte picks the side and the packet mode, the second links the objects, the rest is
// the datagram.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/ClassRegistry.h"
#include "engine/NetRole.h"
#include "engine/Packet.h"
#include "engine/QelBase.h"
#include "engine/QelNetwork.h"

namespace {
QelNetwork* network = nullptr;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    ClassRegistry::get().assignClassIDs();
    if (!network) network = new QelNetwork();
    constexpr int kObjects = 5;
    std::vector<QelBase*> objects;
    {
        auto* role = new NetRole((data[0] & 1) != 0, nullptr, network);
        for (int i = 0; i < kObjects; ++i) {
            objects.push_back(new QelBase());
            role->registerObject(objects.back(), i + 1);
        }
        // Some objects start as children of others (never of themselves or their descendants).
        for (int i = 1; i < kObjects; ++i)
            if ((data[1] >> i) & 1) objects[static_cast<size_t>(i - 1)]->addChild(objects[static_cast<size_t>(i)]);
        const int bodySize = static_cast<int>(size - 2);
        Packet packet(Packet::PACKET_REGISTERED_ONLY | (data[0] & Packet::PACKET_DEBUG_MARKERS), bodySize);
        if (bodySize) std::memcpy(packet.start, data + 2, static_cast<size_t>(bodySize));
        packet.cursor = packet.start + bodySize;
        packet.rewindToRead();
        role->receiveMessages(packet);
        // What the calls left alive is still registered; unlink and free it without the network.
        std::vector<QelBase*> alive;
        for (auto& [uid, object] : role->objects) alive.push_back(object);
        for (QelBase* object : alive)
            if (object->owner) object->owner->BasicLink::removeChild(object);
        delete role;
        for (QelBase* object : alive) {
            while (object->lastChild) object->BasicLink::removeChild(object->lastChild);
            delete object;
        }
    }
    return 0;
}
