#include "engine/RPCRemoveChild.h"

#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCRemoveChild, 0x98af025c, u"_98af025c")

void RPCRemoveChild::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doPointer2(&pChild);
}

void RPCRemoveChild::describe(PropertyContainer* group) { group->addChild(new PropertyPointer(u"", 0, &pChild, &QelBase::classRecord)); }

// Only a child of the target can be unlinked from it.
void RPCRemoveChild::execute() {
    if (pTarget && pChild && pChild->owner == pTarget) pTarget->removeChild(pChild);
}
