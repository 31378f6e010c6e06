#pragma once
// The process-wide registry of class records, numbered by name at start-up.

#include <cstdint>
#include <vector>

class ClassRecord;

class ClassRegistry {
public:
    // The one registry, created on first use.
    static ClassRegistry& get();

    // Sorts the records by name and numbers them; a second call changes nothing.
    void assignClassIDs();

    ClassRecord* findByNumber(int classID) const;
    ClassRecord* findById(uint32_t id) const;
    ClassRecord* findByName(const char16_t* name) const;

    bool bBadClasses = false;
    std::vector<ClassRecord*> sorted;
    ClassRecord* first = nullptr;
};
