#pragma once
// A group of properties: serialises its children in order, leaving out those that the flags
// exclude; groups nest.

#include <cstdint>

#include "engine/Property.h"

class PropertyInt;
class PropertyDouble;
class PropertyDWORD;

class PropertyContainer : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyContainer(WStringView name, int flags);

    // Every child except those with flag 1 or 2, flag 0x200 while reading or 0x400 while writing.
    void serializeValue(Packet& packet) override;
    // "..." with children, "(empty)" without.
    WString toText() override;
    // "name(child,child,...)".
    WString describeText() override;
};

// Make a property with fixed flags (int 0, double 4, DWORD 0), append it to the group, return it.
PropertyInt* addPropertyInt(PropertyContainer* group, WStringView name, int32_t* location);
PropertyDouble* addPropertyDouble(PropertyContainer* group, WStringView name, double* location);
PropertyDWORD* addPropertyDWORD(PropertyContainer* group, WStringView name, uint32_t* location);
