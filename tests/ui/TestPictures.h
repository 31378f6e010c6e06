#pragma once
// Stand-in pictures for screens under test: plain skins registered under the names the screens
// look up, and a "languageFlags" texture with one skin per flag. Owned by the holder.

#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Quad.h"
#include "media/Skin.h"
#include "media/Texture.h"

struct TestPictures {
    void addSkin(const char16_t* name, float w = 100, float h = 50) {
        auto* skin = new Skin();
        skin->width = w;
        skin->height = h;
        holder.addChild(skin);
        qel->pResourceManager->addResource(skin, name);
    }
    void addStandardPictures() {
        for (const char16_t* name : {u"intro:0", u"intro-bear:0", u"logo:0", u"logoHoliday:0", u"mvstudios:0", u"snowFlake:0"})
            addSkin(name);
    }
    // A 64 by 32 texture with n quad skins over the whole picture, registered under the name.
    Texture* addTexture(const char16_t* name, int n) {
        auto* texture = new Texture(64, 32, 0);
        while (int(texture->skins.size()) < n) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(0, 0, 32, 64);
            texture->addChild(quad);
            texture->skins.push_back(quad);
        }
        holder.addChild(texture);
        qel->pResourceManager->addResource(texture, name);
        return texture;
    }
    // The frame textures of menu items, dialogs and panels.
    void addFrameTextures() {
        for (const char16_t* name : {u"gui-game-editbox", u"gui-game-button", u"gui-game-button-speech"}) addTexture(name, 2);
        Texture* square = addTexture(u"gui-game-square", 1);
        qel->pResourceManager->addResource(square->skins[0], u"gui-game-square:0");
    }
    // Fifteen flag skins of 64 by 48 units.
    void addFlags() {
        auto* texture = new Texture(64, 64, 0);
        for (Skin* s : texture->skins) {
            s->width = 64;
            s->height = 48;
        }
        while (texture->skins.size() < 15) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->width = 64;
            quad->height = 48;
            texture->addChild(quad);
            texture->skins.push_back(quad);
        }
        holder.addChild(texture);
        qel->pResourceManager->addResource(texture, u"languageFlags");
    }

    QelBase holder;
};
