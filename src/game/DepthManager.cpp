#include "game/DepthManager.h"

#include "engine/ErrorManager.h"
#include "game/TrackObject.h"

DepthManager::~DepthManager() {
    for (TrackObject* object : objects) object->depthManager = nullptr;
    objects.clear();
}

void DepthManager::update(double, double) {
    const size_t n = objects.size();
    if (n < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < n; ++i) {
            if (objects[i + 1]->depth > objects[i]->depth) {
                std::swap(objects[i], objects[i + 1]);
                swapped = true;
            }
        }
    }
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
