#pragma once
// What the input service reads from the rest of the engine: the frame number, the engine clock,
// the debug lock, the settings, the layout size and the viewport rectangle of the graphics device,
// and the system cursor. The plain fields answer by default (an 800x480 layout shown in an 800x480
// viewport); the engine supplies a subclass that reads its own members.

#include "engine/MathUtil.h"

class MemoryIniFile;

class InputEnvironment {
public:
    virtual ~InputEnvironment() = default;

    virtual int getFrameCount() { return frameCount; }
    // The engine clock now, and its current minus its previous time.
    virtual double getTime() { return time; }
    virtual double getTimeStep() { return timeStep; }
    virtual bool isDebugLocked() { return bDebugLocked; }
    // The ".cfg" settings, or null (defaults are then used and nothing is written).
    virtual MemoryIniFile* getConfig() { return pConfig; }
    virtual float getLayoutWidth() { return layoutWidth; }
    virtual float getLayoutHeight() { return layoutHeight; }
    // Edges of the viewport rectangle in window client pixels (top < bottom on screen).
    virtual void getViewport(float& left, float& top, float& right, float& bottom) {
        left = viewportLeft;
        top = viewportTop;
        right = viewportRight;
        bottom = viewportBottom;
    }
    virtual void showCursor(bool visible);
    virtual void setCursorPos(int x, int y);

    int frameCount = 0;
    double time = 0.0;
    double timeStep = 0.0;
    bool bDebugLocked = true;
    MemoryIniFile* pConfig = nullptr;
    float layoutWidth = 800.0f;
    float layoutHeight = 480.0f;
    float viewportLeft = 0.0f, viewportTop = 0.0f, viewportRight = 800.0f, viewportBottom = 480.0f;

    // Used by the input service when none is given.
    static InputEnvironment& getDefault();
};
