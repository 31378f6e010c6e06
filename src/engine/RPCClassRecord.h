#pragma once
// The class record of a replicated call class: besides the common record it carries the factory
// that makes an empty call of the class, so that a receiver can build a call from the class
// number it reads. (Calls are not BasicLinks, so the common record's factory cannot make them.)

#include "engine/ClassRecord.h"

class RPC;

class RPCClassRecord : public ClassRecord {
public:
    using CallFactory = RPC* (*)();

    RPCClassRecord(uint32_t id, const char16_t* name, ClassRecord* parent, CallFactory callFactory)
        : ClassRecord(id, name, parent, nullptr), callFactory(callFactory) {}

    CallFactory callFactory;
};

// Declares the record and getClass() of a call class inside its body.
#define QEL_DECLARE_RPC()                       \
public:                                         \
    static RPCClassRecord classRecord;          \
    ClassRecord* getClass() const override;     \
                                                \
private:

// Defines the record of a call class with a fixed id; its name is "_" and the id's eight hex digits.
#define QEL_IMPLEMENT_RPC_FIXED(Class, fixedId, nameText)                                              \
    static_assert(sizeof(nameText) == 10 * sizeof(char16_t));                                          \
    RPCClassRecord Class::classRecord(fixedId, nameText, &RPC::classRecord, +[]() -> RPC* { return new Class(); }); \
    ClassRecord* Class::getClass() const { return &Class::classRecord; }
