#include "engine/RPCRemoteAction2.h"

#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCRemoteAction2, 0x9a4605a1, u"_9a4605a1")

void RPCRemoteAction2::execute() {
    if (pTarget) pTarget->onRemoteAction2();
}
