#pragma once
// Small helpers of the game tests: a stand-in for the game that hosts a level, and the "ladder"
// picture that every track's band needs, on the engine made by EngineTest.

#include <vector>

#include "engine/EngineFixture.h"
#include "engine/ResourceManager.h"
#include "game/DepthManager.h"
#include "game/LevelHost.h"
#include "media/Texture.h"

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
class TrackTestBase : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        start();
        ladder = new Texture(64, 32, 0);
        engine->pResourceManager->addResource(ladder, u"ladder");
        host = new StubHost();
    }
    void TearDown() override {
        delete host;
        host = nullptr;
        delete ladder;
        ladder = nullptr;
        EngineTest::TearDown();
    }
    Texture* ladder = nullptr;
    StubHost* host = nullptr;
};
