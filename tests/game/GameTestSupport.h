#pragma once
// Small helpers of the game tests: a stand-in for the game that hosts a level, and the pictures
// that tracks and the cars on them need ("ladder" for the band, "car", "dock" and
// "placementIcons"), on the engine made by EngineTestOn<QelRuntime>. Sounds are traced, not played.

#include <vector>

#include "engine/EngineFixture.h"
#include "engine/ResourceManager.h"
#include "engine/Text.h"
#include "game/DepthManager.h"
#include "game/GameController.h"
#include "game/LevelHost.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "runtime/QelRuntime.h"

// A level host that records the trains asked for and lends its depth manager.
class StubHost : public LevelHost {
public:
    StubHost() { setCurrent(this); }
    ~StubHost() override = default;
    DepthManager* getDepthManager() override { return &depthManager; }
    float getSprintFraction() const override { return sprintFraction; }
    float getRefillFraction() const override { return refillFraction; }
    void addTrain(Track* track) override { requests.push_back(track); }

    DepthManager depthManager;
    float sprintFraction = 0.35f;
    float refillFraction = 0.75f;
    std::vector<Track*> requests;
};

// The engine with a plain "ladder" picture registered and a stand-in host.
class TrackTestBase : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
        ladder = new Texture(64, 32, 0);
        engine->pResourceManager->addResource(ladder, u"ladder");
        // The five car frames (engine, the three wagons, the coupling), as wide as the real ones.
        addSkins(u"car", {72, 56, 88, 120, 24}, 40);
        addSkins(u"dock", {36, 36, 36, 36, 36, 36, 36, 36, 36}, 36);
        addSkins(u"placementIcons", {24, 24}, 24);
        GameController::soundHook = [](WStringView, float) {};
        host = new StubHost();
    }
    void TearDown() override {
        delete host;
        host = nullptr;
        GameController::soundHook = nullptr;
        for (Texture* texture : pictures) delete texture;
        pictures.clear();
        delete ladder;
        ladder = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }
    // A picture registered under the name with one skin per width, each "name:i".
    void addSkins(const char16_t* name, std::vector<int> widths, int height) {
        auto* texture = new Texture(128, 128, 0);
        for (int w : widths) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(0, 0, height, w);
            texture->addChild(quad);
            texture->skins.push_back(quad);
        }
        engine->pResourceManager->addResource(texture, name);
        for (size_t i = 0; i < widths.size(); ++i) engine->pResourceManager->addResource(texture->skins[i], format(u"%s:%d", name, int(i)));
        pictures.push_back(texture);
    }
    Texture* ladder = nullptr;
    std::vector<Texture*> pictures;
    StubHost* host = nullptr;
};
