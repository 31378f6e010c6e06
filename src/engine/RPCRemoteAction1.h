#pragma once
// Replicated onRemoteAction1 of the target.

#include "engine/RPC.h"

class RPCRemoteAction1 : public RPC {
    QEL_DECLARE_RPC()
public:
    void execute() override;
};
