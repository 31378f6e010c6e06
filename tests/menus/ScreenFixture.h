#pragma once
// Front-end screens on the real screen stack with the application object beside it: the recording
// graphics device, stand-in pictures, the measuring font stand-in, a stepped frame of 1/60 s and
// a recorder of every line of text drawn.

#include <cstdio>
#include <string>
#include <vector>

#include "ui/ContextManager.h"
#include "ui/ContextMenu.h"
#include "menus/MenuApplication.h"
#include "ui/MenuTestFixture.h"
#include "engine/Logger.h"
#include "media/Renderable.h"
#include "support/TestFolder.h"

// One line of text as it was handed to a font.
struct DrawnText {
    WString text;
    float x;
    float y;
    uint32_t colour;
    int flags;
    FontQuad* font;
};

class ScreenTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        pictures->addStandardPictures();
        // The engine starts in touch input; the screens are checked with a mouse unless a test
        // switches.
        input()->setInputMode(INPUTMODE_MOUSE);
        // Each test starts from empty user data, and with the pointer in a corner, away from
        // every item.
        for (const WString& path : {ProfileManager::getProfilesPath(),
                                    ProfileManager::getProfilesFolder() + GameConfiguration::getConfigurationFileName()})
            std::remove(wideToUtf8(path).c_str());
        input()->pointer = Vector3(1.0f, 1.0f, 0.0f);
        application = new MenuApplication();
        stack = application->pContextManager = new ContextManager();
        qel->frameTimer.previousFrameTime = 0.0;
        qel->frameTimer.frameTime = 1.0 / 60.0;
        drawn().clear();
        FontAccess::drawHook = [](FontQuad* font, Renderable* r, int flags, WStringView text) {
            drawn().push_back(DrawnText{WString(text), r->position.x, r->position.y, r->color, flags, font});
        };
    }
    void TearDown() override {
        FontAccess::drawHook = nullptr;
        delete application;
        application = nullptr;
        MenuTest::TearDown();
    }
    void tick() { stack->tick(0, 0); }
    void push(Context* screen) {
        stack->pushContext(screen);
        tick();
    }
    template <class T>
    T* top() {
        return dynamic_cast<T*>(stack->getTopContext());
    }
    // The pointer over a world point of a screen.
    void pointAt(Context* screen, float x, float y) {
        input()->pointer = ContextMenu::worldToPointer(screen, Vector3(x, y, 0.0f));
    }
    // A press at the pointer for the next tick.
    TouchPoint* press() {
        TouchPoint* t = addTouch(input()->pointer);
        t->bPressed = true;
        return t;
    }
    // A tap on a button at a world point of the front screen: down in one tick, up in the next.
    void tap(float x, float y) {
        pointAt(stack->getTopContext(), x, y);
        TouchPoint* t = press();
        tick();
        t->bPressed = false;
        t->bReleased = true;
        tick();
        input()->touchList.deleteChildren();
    }
    // Draws the front screen, recording its texts.
    std::vector<DrawnText>& draw() {
        drawn().clear();
        stack->draw();
        return drawn();
    }
    static std::vector<DrawnText>& drawn() {
        static std::vector<DrawnText> texts;
        return texts;
    }
    static const DrawnText* find(const std::vector<DrawnText>& texts, WStringView text) {
        for (const DrawnText& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
    static std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }

    MenuApplication* application = nullptr;
    ContextManager* stack = nullptr;
};
