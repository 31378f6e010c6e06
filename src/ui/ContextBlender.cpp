#include "ui/ContextBlender.h"

#include "ui/GlidingCamera.h"

QEL_IMPLEMENT_CLASS(ContextBlender, &Context::classRecord, QEL_FACTORY(ContextBlender))

ContextBlender::ContextBlender() {
    delete pCamera;
    pCamera = new GlidingCamera();
}

ContextBlender::~ContextBlender() {
    delete pCamera;
    pCamera = nullptr;
}

GlidingCamera* ContextBlender::getGlidingCamera() const { return static_cast<GlidingCamera*>(pCamera); }
