// Renderable without a skin: transforms, bounds, visibility, hit tests, colour states, counters
// and the debug overlays, on the recording device.

#include <gtest/gtest.h>

#include <cmath>

#include "media/Context.h"
#include "media/Camera.h"
#include "media/PointerDispatcher.h"
#include "media/Renderable.h"
#include "support/GraphicsFixture.h"

namespace {

class RenderableTest : public GraphicsFixture {
protected:
    void TearDown() override {
        engine->pCurrentContext = nullptr;
        if (context) {
            delete context->pCamera;
            context->pCamera = nullptr;
            delete context;
        }
        GraphicsFixture::TearDown();
    }
    // A context with a default camera, being drawn.
    void drawInContext() {
        context = new Context();
        context->pCamera = new Camera();
        engine->pCurrentContext = context;
    }
    Context* context = nullptr;
};

void expectNear(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

TEST_F(RenderableTest, DefaultRenderableDrawsNothingAndIsNeverHit) {
    Renderable r;
    r.bHasInvXform = true;
    r.updateXform();
    r.render();
    EXPECT_TRUE(device->callsStartingWith("DrawPrimitive").empty());
    EXPECT_FALSE(r.isUnderPointer());
}

TEST_F(RenderableTest, PlainTransformIsBasePlusPositionTimesParent) {
    Renderable r;
    D3DXMATRIX base, parent;
    D3DXMatrixScaling(&base, 2, 2, 2);
    D3DXMatrixTranslation(&parent, 100, 0, 0);
    r.position = Vector3(1, 2, 3);
    r.setBaseXform(base);
    r.setParentXform(parent);
    expectNear(r.local2world(Vector3(1, 1, 1)), 2 + 1 + 100, 2 + 2, 2 + 3);
    expectNear(r.boundsCenter, 101, 2, 3);
    EXPECT_EQ(r.boundsRadius, 0.0f);
}

TEST_F(RenderableTest, RotationsTurnTheLocalAxes) {
    const float half = float(M_PI / 2);
    struct Case {
        Vector3 rotation;
        Vector3 x;
    };
    for (const Case& c : {Case{{0, half, 0}, {0, 0, -1}}, Case{{0, 0, half}, {0, 1, 0}}}) {
        Renderable r;
        r.rotation = c.rotation;
        r.updateXform();
        expectNear(r.local2world(Vector3(1, 0, 0)), c.x.x, c.x.y, c.x.z);
    }
}

TEST_F(RenderableTest, ScaleRotatePostScaleThenMove) {
    Renderable r;
    r.scale = Vector3(2, 1, 1);
    r.rotation = Vector3(0, 0, float(M_PI / 2));
    r.postScale = Vector3(1, 3, 1);
    r.position = Vector3(10, 0, 0);
    r.bHasInvXform = true;
    r.updateXform();
    expectNear(r.local2world(Vector3(1, 0, 0)), 10, 6, 0);
    expectNear(r.world2local(Vector3(10, 6, 0)), 1, 0, 0);
}

TEST_F(RenderableTest, ScaleModesFollowThePresentation) {
    graphics->presentationScale = Vector3(0.5f, 0.25f, 1.0f);
    graphics->viewportAspect = 0.3f;  // layoutAspect 0.6: y doubled in mode 1
    Renderable r;
    r.scale = Vector3(2, 2, 1);
    r.scaleMode = 2;
    r.updateXform();
    expectNear(r.local2world(Vector3(1, 1, 0)), 1.0f, 0.5f, 0);
    r.scaleMode = 1;
    r.updateXform();
    expectNear(r.local2world(Vector3(1, 1, 0)), 2.0f, 4.0f, 0);
}

TEST_F(RenderableTest, ZeroScaleWithAnInverseDoesNotEndTheProgram) {
    Renderable r;
    r.bHasInvXform = true;
    r.setScaleXY(0.0f);
    EXPECT_FALSE(r.bInvXformValid);
    EXPECT_FALSE(r.isUnderPointer());
    EXPECT_FALSE(r.isPointInsideSkin(Vector3()));
    r.setScaleXY(1.0f);
    EXPECT_TRUE(r.bInvXformValid);
    EXPECT_EQ(statistic(Qel::STAT_INVERSE_XFORMS), 2);
}

TEST_F(RenderableTest, SetCopiesOnlyWhatIsGivenAndUpdatesOnce) {
    Renderable r;
    r.rotation = Vector3(0, 0, 1);
    Vector3 p(5, 6, 7);
    r.set(nullptr, &p, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(r.position, p);
    EXPECT_EQ(r.rotation, Vector3(0, 0, 1));
    EXPECT_EQ(r.scale, Vector3(1, 1, 1));
    EXPECT_EQ(statistic(Qel::STAT_XFORM_UPDATES), 1);
    EXPECT_EQ(r.xformFrame, 0);
}

TEST_F(RenderableTest, VisibilityKeepsACircleTouchingTheEdge) {
    drawInContext();  // the camera sees x -400..400, y -240..240 at depth 0
    struct Case {
        float cx, cy, r;
        bool visible;
    };
    const Case cases[] = {{-410, 0, 10, true},  {-410.5f, 0, 10, false}, {410, 0, 10, true}, {411, 0, 10, false},
                          {0, 250, 10, true},   {0, 251, 10, false},     {0, -250, 10, true}, {0, -251, 10, false},
                          {0, 0, 0, true}};
    Renderable r;
    for (const Case& c : cases) {
        r.boundsCenter = Vector3(c.cx, c.cy, 0);
        r.boundsRadius = c.r;
        r.updateVisibility();
        EXPECT_EQ(r.bVisible, c.visible) << c.cx << "," << c.cy;
    }
    r.bSkipVisibility = true;
    r.updateVisibility();
    EXPECT_TRUE(r.bVisible);
}

TEST_F(RenderableTest, RenderCountsAndSkipsInvisibleOnes) {
    drawInContext();
    Renderable on, off, hidden;
    off.position = Vector3(1000, 0, 0);
    hidden.bHidden = true;
    for (Renderable* r : {&on, &off, &hidden}) {
        r->updateXform();
        r->render();
    }
    EXPECT_EQ(statistic(Qel::STAT_RENDERABLES_CONSIDERED), 2);
    EXPECT_EQ(statistic(Qel::STAT_RENDERABLES_DRAWN), 1);
    EXPECT_EQ(device->callsStartingWith("SetTransform 256").size(), 1u);
}

TEST_F(RenderableTest, BoundsAndCollisionsAreStrict) {
    Renderable a, b;
    a.updateXform();
    b.updateXform();
    a.boundsRadius = 10;
    b.boundsRadius = 5;
    b.boundsCenter = Vector3(15, 0, 0);
    EXPECT_FALSE(a.isPointInsideBounds(Vector3(10, 0, 0), 1.0f));
    EXPECT_TRUE(a.isPointInsideBounds(Vector3(9.99f, 0, 0), 1.0f));
    EXPECT_TRUE(a.isPointInsideBounds(Vector3(15, 0, 0), 2.0f));
    a.collisionSensitivity = 0.5f;
    EXPECT_FALSE(a.isPointInsideCollisionBounds(Vector3(6, 0, 0)));
    EXPECT_TRUE(a.isPointInsideCollisionBounds(Vector3(4, 0, 0)));
    a.collisionSensitivity = 1.0f;
    EXPECT_FALSE(a.collide(&b));  // touching only
    b.boundsCenter.x = 14.9f;
    EXPECT_TRUE(a.collide(&b));
    a.collisionSensitivity = b.collisionSensitivity = 0.0f;
    b.boundsCenter = a.boundsCenter;
    EXPECT_FALSE(a.collide(&b));
    EXPECT_EQ(statistic(Qel::STAT_COLLISIONS), 3);
}

TEST_F(RenderableTest, RefusedTestsAreFatal) {
    Renderable r;
    r.bSkipVisibility = true;
    auto die = [](auto action) {
        detachObjectListForExit();
        action();
    };
    EXPECT_EXIT(die([&] { r.isPointInsideBounds(Vector3(), 1); }), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(die([&] { r.isPointInsideCollisionBounds(Vector3()); }), testing::ExitedWithCode(255), "");
    Renderable other;
    EXPECT_EXIT(die([&] { other.collide(&r); }), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(die([&] { other.world2local(Vector3()); }), testing::ExitedWithCode(255), "");
}

TEST_F(RenderableTest, ColourStatesSelectOrModulate) {
    struct Case {
        uint32_t color;
        DWORD colorOp, alphaOp;
    };
    const Case cases[] = {{0xFFFFFFFF, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1},
                          {0x80FFFFFF, D3DTOP_SELECTARG1, D3DTOP_MODULATE},
                          {0xFFFF0000, D3DTOP_MODULATE, D3DTOP_SELECTARG1},
                          {0x00FFFEFF, D3DTOP_MODULATE, D3DTOP_MODULATE}};
    Renderable r;
    for (const Case& c : cases) {
        r.color = c.color;
        r.setColorStates();
        EXPECT_EQ(device->stage0[D3DTSS_COLOROP], c.colorOp) << std::hex << c.color;
        EXPECT_EQ(device->stage0[D3DTSS_ALPHAOP], c.alphaOp) << std::hex << c.color;
    }
    device->calls.clear();
    graphics->bScreenshotPass = true;
    r.setColorStates();
    EXPECT_TRUE(device->calls.empty());
}

TEST(RenderableColour, ScaleColorRGBKeepsAlpha) {
    EXPECT_EQ(Renderable::scaleColorRGB(0x80FF8040, 0.5f), 0x807F4020u);
    EXPECT_EQ(Renderable::scaleColorRGB(0xFFFFFFFF, 0.0f), 0xFF000000u);
    EXPECT_EQ(Renderable::scaleColorRGB(0x12345678, 1.0f), 0x12345678u);
}

TEST_F(RenderableTest, DebugOverlaysDrawLineListsAndRestoreTheBits) {
    drawInContext();
    Renderable r;
    r.updateXform();
    engine->bDebugLocked = false;
    engine->debugLevel = 0x20;
    engine->pPointerDispatcher->hoverLink.set(&r);
    r.render();
    EXPECT_EQ(device->callsStartingWith("DrawPrimitive"),
              (std::vector<std::string>{"DrawPrimitive 2 0 32", "DrawPrimitive 2 0 36"}));
    EXPECT_EQ(engine->debugLevel, 0x20);
}

}  // namespace

#include "engine/Packet.h"
#include "engine/PropertyContainer.h"

namespace {

TEST_F(RenderableTest, PropertiesTravelInPacketsAndUpdateTheTransform) {
    Renderable a;
    a.position = Vector3(1.5f, -2, 3);
    a.rotation = Vector3(0, 0, 0.25f);
    a.scale = Vector3(2, 2, 1);
    a.color = 0x80123456;
    a.collisionSensitivity = 0.5f;
    a.postScale = Vector3(3, 3, 3);  // not described: stays behind
    PropertyContainer* tree = a.createPropertyTree();
    std::vector<WString> names;
    for (BasicLink* c = tree->firstChild; c; c = c->next) names.push_back(static_cast<Property*>(c)->name);
    EXPECT_EQ(names, (std::vector<WString>{u"objectUID", u"StateBase", u"collisionSensitivity", u"position", u"rotation",
                                            u"scale", u"color", u"pSkin"}));
    delete tree;

    Packet packet(0, 1024);
    a.netSerialize(packet);
    packet.rewindToRead();
    Renderable b;
    b.netSerialize(packet);
    EXPECT_EQ(b.position, a.position);
    EXPECT_EQ(b.rotation, a.rotation);
    EXPECT_EQ(b.scale, a.scale);
    EXPECT_EQ(b.color, a.color);
    EXPECT_EQ(b.collisionSensitivity, 0.5f);
    EXPECT_EQ(b.postScale, Vector3(1, 1, 1));
    EXPECT_NEAR(b.local2world(Vector3()).x, 1.5f, 1e-5f);
}

}  // namespace
