#pragma once
// The engine on a test clock with the menu framework's class-wide state reset and the measuring
// font stand-in installed.

#include "FakeFont.h"
#include "app/ContextMenu.h"
#include "engine/EngineFixture.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"

class MenuTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        start();
        ContextMenu::menuNavigationMode = ContextMenu::NAV_POINTER;
        ContextMenu::menuNavigationModeFrame = -1;
        qel->frameCount = 100;
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
};
