#pragma once
// The engine on a test clock with the application object beside it and a screen stack, without
// the start-up that reads the data archives.

#include <string>
#include <vector>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "engine/EngineFixture.h"
#include "media/QelInput.h"
#include "runtime/QelRuntime.h"

class AppTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
        application = new GameGlobal();
        stack = application->pContextManager = new ContextManager();
    }
    void TearDown() override {
        delete application;
        application = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }
    // A key's state for the next tick: down now, and whether it was down the frame before.
    void setKey(int code, bool down, bool wasDown) {
        engine->pQelInput->keys[code] = down ? 0x80 : 0;
        engine->pQelInput->prevKeys[code] = wasDown ? 0x80 : 0;
    }
    void releaseKeys() {
        for (int i = 0; i < INPUT_KEY_COUNT; ++i) engine->pQelInput->keys[i] = engine->pQelInput->prevKeys[i] = 0;
    }
    void tick() { stack->tick(0, 0); }

    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
};

using Journal = std::vector<std::string>;

// A screen that writes what happens to it into a shared journal.
struct ProbeScreen : Context {
    ProbeScreen(std::vector<std::string>& journal, std::string name) : journal(journal), name(std::move(name)) {}
    ~ProbeScreen() override { journal.push_back(name + " deleted"); }
    void onActivate(bool first) override { journal.push_back(name + (first ? " activated first" : " activated")); }
    void onDeactivate(bool finished) override { journal.push_back(name + (finished ? " finished" : " covered")); }
    void tickContents(double total, double dt) override {
        ++ticks;
        if (onTick) onTick(*this);
    }
    std::vector<std::string>& journal;
    std::string name;
    int ticks = 0;
    void (*onTick)(ProbeScreen&) = nullptr;
};
