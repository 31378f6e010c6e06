#include "engine/ClassRecord.h"

#include "engine/ClassRegistry.h"

ClassRecord::ClassRecord(uint32_t id, const char16_t* name, ClassRecord* parent, Factory factory)
    : name(name), id(id), factory(factory), parent(parent == this ? nullptr : parent) {
    ClassRegistry& registry = ClassRegistry::get();
    next = registry.first;
    registry.first = this;
}

uint32_t ClassRecord::hashName(WStringView name) {
    uint32_t h = 0;
    for (char16_t c : name) h = h * 33u + c;
    return h;
}

bool ClassRecord::isKindOf(const ClassRecord* other) const {
    for (const ClassRecord* r = this; r; r = r->parent)
        if (r == other) return true;
    return false;
}
