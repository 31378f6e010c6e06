#include "engine/PropertyDouble.h"

#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(PropertyDouble, &Property::classRecord, nullptr)

PropertyDouble::PropertyDouble(WStringView n, int f, double* l) : Property(n, f), location(l) {}

void PropertyDouble::serializeValue(Packet& packet) {
    float value = static_cast<float>(*location);
    if (flags & FLAG_PACKED_FLOAT)
        packet.doFloat(&value);
    else
        packet.doRawWord(&value);
    *location = value;
}

WString PropertyDouble::toText() { return numberText(*location); }

void PropertyDouble::fromText(WStringView text) {
    double v;
    if (scanDouble(text, v)) *location = v;
}
