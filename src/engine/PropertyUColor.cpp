#include "engine/PropertyUColor.h"

#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(PropertyUColor, &Property::classRecord, nullptr)

PropertyUColor::PropertyUColor(WStringView n, int f, uint32_t* l) : Property(n, f), location(l) {}

void PropertyUColor::serializeValue(Packet& packet) { packet.doRawWord(location); }

WString PropertyUColor::toText() { return format(u"%08x", *location); }

void PropertyUColor::fromText(WStringView text) {
    uint32_t v;
    if (scanHex(text, v)) *location = v;
}
