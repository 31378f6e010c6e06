#pragma once
// A replicated call: names a target object and one operation with its arguments, travels in a
// Packet and runs where the current network role allows it: on the server, on the clients, or
// both. Objects registered with the network are destroyed through netDelete.

#include "engine/RPCClassRecord.h"

class Packet;
class PropertyContainer;
class QelBase;

class RPC {
public:
    static RPCClassRecord classRecord;
    virtual ClassRecord* getClass() const;

    RPC() = default;
    virtual ~RPC() = default;

    // The target as an object reference; call classes add their arguments after it.
    virtual void netSerialize(Packet& packet);
    // Adds the call's arguments to a property group.
    virtual void describe(PropertyContainer* group) {}
    // Performs the operation on the target.
    virtual void execute() {}

    // Whether the call is to be sent by the current role. A client issuing a server call it may
    // not issue is a fatal error.
    bool executeRemotely();
    // Runs the call here when the current role allows it, with the role's executing flags set to
    // the call's run flags meanwhile.
    void executeLocally();

    // The networked delete of an object registered with the network.
    static void netDelete(QelBase* object);
    // A new empty call of a call class; null for any other class.
    static RPC* create(const ClassRecord* record);

    bool bRunOnServer = true;
    bool bRunOnClient = true;
    bool bClientMayCall = false;
    QelBase* pTarget = nullptr;
    bool bSavedServerCall = false;
    bool bSavedClientCall = false;
};
