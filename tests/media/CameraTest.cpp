// Camera: visible rectangles, the pixel-aligned eye and the transforms it sets.

#include <gtest/gtest.h>

#include <cmath>

#include "media/Camera.h"
#include "platform/D3DX9.h"
#include "support/GraphicsFixture.h"

namespace {

using CameraTest = GraphicsFixture;

TEST_F(CameraTest, VisibleRectangleGrowsWithDepth) {
    Camera camera;
    struct Case {
        float z;
        WorldRect rect;
    };
    const Case cases[] = {{0, {-400, 240, 400, -240}}, {400, {-800, 480, 800, -480}}, {-400, {-0, 0, 0, -0}}};
    for (const Case& c : cases) {
        WorldRect r = camera.getVisibleRect(c.z);
        EXPECT_FLOAT_EQ(r.left, c.rect.left);
        EXPECT_FLOAT_EQ(r.top, c.rect.top);
        EXPECT_FLOAT_EQ(r.right, c.rect.right);
        EXPECT_FLOAT_EQ(r.bottom, c.rect.bottom);
    }
    camera.position = Vector3(100, 50, -800);
    WorldRect behind = camera.getVisibleRect(-900);
    EXPECT_GT(behind.left, behind.right);
}

TEST_F(CameraTest, EyeIsSnappedTowardZeroAndOffsetByTheTexelAlignment) {
    Camera camera;
    EXPECT_FLOAT_EQ(camera.eye.x, 0.5f);
    EXPECT_FLOAT_EQ(camera.eye.y, -0.5f);
    EXPECT_FLOAT_EQ(camera.eye.z, -400.0f);
    EXPECT_FLOAT_EQ(camera.lookAt.x, 0.5f);
    EXPECT_FLOAT_EQ(camera.lookAt.z, 0.0f);
    struct Case {
        float x;
        bool snap;
        float eyeX;
    };
    for (const Case& c : {Case{10.7f, true, 10.5f}, Case{-10.7f, true, -9.5f}, Case{10.7f, false, 11.2f}}) {
        camera.position.x = c.x;
        camera.bSnapToPixels = c.snap;
        camera.update(0, 0);
        EXPECT_FLOAT_EQ(camera.eye.x, c.eyeX) << c.x;
    }
    // Half way to the target the offset is halved.
    camera.position = Vector3(0, 0, -200);
    camera.update(0, 0);
    EXPECT_FLOAT_EQ(camera.eye.x, 0.25f);
}

TEST_F(CameraTest, RenderSetsProjectionAndARolledView) {
    Camera camera;
    camera.roll = float(M_PI / 2);
    camera.update(0, 0);
    camera.render();
    EXPECT_EQ(device->calls, (std::vector<std::string>{"SetTransform 3", "SetTransform 2"}));
    EXPECT_FLOAT_EQ(device->projection.m[1][1], 1.0f / 0.6f);
    D3DXMATRIX view(device->view);
    D3DXVECTOR3 in(100.5f, -0.5f, 0), out;
    D3DXVec3TransformCoord(&out, &in, &view);
    EXPECT_NEAR(out.x, 0.0f, 1e-3f);
    EXPECT_GT(out.y, 99.0f);
}

}  // namespace
