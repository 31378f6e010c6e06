#pragma once
// Game screens on the real screen stack: the recording graphics device, the measuring font
// stand-in, the application object with its screen stack, stand-in pictures under the names the
// game's screens look up, a traced sound (no audio) and a steppable frame time.

#include <string>
#include <utility>
#include <vector>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/MenuTestFixture.h"
#include "ui/AnimatedQuad.h"
#include "ui/FontAccess.h"
#include "ui/ProfileData.h"
#include "game/GameController.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "media/TouchPoint.h"

// The sounds the game asked for, with their pitch (0: the sound's random pitch).
struct SoundTrace {
    static inline std::vector<std::pair<std::u16string, float>> played;
    static void record(WStringView name, float pitch) { played.emplace_back(WString(name), pitch); }
    static int count(const char16_t* name) {
        int n = 0;
        for (const auto& p : played) n += p.first == name;
        return n;
    }
};

// Texts drawn through the font door, with where they were drawn.
struct DrawnText {
    WString text;
    float x, y;
    float scaleX;
    int flags;
    uint32_t colour;
};
struct TextTrace {
    static inline std::vector<DrawnText> drawn;
    static void record(FontQuad*, Renderable* r, int flags, WStringView text) {
        drawn.push_back({WString(text), r->worldXform.m[3][0], r->worldXform.m[3][1], r->worldXform.m[0][0], flags, r->color});
    }
    static const DrawnText* find(WStringView text) {
        for (const DrawnText& d : drawn)
            if (d.text == text) return &d;
        return nullptr;
    }
};

class GameScreenTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        addGamePictures();
        application = new GameGlobal();
        stack = application->pContextManager = new ContextManager();
        // Tests of one process share the user-data folder: every test starts a new game.
        profile().resetGame();
        profile().highestLevel() = 0;
        SoundTrace::played.clear();
        GameController::soundHook = &SoundTrace::record;
        TextTrace::drawn.clear();
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 0.0;
    }
    void TearDown() override {
        delete application;
        application = nullptr;
        GameController::soundHook = nullptr;
        FontAccess::drawHook = nullptr;
        FontAccess::shadowHook = nullptr;
        MenuTest::TearDown();
    }

    // A texture of w x h pixels with n quads over the whole picture, registered under the name and
    // its skins as "name:i".
    Texture* addSkins(const char16_t* name, int n, int w = 64, int h = 32) {
        auto* texture = new Texture(w, h, 0);
        while (int(texture->skins.size()) < n) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(0, 0, h, w);
            texture->addChild(quad);
            texture->skins.push_back(quad);
        }
        pictures->holder.addChild(texture);
        qel->pResourceManager->addResource(texture, name);
        for (int i = 0; i < n; ++i) qel->pResourceManager->addResource(texture->skins[size_t(i)], format(u"%s:%d", name, i));
        return texture;
    }
    void addGamePictures() {
        pictures->addSkin(u"HUDbar:0", 800, 32);
        addSkins(u"HUDicons", 2, 24, 24);
        addSkins(u"HUDprogress", 2, 160, 16);
        addSkins(u"launcher", 3, 64, 64);
        addSkins(u"chain", 1, 128, 16);
        addSkins(u"beam", 1, 256, 16);
        addSkins(u"mousePointer", 2, 32, 32);
        addSkins(u"speechArrow", 2, 32, 24);
        addSkins(u"speechBubble", 1, 256, 192);
        Texture* bear = addSkins(u"bear", 3, 200, 240);
        Texture* hand = addSkins(u"bearHand", 1, 48, 112);
        auto* bend = new AnimatedQuad();
        bend->bVertical = true;
        bend->addFrame(static_cast<Quad*>(hand->skins[0]));
        bend->setSegments(16);
        bend->rebuildVertices();
        bend->setAnchor(4);
        hand->addChild(bend);
        qel->pResourceManager->addResource(bend, u"bearHand:bend");
        (void)bear;
        addSkins(u"smoke", 8, 64, 64);
        addSkins(u"flare", 2, 32, 32);
        addSkins(u"heart", 9, 32, 32);
        addSkins(u"awardRibbon", 1, 128, 128);
        addSkins(u"awardStar", 1, 128, 128);
        addSkins(u"howToPlay", 3, 200, 80);
    }

    ProfileData& profile() { return application->profileManager.current(); }
    // The world point (x, y) as the input's pointer (layout pixels from the bottom left).
    void pointerAt(float x, float y) { input()->pointer = Vector3(x + 400.0f, y + 240.0f, 0.0f); }
    // One frame of the stack with an engine time step of dt.
    void step(double dt = 1.0 / 60.0) {
        engine->frameTimer.previousFrameTime = engine->frameTimer.frameTime;
        engine->frameTimer.frameTime += dt;
        stack->tick(0, dt);
    }
    // A press of the first touch point (a mouse click makes one) in the next frame, then its end.
    TouchPoint* press() {
        TouchPoint* t = addTouch(input()->pointer);
        t->bPressed = true;
        return t;
    }
    // A click at a world point: the pointer there, a press in the next frame, its release in the
    // one after.
    void clickAt(const Vector3& at) {
        pointerAt(at.x, at.y);
        step();
        TouchPoint* t = press();
        step();
        t->bPressed = false;
        t->bReleased = true;
        step();
        endTouches();
    }
    // Draw calls the device has recorded since its list was cleared.
    int draws() const {
        int n = 0;
        for (const std::string& call : device->calls) n += call.rfind("DrawPrimitive", 0) == 0;
        return n;
    }
    void endTouches() { input()->touchList.deleteChildren(); }
    void traceTexts() {
        TextTrace::drawn.clear();
        FontAccess::drawHook = &TextTrace::record;
        FontAccess::shadowHook = [](FontQuad* f, Renderable* r, int flags, const Vector3&, uint32_t, WStringView text) {
            TextTrace::record(f, r, flags, text);
        };
    }

    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
};
