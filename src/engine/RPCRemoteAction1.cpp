#include "engine/RPCRemoteAction1.h"

#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCRemoteAction1, 0x67719ab0, u"_67719ab0")

void RPCRemoteAction1::execute() {
    if (pTarget) pTarget->onRemoteAction1();
}
