#pragma once
// Replicated onRemoteAction2 of the target.

#include "engine/RPC.h"

class RPCRemoteAction2 : public RPC {
    QEL_DECLARE_RPC()
public:
    void execute() override;
};
