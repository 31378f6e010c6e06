#include "engine/NetRole.h"

#include "engine/ClassRecord.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/NetConnection.h"
#include "engine/Qel.h"
#include "engine/QelNetwork.h"
#include "engine/RPC.h"

namespace {

// A registered object released while a role exists goes through the networked delete.
bool releaseThroughNetwork(QelBase* object) {
    if (!NetRole::current()) return false;
    RPC::netDelete(object);
    return true;
}

bool deletionNeedsNetwork(QelBase*) { return NetRole::current() != nullptr; }

QelBase* findForPacket(int uid) {
    NetRole* role = NetRole::current();
    return role ? role->lookupObject(uid) : nullptr;
}

}  // namespace

NetRole::NetRole(bool server, NetConnection* connection, QelNetwork* network)
    : bServer(server), pConnection(connection), pNetwork(network ? network : qel ? qel->pQelNetwork : nullptr) {
    QEL_ASSERT(u"NetRole::NetRole", pNetwork != nullptr);
    if (!qel || pNetwork != qel->pQelNetwork) pDetachedNetwork = pNetwork;
    pNetwork->THEROLE = this;
    QelBase::netReleaseHook = releaseThroughNetwork;
    QelBase::deleteRegisteredHook = deletionNeedsNetwork;
    Packet::findObjectHook = findForPacket;
}

NetRole::~NetRole() {
    for (auto& [uid, object] : objects) object->objectUID = -1;
    objects.clear();
    if (pNetwork->THEROLE == this) pNetwork->THEROLE = nullptr;
    if (pDetachedNetwork == pNetwork && !pNetwork->THEROLE) pDetachedNetwork = nullptr;
}

NetRole* NetRole::current() {
    QelNetwork* network = qel && qel->pQelNetwork ? qel->pQelNetwork : pDetachedNetwork;
    return network ? network->THEROLE : nullptr;
}

int NetRole::registerObject(QelBase* object, int uid) {
    QEL_ASSERT(u"NetRole::registerObject", object && !object->isValidUID());
    if (uid <= 0) {
        while (objects.count(static_cast<int>(nextObjectUID)) || static_cast<int>(nextObjectUID) <= 0) ++nextObjectUID;
        uid = static_cast<int>(nextObjectUID++);
    }
    QEL_ASSERT(u"NetRole::registerObject", objects.count(uid) == 0);
    objects[uid] = object;
    object->objectUID = uid;
    return uid;
}

QelBase* NetRole::findObject(int uid) {
    QelBase* object = lookupObject(uid);
    if (!object) QEL_FATAL(u"NetRole::findObject", u"Could not find object ID %d", uid);
    return object;
}

QelBase* NetRole::lookupObject(int uid) const {
    auto it = objects.find(uid);
    return it == objects.end() ? nullptr : it->second;
}

void NetRole::unregisterObject(QelBase* object) {
    if (!object) return;
    QelBase* o = object;
    QEL_ASSERT(u"NetRole::unregisterObject", o->isValidUID());
    auto it = objects.find(o->objectUID);
    if (it != objects.end() && it->second == o) objects.erase(it);
    o->objectUID = -1;
    // An anchor that leaves the network is no longer named by later deletes.
    if (pAnchor == o) pAnchor = nullptr;
}

void NetRole::sendRPC(RPC& call) {
    uint8_t kind = MESSAGE_CALL;
    outgoing.doBits(&kind, 2);
    ClassRecord* record = call.getClass();
    outgoing.doClassID(&record);
    call.netSerialize(outgoing);
    if (pConnection) pConnection->getCurrentStatsBucket()->table[0][MESSAGE_CALL] += 1;
    sentCalls[record->classID] += 1;
}

int NetRole::countSent(const ClassRecord* record) const {
    auto it = sentCalls.find(record->classID);
    return it == sentCalls.end() ? 0 : it->second;
}

bool NetRole::receiveMessages(Packet& packet) {
    const char16_t* function = u"NetRole::receiveMessages";
    if (packet.bWriting) return false;
    // A peer's data: damage is refused, never fatal.
    packet.bFatalOnBadData = false;
    for (;;) {
        // The two kind bits fit the open flag byte, or a new one opens at the next byte.
        const int bitsLeft = packet.flagMask ? 7 - packet.flagBitCount : 0;
        const bool moreBytes = packet.cursor < packet.start + packet.dataSize;
        if (bitsLeft < 2 && !moreBytes) return true;
        uint8_t kind = 0;
        packet.doBits(&kind, 2);
        if (packet.bBadData) return false;
        kind &= 3;
        // Unused bits of the last flag byte read as kind 0: the end of the messages.
        if (kind == 0) return !moreBytes;
        if (kind != MESSAGE_CALL) {
            qelLog(function, u"Unknown message kind %d.", kind);
            return false;
        }
        ClassRecord* record = nullptr;
        packet.doClassID(&record);
        RPC* call = packet.bBadData ? nullptr : RPC::create(record);
        if (!call) {
            qelLog(function, u"Refused a message that names no call class.");
            return false;
        }
        call->netSerialize(packet);
        if (packet.bBadData) {
            delete call;
            qelLog(function, u"Refused a damaged call of class %s.", record->name);
            return false;
        }
        call->executeLocally();
        delete call;
    }
}

bool NetRole::sendOutgoing(const NetAddress& destination) {
    const int length = static_cast<int>(outgoing.cursor - outgoing.start);
    if (!pConnection || length == 0) return false;
    const bool sent = pConnection->sendTo(destination, outgoing.start, length);
    outgoing.cursor = outgoing.start;
    outgoing.flagByte = nullptr;
    outgoing.flagMask = 0;
    outgoing.flagBitCount = 0;
    return sent;
}

int NetRole::receiveIncoming() {
    if (!pConnection) return 0;
    int count = 0;
    for (;;) {
        Packet& packet = pConnection->receivePacket;
        NetAddress source;
        const int length = pConnection->receive(source, packet.start, packet.bufferSize);
        if (length < 0) return count;
        ++count;
        packet.address = source;
        packet.bWriting = true;
        packet.bBadData = false;
        packet.cursor = packet.start + length;
        packet.rewindToRead();
        if (!receiveMessages(packet)) qelLog(u"NetRole::receiveIncoming", u"Refused a datagram from %s.", source.toString());
    }
}
