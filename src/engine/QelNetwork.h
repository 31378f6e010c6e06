#pragma once
// The engine's network service: holds the current replication role and the emulated localhost,
// an in-process queue through which connections to 127.0.0.1 exchange datagrams without a socket
// (setting "bEmulateLocalhost" of the section "QelNetwork", default Yes).

#include <cstdint>

#include "engine/ClassRecord.h"
#include "engine/QelBase.h"
#include "engine/Text.h"

class MemoryIniFile;
class NetAddress;
class NetRole;

class QelNetwork {
    QEL_DECLARE_ROOT_CLASS()
public:
    // Reads its setting from the engine's settings when given (a missing key is written with its
    // default first).
    explicit QelNetwork(MemoryIniFile* config = nullptr);
    virtual ~QelNetwork();
    QelNetwork(const QelNetwork&) = delete;
    QelNetwork& operator=(const QelNetwork&) = delete;

    // The symbolic name of a Winsock error number, or "Unknown WSA error: %08x".
    static WString getWSAErrorString(int code);

    // Drops every queued emulated datagram addressed to the address (IPv4 address and port).
    void flushEmulatedPackets(const NetAddress& address);
    int countEmulatedPackets() const { return emulatedQueue.countChildren(); }

    bool bEmulateLocalhost = true;
    NetRole* THEROLE = nullptr;
    uint16_t nextEmulatedPort = 1;
    // The queued emulated datagrams (NetDatagram), oldest first.
    QelBase emulatedQueue;
};
