#pragma once
// Replicated gotoState: an immediate switch everywhere; a delayed one is run by the server (or
// where there is no role) and left to the server's call on a client.

#include <cstdint>

#include "engine/RPC.h"

class RPCGotoState : public RPC {
    QEL_DECLARE_RPC()
public:
    // The delay travels as a packed float: afterwards it holds the float written, or the value read.
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    int32_t stateNext = 0;
    double delay = 0.0;
};
