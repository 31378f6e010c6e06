#include "ui/GUItheme.h"

#include "ui/FrameSkin.h"
#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Quad.h"
#include "media/Texture.h"

void GUItheme::applyTexture(ThemedWidget* widget, const char16_t* textureName) {
    auto* texture = static_cast<Texture*>(qel->pResourceManager->find(true, textureName));
    for (FrameSkin*& f : widget->frames) {
        if (f) f->release();
        f = nullptr;
    }
    static const int order[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        const int skin = order[i];
        if (skin >= int(texture->skins.size()))
            QEL_FATAL(u"GUItheme::applyTexture", u"Texture '%s' has no skin %d.", WString(textureName), skin);
        auto* frame = new FrameSkin(FrameSkin::sourceQuad(texture->skins[size_t(skin)], textureName));
        frame->setRect(widget->margins[0], widget->margins[1], widget->margins[2], widget->margins[3]);
        widget->frames[i] = frame;
    }
}
