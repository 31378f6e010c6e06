#include "engine/NetDatagram.h"

NetDatagram::NetDatagram(const NetAddress& destination, const NetAddress& source, const void* data, int length)
    : destination(destination), source(source) {
    if (data && length > 0) bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
}
