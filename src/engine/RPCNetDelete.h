#pragma once
// The networked delete: unregisters the object from the current role, then deletes it.

#include "engine/RPC.h"

class RPCNetDelete : public RPC {
    QEL_DECLARE_RPC()
public:
    void netSerialize(Packet& packet) override;
    void describe(PropertyContainer* group) override;
    void execute() override;

    QelBase* pObject = nullptr;
};
