#include "game/SpeechBubble.h"

#include "ui/FrameSkin.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"

SpeechBubble::SpeechBubble(float w, float h) {
    if (qel && qel->pResourceManager) {
        QelBase* source = qel->pResourceManager->find(true, u"speechBubble:0");
        pFrame = new FrameSkin(FrameSkin::sourceQuad(source, u"speechBubble:0"));
        pFrame->setRect(20, 20, 40, 50);
        pFrame->setSize(w, h);
        pSkin = pFrame;
        bOwnsSkin = true;
    }
    bSkipVisibility = true;
    updateXform();
}
