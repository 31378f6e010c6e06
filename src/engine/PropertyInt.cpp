#include "engine/PropertyInt.h"

#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(PropertyInt, &Property::classRecord, nullptr)

PropertyInt::PropertyInt(WStringView n, int f, int32_t* l) : Property(n, f), location(l) {}

void PropertyInt::serializeValue(Packet& packet) {
    if (flags & FLAG_UNSIGNED) {
        uint32_t v = static_cast<uint32_t>(*location);
        packet.doUInt(&v);
        *location = static_cast<int32_t>(v);
    } else {
        packet.doInt(location);
    }
}

WString PropertyInt::toText() { return format(u"%d", *location); }

void PropertyInt::fromText(WStringView text) {
    int32_t v;
    if (scanInt(text, v)) *location = v;
}
