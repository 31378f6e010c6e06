#include "engine/NetUIDCounter.h"

#include "engine/NetRole.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"

QEL_IMPLEMENT_CLASS_FIXED(NetUIDCounter, 0x04790976, u"_04790976", &QelBase::classRecord, QEL_FACTORY(NetUIDCounter))

void NetUIDCounter::describe(PropertyContainer* group) {
    QelBase::describe(group);
    NetRole* role = NetRole::current();
    if (!role) return;
    group->addChild(new PropertyInt(u"THEROLE->nextObjectUID", Property::FLAG_UNSIGNED, reinterpret_cast<int32_t*>(&role->nextObjectUID)));
}
