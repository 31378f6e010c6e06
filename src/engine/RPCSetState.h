#pragma once
// Replicated state set: the target's state becomes the value at once, without onStateChange. A
// pending delayed state is dropped, so that it cannot overwrite the state set here later.

#include <cstdint>

#include "engine/RPC.h"

class RPCSetState : public RPC {
    QEL_DECLARE_RPC()
public:
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    int32_t value = 0;
};
