#include "game/TrackObject.h"

#include "game/DepthManager.h"
#include "game/LevelHost.h"

TrackObject::TrackObject() : TrackObject(LevelHost::current() ? LevelHost::current()->getDepthManager() : nullptr) {}

TrackObject::TrackObject(DepthManager* manager) {
    if (manager) manager->addDepth(this);
}

TrackObject::~TrackObject() {
    if (depthManager) depthManager->removeDepth(this);
}

void TrackObject::renderAtDepth() { Renderable::render(); }
