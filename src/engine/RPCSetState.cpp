#include "engine/RPCSetState.h"

#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCSetState, 0x21ae2a05, u"_21ae2a05")

void RPCSetState::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doInt(&value);
}

void RPCSetState::describe(PropertyContainer* group) { group->addChild(new PropertyInt(u"", 0, &value)); }

void RPCSetState::execute() {
    if (!pTarget) return;
    pTarget->state = value;
    pTarget->timeInState = 0;
    pTarget->stateGoto = value;
    pTarget->stateLeft = 0;
}
