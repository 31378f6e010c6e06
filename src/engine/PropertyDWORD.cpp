#include "engine/PropertyDWORD.h"

#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(PropertyDWORD, &Property::classRecord, nullptr)

PropertyDWORD::PropertyDWORD(WStringView n, int f, uint32_t* l) : Property(n, f), location(l) {}

void PropertyDWORD::serializeValue(Packet& packet) { packet.doRawWord(location); }

WString PropertyDWORD::toText() { return format(u"%08x", *location); }

void PropertyDWORD::fromText(WStringView text) {
    uint32_t v;
    if (scanHex(text, v)) *location = v;
}
