#include "engine/NetAddress.h"

#include <cstring>

#include "engine/Logger.h"
#include "platform/Sockets.h"

namespace {

uint16_t swap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
uint32_t swap32(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24); }

}  // namespace

NetAddress::NetAddress() : family(2), portNetworkOrder(swap16(defaultPort)), addressNetworkOrder(0), zero{} {}

uint16_t NetAddress::getPort() const { return swap16(portNetworkOrder); }
uint32_t NetAddress::getIPv4() const { return swap32(addressNetworkOrder); }
void NetAddress::setPort(uint16_t port) { portNetworkOrder = swap16(port); }
void NetAddress::setIPv4(uint32_t address) { addressNetworkOrder = swap32(address); }

bool NetAddress::setFromString(WStringView text) {
    int port = 0;
    const size_t colon = text.find(u':');
    if (colon != WStringView::npos) {
        int32_t value = 0;
        if (scanInt(text.substr(colon + 1), value)) port = value;
        text = text.substr(0, colon);
    }
    return setBoth(port, text);
}

bool NetAddress::setBoth(int port, WStringView host) {
    family = 2;
    portNetworkOrder = 0;
    addressNetworkOrder = 0;
    std::memset(zero, 0, sizeof(zero));
    uint32_t resolved = 0;
    if (host == u"localhost") {
        resolved = swap32(0x7F000001u);
    } else if (!platform::resolveHostIPv4(wideToUtf8(host), resolved)) {
        qelLog(u"NetAddress::setBoth", u"Could not resolve host '%s'.", host);
        return false;
    }
    addressNetworkOrder = resolved;
    setPort(static_cast<uint16_t>(port));
    return true;
}

WString NetAddress::toString() const {
    const uint32_t a = getIPv4();
    return format(u"%d.%d.%d.%d:%d", (a >> 24) & 0xFF, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF, getPort());
}
