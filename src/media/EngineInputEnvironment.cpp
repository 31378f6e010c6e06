#include "media/EngineInputEnvironment.h"

#include "engine/Qel.h"
#include "engine/TimeKeeper.h"
#include "media/QelGraphics.h"

int EngineInputEnvironment::getFrameCount() { return qel ? qel->frameCount : frameCount; }

double EngineInputEnvironment::getTime() { return qel && qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : time; }

double EngineInputEnvironment::getTimeStep() { return qel ? qel->frameTimer.frameTime - qel->frameTimer.previousFrameTime : timeStep; }

bool EngineInputEnvironment::isDebugLocked() { return qel ? qel->bDebugLocked : bDebugLocked; }

MemoryIniFile* EngineInputEnvironment::getConfig() { return qel ? qel->pConfig : pConfig; }

namespace {
QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }
}  // namespace

float EngineInputEnvironment::getLayoutWidth() { return graphics() ? static_cast<float>(graphics()->layoutWidth) : layoutWidth; }

float EngineInputEnvironment::getLayoutHeight() { return graphics() ? static_cast<float>(graphics()->layoutHeight) : layoutHeight; }

void EngineInputEnvironment::getViewport(float& left, float& top, float& right, float& bottom) {
    if (!graphics()) {
        InputEnvironment::getViewport(left, top, right, bottom);
        return;
    }
    const QelGraphics::ViewportRect& v = graphics()->viewport;
    left = static_cast<float>(v.left);
    top = static_cast<float>(v.top);
    right = static_cast<float>(v.right);
    bottom = static_cast<float>(v.bottom);
}
