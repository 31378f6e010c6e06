#include "media/EngineInputEnvironment.h"

#include "engine/Qel.h"
#include "engine/TimeKeeper.h"

int EngineInputEnvironment::getFrameCount() { return qel ? qel->frameCount : frameCount; }

double EngineInputEnvironment::getTime() { return qel && qel->pTimeKeeper ? qel->pTimeKeeper->getTime() : time; }

double EngineInputEnvironment::getTimeStep() { return qel ? qel->frameTimer.frameTime - qel->frameTimer.previousFrameTime : timeStep; }

bool EngineInputEnvironment::isDebugLocked() { return qel ? qel->bDebugLocked : bDebugLocked; }

MemoryIniFile* EngineInputEnvironment::getConfig() { return qel ? qel->pConfig : pConfig; }
