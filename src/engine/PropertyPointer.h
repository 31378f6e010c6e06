#pragma once
// A pointer member: by flags a raw pointer (0x100, through doPointer), a resource name (0x20) or
// an object reference (doPointer2). Its text is the resource name, else the address, else "NULL".

#include "engine/Property.h"

class PropertyPointer : public Property {
    QEL_DECLARE_CLASS()
public:
    PropertyPointer(WStringView name, int flags, QelBase** location, ClassRecord* pointsTo);

    void serializeValue(Packet& packet) override;
    WString toText() override;
    // A text naming a registered resource points the member at it; any other text changes nothing.
    void fromText(WStringView text) override;
    // "name:ClassUID" when set, "name:NULL" when not.
    WString describeText() override;
    virtual void setPointer(QelBase* value);

    QelBase** location;
    ClassRecord* pointsTo;
};
