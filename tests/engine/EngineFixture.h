#pragma once
// A fixture that builds an engine object on a steppable test clock, with the mode hooks reset: the
// engine core (EngineTest), or one of the engine objects of the floors above.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/TimeKeeper.h"
#include "platform/TestClock.h"
#include "support/TestFolder.h"

template <class Engine>
class EngineTestOn : public testing::Test {
protected:
    void SetUp() override { platform::Clock::setCurrent(&clock); }
    void TearDown() override {
        stop();
        Qel::deviceTestHook = nullptr;
        Qel::restorePresentationHook = nullptr;
        Qel::keyDownHook = nullptr;
        platform::Clock::setCurrent(nullptr);
    }
    Engine* start() { return engine = new Engine(); }
    void stop() {
        delete engine;
        engine = nullptr;
    }
    static std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }
    static std::string configText() { return readFileBytes(wideToUtf8(Qel::getConfigFilePath())); }
    static void writeConfig(const std::string& text) { writeFileBytes(wideToUtf8(Qel::getConfigFilePath()), text); }

    platform::TestClock clock;
    Engine* engine = nullptr;
};

using EngineTest = EngineTestOn<Qel>;

// Position of 'needle' in 'text' after 'from'; npos when missing.
inline size_t findAfter(const std::string& text, const std::string& needle, size_t from = 0) {
    return from == std::string::npos ? std::string::npos : text.find(needle, from);
}
