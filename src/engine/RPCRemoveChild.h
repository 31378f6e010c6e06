#pragma once
// Replicated removeChild of the target.

#include "engine/RPC.h"

class RPCRemoveChild : public RPC {
    QEL_DECLARE_RPC()
public:
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    QelBase* pChild = nullptr;
};
