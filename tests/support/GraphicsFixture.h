#pragma once
// An engine object with a QelGraphics on a recording device: an 800 by 480 window whose viewport
// is the whole back buffer, so world units, layout pixels and back-buffer pixels coincide.

#include <gtest/gtest.h>

#include <memory>

#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/GraphicsEngineLink.h"
#include "media/QelGraphics.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

class GraphicsFixture : public testing::Test {
protected:
    void SetUp() override {
        config = std::make_unique<MemoryIniFile>(folder.wfile("test.cfg"));
        config->setBool(false, u"QelGraphics", u"bFullScreen");
        config->setInt(800, u"QelGraphics", u"videoModeWidth");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = d3d = new RecordingDirect3D();
        engine = std::make_unique<Qel>();
        engine->pQelGraphics = graphics = new QelGraphics(nullptr, config.get());
        device = d3d->lastDevice;
        device->calls.clear();
        for (int& s : GraphicsEngineLink::defaultStatistics) s = 0;
    }
    void TearDown() override {
        delete engine->pQelGraphics;
        engine->pQelGraphics = nullptr;
        engine.reset();
        QelGraphics::createDirect3D = &Direct3DCreate9;
        GraphicsEngineLink::defaultDebugLevel = 0;
        GraphicsEngineLink::defaultDebugLocked = true;
    }
    // For death tests: the static list of all objects would try to delete the list entries of
    // live objects when a fatal error exits the process.
    static void detachObjectListForExit() { Qel::objectList.firstChild = Qel::objectList.lastChild = nullptr; }
    static int statistic(FrameStatistic s) { return GraphicsEngineLink::defaultStatistics[s]; }

    TestFolder folder{"graphics"};
    std::unique_ptr<MemoryIniFile> config;
    std::unique_ptr<Qel> engine;
    RecordingDirect3D* d3d = nullptr;
    QelGraphics* graphics = nullptr;
    RecordingDevice* device = nullptr;
};
