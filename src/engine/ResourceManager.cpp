#include "engine/ResourceManager.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"

QEL_IMPLEMENT_CLASS(ResourceManager, nullptr, nullptr)

ResourceManager::ResourceManager() { qelLog(u"ResourceManager::ResourceManager", u"Starting..."); }

ResourceManager::~ResourceManager() {
    qelLog(u"ResourceManager::~ResourceManager", u"Destroying %d resources.", count);
    map.clear();
    reverseMap.clear();
}

void ResourceManager::addResource(QelBase* resource, WStringView name) {
    const WString key(name);
    QEL_ASSERT(u"ResourceManager::addResource", map.find(key) == map.end());
    map.emplace(key, resource);
    reverseMap[resource] = key;
    ++count;
}

QelBase* ResourceManager::find(bool bReportMissing, WStringView name) {
    const auto it = map.find(WString(name));
    if (it != map.end()) return it->second;
    if (bReportMissing) ErrorManager::error(u"Could not find resource '%s'.", name);
    return nullptr;
}

WString ResourceManager::getName(const QelBase* resource) const {
    const auto it = reverseMap.find(resource);
    return it == reverseMap.end() ? WString() : it->second;
}
