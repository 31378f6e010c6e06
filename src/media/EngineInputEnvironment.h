#pragma once
// What the input service reads from the running engine: its frame count, clock, debug lock and
// settings (and, once graphics exist, the layout and viewport of the device).

#include "media/InputEnvironment.h"

class EngineInputEnvironment : public InputEnvironment {
public:
    int getFrameCount() override;
    double getTime() override;
    double getTimeStep() override;
    bool isDebugLocked() override;
    MemoryIniFile* getConfig() override;
    float getLayoutWidth() override;
    float getLayoutHeight() override;
    void getViewport(float& left, float& top, float& right, float& bottom) override;
};
