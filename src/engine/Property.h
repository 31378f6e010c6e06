#pragma once
// A named member of another object with its type and flags; moves the member's value into and out
// of a Packet or a text. Properties are short-lived: made by describe for one serialisation,
// owned by their group and deleted with the tree. They hold raw locations inside the described
// object, so a tree must not outlive it.

#include "engine/QelBase.h"
#include "engine/Text.h"

class Packet;

class Property : public QelBase {
    QEL_DECLARE_CLASS()
public:
    enum : int {
        FLAG_SKIP_REGISTERED_ONLY = 0x1,  // left out of groups; nothing in PACKET_REGISTERED_ONLY packets
        FLAG_SKIP_RAW_POINTERS = 0x2,     // left out of groups; nothing in PACKET_RAW_POINTERS packets
        FLAG_PACKED_FLOAT = 0x4,
        FLAG_RESOURCE = 0x20,
        FLAG_UNSIGNED = 0x40,
        FLAG_RAW_POINTER = 0x100,
        FLAG_WRITE_ONLY = 0x200,
        FLAG_READ_ONLY = 0x400,
    };

    Property(WStringView name, int flags);

    void netSerialize(Packet& packet) override;
    // Transfers the member in the packet's direction.
    virtual void serializeValue(Packet& packet) {}
    virtual WString toText() { return WString(); }
    // Changes the member only when the text yields a value.
    virtual void fromText(WStringView text) {}
    // "name:value".
    virtual WString describeText();

    // "%.9lf" with trailing zeros removed, keeping one digit after the point (1.5, 2.0).
    static WString numberText(double value);

    int flags;
    WString name;
};
