#pragma once
// One datagram waiting in the emulated localhost queue: where it goes, where it came from and its
// bytes.

#include <cstdint>
#include <vector>

#include "engine/NetAddress.h"
#include "engine/QelBase.h"

class NetDatagram : public QelBase {
public:
    NetDatagram(const NetAddress& destination, const NetAddress& source, const void* data, int length);

    NetAddress destination;
    NetAddress source;
    std::vector<uint8_t> bytes;
};
