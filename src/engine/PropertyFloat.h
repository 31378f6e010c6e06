#pragma once
// A float member: packed 16-bit with flag 4, else its raw 32-bit pattern.

#include <cstdint>

#include "engine/Property.h"

class PropertyFloat : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyFloat(WStringView name, int flags, float* location);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    void fromText(WStringView text) override;

    float* location;
};
