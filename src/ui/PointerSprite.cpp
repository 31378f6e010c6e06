#include "ui/PointerSprite.h"

#include "media/Context.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/QelInput.h"
#include "media/Skin.h"
#include "media/Texture.h"

PointerSprite::PointerSprite() {
    if (qel && qel->pResourceManager) {
        pTexture = static_cast<Texture*>(qel->pResourceManager->find(false, u"mousePointer"));
        if (pTexture && !pTexture->skins.empty()) pSkin = pTexture->skins[0];
    }
}

void PointerSprite::update(double t, double dt) {
    if (qel && qel->pCurrentContext) {
        const float* p = qel->pCurrentContext->pointerWorldPos;
        position = Vector3(p[0], p[1], 0.0f);
    }
    updateXform();
    const bool bTouch = qel && qel->pQelInput && qel->pQelInput->inputMode == INPUTMODE_TOUCH;
    if (qel && qel->bDebugLocked) {
        color |= 0xFF000000u;
        bHidden = bTouch;
    } else {
        bHidden = false;
        color = (color & 0x00FFFFFFu) | (bTouch ? 0x40000000u : 0xFF000000u);
    }
}
