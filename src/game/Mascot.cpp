#include "game/Mascot.h"

#include <cmath>

#include "ui/AnimatedQuad.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "media/QelGraphics.h"
#include "media/Renderable.h"
#include "media/Skin.h"

namespace {
constexpr float kHandRoll = 3.337942361831665f;

Skin* findSkin(const char16_t* name) {
    return qel && qel->pResourceManager ? static_cast<Skin*>(qel->pResourceManager->find(true, name)) : nullptr;
}

Renderable* sprite(const char16_t* skin, float x, float y) {
    auto* r = new Renderable();
    r->pSkin = findSkin(skin);
    r->position = Vector3(x, y, 0.0f);
    r->bSkipVisibility = true;
    r->updateXform();
    return r;
}
}  // namespace

Mascot::Mascot() {
    const float w = qel && qel->pQelGraphics ? float(qel->pQelGraphics->layoutWidth) : 800.0f;
    const float h = qel && qel->pQelGraphics ? float(qel->pQelGraphics->layoutHeight) : 480.0f;
    pHand = sprite(u"bearHand:bend", w / 2.0f - 75.0f, 55.0f - h / 2.0f);
    pHand->rotation.z = kHandRoll;
    pHand->updateXform();
    addChild(pHand);
    pBody = sprite(u"bear:0", 0.0f, 60.0f);
    addChild(pBody);
    pEyes = sprite(u"bear:1", 0.0f, 60.0f);
    addChild(pEyes);
    gotoState(EYES_OPEN);
}

void Mascot::update(double t, double dt) {
    if (auto* hand = dynamic_cast<AnimatedQuad*>(pHand->pSkin)) {
        hand->setTarget(0.5f * std::sin(4.0f * float(t)));
        pHand->updateXform();
    }
    QelBase::update(t, dt);
}

void Mascot::onStateChange() {
    if (state == EYES_OPEN) {
        pEyes->pSkin = findSkin(u"bear:1");
        gotoState(EYES_CLOSED, 0.2 + 1.8 * double(randomUnit()));
    } else if (state == EYES_CLOSED) {
        pEyes->pSkin = findSkin(u"bear:2");
        gotoState(EYES_OPEN, 0.1);
    }
}
