#pragma once
// The screen stack: the root context the engine ticks and draws each frame. Every screen is a
// child; the last child is the front screen, and only it is ticked and drawn. The stack pops
// finished screens, tells screens when they come to the front or leave it, handles escape (with an
// optional quit confirmation) and the skip keys, draws the pointer sprite and the iris curtain,
// and raises bQuit once no screen is left.

#include <cstdint>

#include "media/Context.h"

class PointerSprite;
class IrisCurtain;

class ContextManager : public Context {
    QEL_DECLARE_CLASS()
public:
    ContextManager();
    ~ContextManager() override;

    // Clears the screen's bDone and appends it; it becomes the front screen at the next tick.
    void pushContext(Context* context);
    // The front screen (the last child), or null.
    Context* getTopContext() const;

    // Only the front screen is asked, so nothing beneath a dialog takes the pointer.
    QelBase* findObjectUnderPointer(int& skip) override;
    void tickContents(double total, double dt) override;
    void renderContents() override;

    // Replaces the quit confirmation (tests set it): a two-button question (YES, NO) that writes 0
    // or 1 to *pResult, laid out and ready to push. Unset: the message box "Are you sure?".
    static inline Context* (*createConfirmation)(int* pResult) = nullptr;

    bool bQuit = false;
    Context* pPointerLayer = nullptr;
    PointerSprite* pPointerSprite = nullptr;
    Context* pCurtainLayer = nullptr;
    IrisCurtain* pCurtain = nullptr;
    Context* pLastActive = nullptr;
    Context* pTop = nullptr;
    float shownFrameRate = 0.0f;
    double nextFrameRateUpdate = 0.0;
    int confirmResult = -1;
    // The frame of the last change of front screen (drawn with the new screen in front), until the
    // first tick of a later frame purges the textures that frame did not draw (-1: none waiting).
    int32_t frontChangeFrame = -1;

private:
    void pop(Context* context);
    void handleKeys();
};
