#pragma once
// One record per registered class: its name, id, parent, factory and number.

#include <cstdint>

#include "engine/Text.h"

class BasicLink;

class ClassRecord {
public:
    using Factory = BasicLink* (*)();

    // Joins the registry list at its front. A parent equal to the record itself means a root.
    ClassRecord(uint32_t id, const char16_t* name, ClassRecord* parent, Factory factory);
    virtual ~ClassRecord() = default;

    // The hash of a class name: h = h * 33 + c over its UTF-16 units, from 0, wrapping.
    static uint32_t hashName(WStringView name);

    // True when this class is 'other' or derives from it.
    bool isKindOf(const ClassRecord* other) const;

    WString name;
    uint32_t id;
    int classID = -1;
    Factory factory;
    ClassRecord* next = nullptr;
    ClassRecord* parent;
};

// Declares the class record and getClass() of a registered class inside its body.
#define QEL_DECLARE_CLASS()                     \
public:                                         \
    static ClassRecord classRecord;             \
    ClassRecord* getClass() const override;     \
                                                \
private:

// The same for a root class, whose getClass() is the first virtual operation.
#define QEL_DECLARE_ROOT_CLASS()                \
public:                                         \
    static ClassRecord classRecord;             \
    virtual ClassRecord* getClass() const;      \
                                                \
private:

// Defines the record of a class registered under its own name (the id is the hash of the name).
// parentRecord is a pointer to the parent's record, or nullptr for a root class.
#define QEL_IMPLEMENT_CLASS(Class, parentRecord, factory)                                          \
    ClassRecord Class::classRecord(ClassRecord::hashName(u## #Class), u## #Class, parentRecord, factory); \
    ClassRecord* Class::getClass() const { return &Class::classRecord; }

// Defines the record of a class with a fixed id; its name is "_" and the id's eight hex digits.
#define QEL_IMPLEMENT_CLASS_FIXED(Class, fixedId, nameText, parentRecord, factory) \
    static_assert(sizeof(nameText) == 10 * sizeof(char16_t));                       \
    ClassRecord Class::classRecord(fixedId, nameText, parentRecord, factory);        \
    ClassRecord* Class::getClass() const { return &Class::classRecord; }

// A factory that makes a new object of the class.
#define QEL_FACTORY(Class) (+[]() -> BasicLink* { return new Class(); })
