#pragma once
// An engine with graphics on the recording device, the menu framework's class-wide state reset,
// stand-in frame textures and the measuring font stand-in.

#include <memory>

#include "FakeFont.h"
#include "TestPictures.h"
#include "runtime/QelRuntime.h"
#include "ui/ContextMenu.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"
#include "support/GraphicsFixture.h"

class MenuTest : public GraphicsFixtureOn<QelRuntime> {
protected:
    void SetUp() override {
        GraphicsFixtureOn<QelRuntime>::SetUp();
        ContextMenu::menuNavigationMode = ContextMenu::NAV_POINTER;
        ContextMenu::menuNavigationModeFrame = -1;
        qel->frameCount = 100;
        pictures = std::make_unique<TestPictures>();
        pictures->addFrameTextures();
    }
    void TearDown() override {
        qel->pCurrentContext = nullptr;
        input()->touchList.deleteChildren();
        pictures.reset();
        GraphicsFixtureOn<QelRuntime>::TearDown();
    }
    QelInput* input() { return qel->pQelInput; }
    // The next frame's key states: the previous ones move to prevKeys.
    void keys(std::initializer_list<int> down) {
        std::copy(std::begin(input()->keys), std::end(input()->keys), std::begin(input()->prevKeys));
        std::fill(std::begin(input()->keys), std::end(input()->keys), 0);
        for (int code : down) input()->keys[code] = 0x80;
        qel->frameCount += 1;
    }
    int touchCount() { return input()->touchList.countChildren(); }
    TouchPoint* addTouch(const Vector3& at) {
        auto* t = new TouchPoint(input());
        t->layoutStart = t->layoutPos = at;
        input()->touchList.addChild(t);
        return t;
    }

    FakeFont font;
    std::unique_ptr<TestPictures> pictures;
};
