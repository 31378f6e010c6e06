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
    if (port < 0 || port > 0xFFFF) {
        family = 2;
        portNetworkOrder = 0;
        addressNetworkOrder = 0;
        std::memset(zero, 0, sizeof(zero));
        return false;
    }
    return setBoth(port, text);
}

bool NetAddress::setFromDottedText(WStringView text) {
    auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    // Five decimal numbers separated by '.', '.', '.', ':'; each 1..5 digits, bounded below.
    const char16_t separators[4] = {u'.', u'.', u'.', u':'};
    uint32_t numbers[5] = {};
    size_t pos = 0;
    for (int i = 0; i < 5; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separators[i - 1]) return false;
            ++pos;
        }
        const size_t start = pos;
        uint32_t value = 0;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9' && pos - start < 5) {
            value = value * 10 + static_cast<uint32_t>(text[pos] - u'0');
            ++pos;
        }
        if (pos == start || value > (i < 4 ? 255u : 65535u)) return false;
        numbers[i] = value;
    }
    if (pos != text.size()) return false;
    family = 2;
    std::memset(zero, 0, sizeof(zero));
    setIPv4((numbers[0] << 24) | (numbers[1] << 16) | (numbers[2] << 8) | numbers[3]);
    setPort(static_cast<uint16_t>(numbers[4]));
    return true;
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
