#include "media/Context.h"

#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"

QEL_IMPLEMENT_CLASS(Context, &QelBase::classRecord, QEL_FACTORY(Context))

Context::Context() : pCamera(new Camera()) {}

Context::~Context() {
    delete pCamera;
    pCamera = nullptr;
}

void Context::update(double, double) {
    if (pPreHook) pPreHook->update(totalTime, deltaTime);
    Context* saved = qel ? qel->pCurrentContext : nullptr;
    if (qel) qel->pCurrentContext = this;

    // The engine's step (debug keys, then the clamp), then this context's time scale.
    const double step = qel ? qel->getFrameDelta() : 0.0;
    deltaTime = step * timeScale;
    totalTime += deltaTime;
    if (timeLimit != 0.0 && totalTime > timeLimit) bDone = true;

    if (pCamera) {
        pCamera->update(totalTime, deltaTime);
        updatePointerPosition();
    }
    tickContents(totalTime, deltaTime);
    if (pCamera) pCamera->postUpdate(totalTime, deltaTime);

    if (qel) qel->pCurrentContext = saved;
    if (pPostHook) pPostHook->update(totalTime, deltaTime);
}

void Context::render() {
    // Both hooks lie beneath the screen's own contents: the backdrop first, then what passes over
    // it (the falling snow), so that nothing of theirs covers a caption.
    if (pPreHook) pPreHook->render();
    if (pPostHook) pPostHook->render();
    Context* saved = qel ? qel->pCurrentContext : nullptr;
    if (qel) qel->pCurrentContext = this;
    IDirect3DDevice9* device = qel && qel->pQelGraphics ? qel->pQelGraphics->dxDevice : nullptr;
    if (device && clearColor != 0) device->Clear(0, nullptr, D3DCLEAR_TARGET, clearColor, 1.0f, 0);
    D3DMATRIX savedView{};
    if (device) device->GetTransform(D3DTS_VIEW, &savedView);
    if (pCamera) pCamera->render();
    renderContents();
    if (device) device->SetTransform(D3DTS_VIEW, &savedView);
    if (qel) qel->pCurrentContext = saved;
}

Context* Context::findContext(QelBase* from) {
    for (BasicLink* o = from; o; o = o->owner) {
        auto* object = static_cast<QelBase*>(o);
        if (object->isKindOf(&Context::classRecord)) return static_cast<Context*>(object);
    }
    QEL_FATAL(u"Context::findContext", u"Could not find any Context object.");
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
    if (pCamera && qel && qel->pQelInput) {
        const WorldRect rect = pCamera->getVisibleRect(pCamera->target.z);
        const float layoutWidth = qel->pQelGraphics ? static_cast<float>(qel->pQelGraphics->layoutWidth) : 800.0f;
        const Vector3& pointer = qel->pQelInput->pointer;
        projectPointer(rect.left, rect.bottom, pCamera->position.z, layoutWidth, pointer.x, pointer.y, pointerWorldPos);
    }
    for (int i = 0; i < 3; ++i) pointerWorldDelta[i] = pointerWorldPos[i] - prevPointerWorldPos[i];
}
