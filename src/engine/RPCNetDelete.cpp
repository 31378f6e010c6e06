#include "engine/RPCNetDelete.h"

#include "engine/NetRole.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCNetDelete, 0x4472ef3a, u"_4472ef3a")

void RPCNetDelete::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doPointer2(&pObject);
}

void RPCNetDelete::describe(PropertyContainer* group) { group->addChild(new PropertyPointer(u"", 0, &pObject, &QelBase::classRecord)); }

void RPCNetDelete::execute() {
    if (!pObject) return;
    if (NetRole* role = NetRole::current())
        role->unregisterObject(pObject);
    else
        pObject->objectUID = -1;
    QelBase* object = pObject;
    pObject = nullptr;
    delete object;
}
