#pragma once
// An unsigned 32-bit member, carried as a raw word; text "%08x".

#include <cstdint>

#include "engine/Property.h"

class PropertyDWORD : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyDWORD(WStringView name, int flags, uint32_t* location);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    void fromText(WStringView text) override;

    uint32_t* location;
};
