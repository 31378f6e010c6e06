#pragma once
// An engine object with a QelGraphics on a recording device: an 800 by 480 window whose viewport
// is the whole back buffer, so world units, layout pixels and back-buffer pixels coincide. The
// engine object is QelMedia (GraphicsFixture) or one of a floor above.

#include <gtest/gtest.h>

#include <memory>

#include "engine/Qel.h"
#include "media/QelMedia.h"
#include "media/QelGraphics.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

template <class Engine>
class GraphicsFixtureOn : public testing::Test {
protected:
    void SetUp() override {
        // The engine may build its graphics itself: it then finds these settings and gets a
        // recording device too.
        writeFileBytes(wideToUtf8(Qel::getConfigFilePath()), "[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = d3d = new RecordingDirect3D();
        engine = std::make_unique<Engine>();
        if (!engine->pQelGraphics) {
            engine->pQelGraphics = new QelGraphics(nullptr, engine->pConfig);
            bOwnGraphics = true;
        }
        graphics = engine->pQelGraphics;
        device = d3d->lastDevice;
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(graphics->backBufferWidth, 800);
        device->calls.clear();
        for (int& s : engine->frameStats) s = 0;
    }
    void TearDown() override {
        if (bOwnGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        engine.reset();
        QelGraphics::createDirect3D = &RecordingDirect3D::create;  // the test default
    }
    // For death tests: the static list of all objects would try to delete the list entries of
    // live objects when a fatal error exits the process.
    static void detachObjectListForExit() { Qel::objectList.firstChild = Qel::objectList.lastChild = nullptr; }
    int statistic(int s) const { return engine->frameStats[s]; }

    std::unique_ptr<Engine> engine;
    bool bOwnGraphics = false;
    RecordingDirect3D* d3d = nullptr;
    QelGraphics* graphics = nullptr;
    RecordingDevice* device = nullptr;
};

using GraphicsFixture = GraphicsFixtureOn<QelMedia>;
