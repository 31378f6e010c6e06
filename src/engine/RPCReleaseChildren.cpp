#include "engine/RPCReleaseChildren.h"

#include "engine/QelBase.h"

QEL_IMPLEMENT_RPC_FIXED(RPCReleaseChildren, 0xae3f6255, u"_ae3f6255")

void RPCReleaseChildren::execute() {
    if (pTarget) pTarget->releaseChildren();
}
