#pragma once
// Seeds the current role's random generator.

#include <cstdint>

#include "engine/RPC.h"

class RPCSeedRandom : public RPC {
    QEL_DECLARE_RPC()
public:
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    uint32_t seed = 0;
};
