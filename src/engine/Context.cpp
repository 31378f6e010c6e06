#include "engine/Context.h"

#include "engine/Qel.h"

QEL_IMPLEMENT_CLASS(Context, &QelBase::classRecord, QEL_FACTORY(Context))

// The camera joins with the graphics layer: the constructor makes 'new Camera()', the destructor
// deletes it, update() calls pCamera->update (totalTime, deltaTime), updatePointerPosition() and,
// after the contents, pCamera->postUpdate (totalTime, deltaTime); render() calls pCamera->render().

Context::Context() = default;

Context::~Context() = default;

void Context::update(double, double) {
    if (pPreHook) pPreHook->update(totalTime, deltaTime);
    Context* saved = qel ? qel->pCurrentContext : nullptr;
    if (qel) qel->pCurrentContext = this;

    // The engine's step (debug keys, then the clamp), then this context's time scale.
    const double step = qel ? qel->getFrameDelta() : 0.0;
    deltaTime = step * timeScale;
    totalTime += deltaTime;
    if (timeLimit != 0.0 && totalTime > timeLimit) bDone = true;

    if (pCamera) updatePointerPosition();
    tickContents(totalTime, deltaTime);

    if (qel) qel->pCurrentContext = saved;
    if (pPostHook) pPostHook->update(totalTime, deltaTime);
}

void Context::render() {
    if (pPreHook) pPreHook->render();
    Context* saved = qel ? qel->pCurrentContext : nullptr;
    if (qel) qel->pCurrentContext = this;
    // With graphics: the clear with clearColor (when not 0), saving the view transform and the
    // camera's render go here.
    renderContents();
    // With graphics: the saved view transform is restored here.
    if (qel) qel->pCurrentContext = saved;
    if (pPostHook) pPostHook->render();
}

void Context::projectPointer(float rectLeft, float rectBottom, float cameraZ, float layoutWidth, float px, float py,
                             float out[3]) {
    const float s = layoutWidth > 0 ? (0.0f - cameraZ) / (layoutWidth / 2.0f) : 1.0f;
    out[0] = rectLeft + px * s;
    out[1] = rectBottom + py * s;
    out[2] = 0.0f;
}

void Context::updatePointerPosition() {
    for (int i = 0; i < 3; ++i) prevPointerWorldPos[i] = pointerWorldPos[i];
    // With the camera and input: the visible rectangle at the target's depth, the camera's z,
    // the layout width and the pointer in layout pixels feed projectPointer into
    // pointerWorldPos.
    for (int i = 0; i < 3; ++i) pointerWorldDelta[i] = pointerWorldPos[i] - prevPointerWorldPos[i];
}
