#pragma once
// A screen: a QelBase with its own clock (scaled, clamped, with an optional time limit), a camera,
// hooks updated before and after it (both drawn beneath its contents, the pre hook first), and the
// pointer projected into its world. While a context is updated or drawn, the engine object's
// pCurrentContext points at it.

#include <cstdint>

#include "engine/QelBase.h"

class Camera;

class Context : public QelBase {
    QEL_DECLARE_CLASS()
public:
    Context();
    ~Context() override;

    void update(double t, double dt) override;
    void render() override;

    void tick(double total, double dt) override { update(total, dt); }
    virtual void draw() { render(); }
    virtual void onActivate(bool bFirstActivation) {}
    virtual void onDeactivate(bool bFinished) {}
    virtual void tickContents(double total, double dt) { QelBase::update(total, dt); }
    virtual void renderContents() { QelBase::render(); }

    // The nearest Context at or above the object; fatal when there is none.
    static Context* findContext(QelBase* from);

    // Projects the pointer (layout pixels) onto the world plane z = 0 of the camera.
    void updatePointerPosition();
    // The projection itself: the visible rectangle's left and bottom at the camera's target depth,
    // the camera's z and the layout width give the world point of pixel (px, py).
    static void projectPointer(float rectLeft, float rectBottom, float cameraZ, float layoutWidth, float px, float py,
                               float out[3]);

    bool bDone = false;
    bool bDeleteWhenDone = false;
    bool bEscapeCloses = true;
    bool bAnyKeyCloses = false;
    bool bConfirmEscape = false;
    bool bShowPointer = true;
    bool bHideFrameRate = false;
    double timeLimit = 0.0;
    uint32_t clearColor = 0;
    QelBase* pPreHook = nullptr;
    QelBase* pPostHook = nullptr;
    QelBase* pPointerOverride = nullptr;
    double totalTime = 0.0;
    double deltaTime = 0.0;
    double timeScale = 1.0;
    float pointerWorldPos[3] = {};
    float prevPointerWorldPos[3] = {};
    float pointerWorldDelta[3] = {};
    // Owned; made by the constructor once the graphics layer provides Camera.
    Camera* pCamera = nullptr;
    bool bFirstActivation = true;
};
