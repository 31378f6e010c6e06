#include "engine/RPCAddChild.h"

#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCAddChild, 0x02468b57, u"_02468b57")

void RPCAddChild::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doPointer2(&pChild);
}

void RPCAddChild::describe(PropertyContainer* group) { group->addChild(new PropertyPointer(u"", 0, &pChild, &QelBase::classRecord)); }

// A child already linked somewhere, or one that would enclose its new owner, would corrupt the
// tree: such a call is ignored.
void RPCAddChild::execute() {
    if (!pTarget || !pChild || pChild->owner) return;
    for (BasicLink* o = pTarget; o; o = o->owner)
        if (o == pChild) return;
    pTarget->addChild(pChild);
}
