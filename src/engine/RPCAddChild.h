#pragma once
// Replicated addChild of the target.

#include "engine/RPC.h"

class RPCAddChild : public RPC {
    QEL_DECLARE_RPC()
public:
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    QelBase* pChild = nullptr;
};
