#pragma once
// A 32-bit ARGB colour member, carried as a raw word; text "%08x".

#include <cstdint>

#include "engine/Property.h"

class PropertyUColor : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyUColor(WStringView name, int flags, uint32_t* location);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    void fromText(WStringView text) override;

    uint32_t* location;
};
