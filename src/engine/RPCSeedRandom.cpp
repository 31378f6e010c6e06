#include "engine/RPCSeedRandom.h"

#include "engine/NetRole.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyDWORD.h"

QEL_IMPLEMENT_RPC_FIXED(RPCSeedRandom, 0xcfad751b, u"_cfad751b")

void RPCSeedRandom::netSerialize(Packet& packet) {
    RPC::netSerialize(packet);
    packet.doRawWord(&seed);
}

void RPCSeedRandom::describe(PropertyContainer* group) { group->addChild(new PropertyDWORD(u"", 0, &seed)); }

void RPCSeedRandom::execute() {
    if (NetRole* role = NetRole::current()) role->generator.seed(seed);
}
