#pragma once
// A 32-bit signed member: a signed varint, or with flag 0x40 an unsigned one; text "%d".

#include <cstdint>

#include "engine/Property.h"

class PropertyInt : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyInt(WStringView name, int flags, int32_t* location);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    void fromText(WStringView text) override;

    int32_t* location;
};
