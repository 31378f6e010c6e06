#pragma once
// A double member, carried as a float: packed 16-bit with flag 4, else a raw 32-bit float. The
// member is left at float precision in both directions.

#include <cstdint>

#include "engine/Property.h"

class PropertyDouble : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyDouble(WStringView name, int flags, double* location);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    void fromText(WStringView text) override;

    double* location;
};
