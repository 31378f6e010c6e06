#pragma once
// A datagram endpoint with per-second traffic statistics. A connection on 127.0.0.1 while the
// network emulates localhost runs through the network's in-process queue and takes the next
// emulated port; any other runs on a non-blocking UDP socket bound to its address.

#include <cstdint>

#include "engine/NetAddress.h"
#include "engine/NetStatsBucket.h"
#include "engine/QelBase.h"

class QelNetwork;

class NetConnection : public QelBase {
public:
    static constexpr int receiveBufferSize = 0x40000;

    // network: the network whose emulated localhost to use; the engine's when null.
    explicit NetConnection(const NetAddress& address, QelNetwork* network = nullptr);
    ~NetConnection() override;

    // True when the connection can send and receive: emulated, or its socket is bound. When the
    // bind failed, bindError holds the Winsock error number.
    bool isOpen() const { return bEmulated || wsaSocket >= 0; }

    // Sends one datagram; false when it could not be sent (an emulated connection reaches only
    // 127.0.0.1).
    bool sendTo(const NetAddress& destination, const void* data, int length);
    // Takes the next datagram addressed to this connection: its length (cut to capacity) and its
    // sender, or -1 when none is waiting.
    int receive(NetAddress& source, void* data, int capacity);

    // The statistics bucket of the current second of engine time.
    NetStatsBucket* getCurrentStatsBucket();
    NetStatsBucket* getCurrentStatsBucket(double now);
    // The engine clock in seconds; set by the engine (a process clock when unset).
    static inline double (*timeSource)() = nullptr;

    NetAddress address;
    QelBase statsHistory;
    NetStatsBucket statsTotal;
    double historyLength = 10.0;
    bool bEmulated = false;
    int wsaSocket = -1;
    int bindError = 0;
    QelNetwork* pNetwork = nullptr;
};
