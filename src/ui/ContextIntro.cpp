#include "ui/ContextIntro.h"

#include "ui/AppLink.h"
#include "ui/CameraWaypoint.h"
#include "ui/GlidingCamera.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/Renderable.h"

namespace {
float cameraZ() { return -float(qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800) / 2.0f; }

Renderable* picture(const char16_t* skin) {
    auto* r = new Renderable();
    r->pSkin = AppLink::findSkin(skin);
    r->updateXform();
    return r;
}
}  // namespace

ContextIntro::ContextIntro() {
    addChild(picture(u"intro:0"));
    addChild(picture(u"intro-bear:0"));
}

void ContextIntro::addCameraMove(float y, double duration) {
    getGlidingCamera()->addWaypoint(0.0f, y, cameraZ(), duration);
}

void ContextIntro::jumpTo(float y) { getGlidingCamera()->jumpTo(0.0f, y, cameraZ()); }
