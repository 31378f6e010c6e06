#include "game/MouseCursor.h"

#include "media/Context.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/QelInput.h"
#include "media/Texture.h"

MouseCursor::MouseCursor(Context* layer) : pLayer(layer) {
    if (qel && qel->pResourceManager) {
        auto* texture = static_cast<Texture*>(qel->pResourceManager->find(true, u"mousePointer"));
        if (texture->skins.size() > 1) pSkin = texture->skins[1];
    }
    bSkipVisibility = true;
    updateXform();
}

void MouseCursor::update(double t, double dt) {
    if (pLayer) position = Vector3(pLayer->pointerWorldPos[0], pLayer->pointerWorldPos[1], 0.0f);
    bHidden = qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_TOUCH;
    updateXform();
    Renderable::update(t, dt);
}
