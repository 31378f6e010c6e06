#include "engine/PropertyFloat.h"

#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(PropertyFloat, &Property::classRecord, nullptr)

PropertyFloat::PropertyFloat(WStringView n, int f, float* l) : Property(n, f), location(l) {}

void PropertyFloat::serializeValue(Packet& packet) {
    if (flags & FLAG_PACKED_FLOAT)
        packet.doFloat(location);
    else
        packet.doRawWord(location);
}

WString PropertyFloat::toText() { return numberText(*location); }

void PropertyFloat::fromText(WStringView text) {
    double v;
    if (scanDouble(text, v)) *location = static_cast<float>(v);
}
