#pragma once
// The registry of named resources: maps names to objects and back. It never owns the objects.

#include <unordered_map>

#include "engine/ClassRecord.h"
#include "engine/Text.h"

class QelBase;

class ResourceManager {
    QEL_DECLARE_ROOT_CLASS()
public:
    ResourceManager();
    virtual ~ResourceManager();

    // A name already registered is a fatal assertion.
    void addResource(QelBase* resource, WStringView name);
    // The object registered under the name; null when none, or with bReportMissing the fatal
    // report "Could not find resource '%s'.".
    QelBase* find(bool bReportMissing, WStringView name);
    // The name under which the object is registered, empty when it is not.
    WString getName(const QelBase* resource) const;

    std::unordered_map<WString, QelBase*> map;
    std::unordered_map<const QelBase*, WString> reverseMap;
    int count = 0;
};
