#include "engine/ClassRegistry.h"

#include <utility>

#include "engine/ClassRecord.h"

ClassRegistry& ClassRegistry::get() {
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::assignClassIDs() {
    if (!sorted.empty()) return;
    for (ClassRecord* r = first; r; r = r->next) sorted.push_back(r);
    // Selection sort by name; equal names are always compared, so duplicates are always found.
    for (size_t p = 0; p + 1 < sorted.size(); ++p) {
        size_t m = p;
        for (size_t i = p + 1; i < sorted.size(); ++i) {
            if (sorted[i]->name == sorted[m]->name) bBadClasses = true;
            if (sorted[i]->name < sorted[m]->name) m = i;
        }
        std::swap(sorted[p], sorted[m]);
    }
    for (size_t i = 0; i < sorted.size(); ++i) sorted[i]->classID = static_cast<int>(i);
}

ClassRecord* ClassRegistry::findByNumber(int classID) const {
    if (classID < 0 || static_cast<size_t>(classID) >= sorted.size()) return nullptr;
    return sorted[static_cast<size_t>(classID)];
}

ClassRecord* ClassRegistry::findById(uint32_t id) const {
    for (ClassRecord* r = first; r; r = r->next)
        if (r->id == id) return r;
    return nullptr;
}

ClassRecord* ClassRegistry::findByName(const char16_t* name) const {
    for (ClassRecord* r = first; r; r = r->next)
        if (r->name == name) return r;
    return nullptr;
}
