#include "game/DepthManager.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "game/TrackObject.h"

DepthManager::~DepthManager() {
    for (TrackObject* object : objects) object->depthManager = nullptr;
    objects.clear();
}

void DepthManager::update(double, double) {
    auto farther = [](const TrackObject* a, const TrackObject* b) { return a->depth > b->depth; };
    // Nearly always sorted already; a level just loaded brings its objects in the file's order.
    if (std::is_sorted(objects.begin(), objects.end(), farther)) return;
    std::stable_sort(objects.begin(), objects.end(), farther);
}

void DepthManager::render() {
    for (size_t i = 0; i < objects.size(); ++i) objects[i]->renderAtDepth();
}

void DepthManager::addDepth(TrackObject* object) {
    objects.push_back(object);
    object->depthManager = this;
}

void DepthManager::removeDepth(TrackObject* object) {
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        if (*it != object) continue;
        objects.erase(it);
        object->depthManager = nullptr;
        return;
    }
    ErrorManager::fatal(u"DepthManager::removeDepth", "src\\DepthManager", 71, u"Request to remove depth not present in list.");
}
