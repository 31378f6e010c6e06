#pragma once
// An IPv4 socket address laid out as the socket API's sockaddr_in: family (2), port and address
// in network byte order, eight zero bytes. A new address is 0.0.0.0 port 23006.

#include <bit>
#include <cstdint>

#include "engine/Text.h"

class NetAddress {
public:
    static constexpr uint16_t defaultPort = 23006;

    NetAddress();

    // "host" or "host:port" (the port read as "%d", 0 when there is none); see setBoth. A port
    // outside 0..65535 is refused like an unknown host.
    bool setFromString(WStringView text);
    // Exactly "a.b.c.d:p" in decimal, octets 0..255, port 0..65535, blanks around the whole
    // allowed and nothing else; never looks a name up. Sets the address (family 2) and returns
    // true, or leaves it unchanged and returns false.
    bool setFromDottedText(WStringView text);
    // Clears the address, then sets the port and the host: "localhost" is 127.0.0.1, any other
    // name or dotted address is looked up (its first IPv4 address). A host that cannot be looked
    // up leaves the address cleared (0.0.0.0 port 0) and returns false.
    bool setBoth(int port, WStringView host);
    // "a.b.c.d:port".
    WString toString() const;

    const void* getSockAddr() const { return this; }
    void* getSockAddr() { return this; }

    // The port and address in host order.
    uint16_t getPort() const;
    uint32_t getIPv4() const;
    void setPort(uint16_t port);
    void setIPv4(uint32_t address);
    bool isLoopback() const { return getIPv4() == 0x7F000001u; }

    // Same IPv4 address and port.
    bool operator==(const NetAddress& other) const { return addressNetworkOrder == other.addressNetworkOrder && portNetworkOrder == other.portNetworkOrder; }

    uint16_t family;
    uint16_t portNetworkOrder;
    uint32_t addressNetworkOrder;
    uint8_t zero[8];
};

static_assert(sizeof(NetAddress) == 16);
static_assert(std::endian::native == std::endian::little, "network order conversions assume a little-endian host");
