#pragma once
// Replicated releaseChildren of the target.

#include "engine/RPC.h"

class RPCReleaseChildren : public RPC {
    QEL_DECLARE_RPC()
public:
    void execute() override;
};
