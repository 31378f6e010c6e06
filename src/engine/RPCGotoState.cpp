#include "engine/RPCGotoState.h"

#include "engine/NetRole.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"
#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCGotoState, 0x7b13321b, u"_7b13321b")

void RPCGotoState::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doInt(&stateNext);
    float packed = static_cast<float>(delay);
    packet.doFloat(&packed);
    delay = packed;
}

void RPCGotoState::describe(PropertyContainer* group) {
    group->addChild(new PropertyInt(u"", 0, &stateNext));
    group->addChild(new PropertyDouble(u"", Property::FLAG_PACKED_FLOAT, &delay));
}

void RPCGotoState::execute() {
    if (!pTarget) return;
    if (delay == 0.0) {
        pTarget->gotoState(stateNext, 0.0);
        return;
    }
    NetRole* role = NetRole::current();
    if (!role) {
        pTarget->gotoState(stateNext, delay);
        return;
    }
    if (!role->bServer) return;
    const bool saved = role->bExecutingClientCall;
    role->bExecutingClientCall = false;
    pTarget->gotoState(stateNext, delay);
    role->bExecutingClientCall = saved;
}
