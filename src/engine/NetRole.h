#pragma once
// The replication role: numbers the objects it replicates, finds them by their UID, and queues
// the replicated calls it sends as messages in its outgoing packet. A role installs itself as the
// engine network's current role (THEROLE) while it lives.
//
// Message layout: the message kind (3 for a call) as two packed bits, the call's class, then the
// call's own serialisation.
//
// The current role is the engine network's THEROLE; without an engine (tools, fuzzing) it is that
// of the network the last role was made on.

#include <cstdint>
#include <map>
#include <random>

#include "engine/Packet.h"
#include "engine/QelBase.h"

class NetConnection;
class QelNetwork;
class RPC;

class NetRole : public QelBase {
public:
    static constexpr uint8_t MESSAGE_CALL = 3;

    // Becomes the current role of the network given, else of the engine's network (one of them
    // must exist).
    explicit NetRole(bool bServer, NetConnection* connection = nullptr, QelNetwork* network = nullptr);
    // Leaves the network without a role; objects still registered keep no UID.
    ~NetRole() override;

    // The current role, or null.
    static NetRole* current();

    // Gives the object the next UID (or the UID given, as a receiver does for objects it
    // mirrors) and registers it; answers the UID.
    int registerObject(QelBase* object, int uid = 0);
    // The registered object with that UID; an unknown UID is fatal.
    QelBase* findObject(int uid);
    // The same, null when unknown.
    QelBase* lookupObject(int uid) const;
    void unregisterObject(QelBase* object);

    // Appends the call's message to outgoing and counts it.
    void sendRPC(RPC& call);
    // Runs every call message of a packet read from a peer: each call is made by its class's
    // factory, read, run where allowed and deleted. Answers false when the packet held something
    // else than calls or was damaged (the messages before it have run).
    bool receiveMessages(Packet& packet);
    // Sends what outgoing holds as one datagram through the connection and empties outgoing;
    // false when nothing could be sent.
    bool sendOutgoing(const NetAddress& destination);
    // Reads every datagram waiting at the connection into its receive packet and runs its calls.
    // Answers the number of datagrams read.
    int receiveIncoming();
    // The number of calls of a class sent so far.
    int countSent(const ClassRecord* record) const;

    bool bServer;
    bool bExecutingServerCall = false;
    bool bExecutingClientCall = false;
    QelBase* pAnchor = nullptr;
    std::mt19937 generator;
    NetConnection* pConnection;
    std::map<int, QelBase*> objects;
    uint32_t nextObjectUID = 1;
    Packet outgoing{Packet::PACKET_REGISTERED_ONLY, -1};
    std::map<int, int> sentCalls;
    QelNetwork* pNetwork;

    // The network of the roles made without an engine.
    static inline QelNetwork* pDetachedNetwork = nullptr;
};
