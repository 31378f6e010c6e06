// The D3DX matrix functions: Direct3D's row-vector, left-handed conventions and an inverse that
// fails only for an exactly singular matrix.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/D3DX9.h"

namespace {

D3DXVECTOR3 transform(const D3DXMATRIX& m, float x, float y, float z) {
    D3DXVECTOR3 in(x, y, z), out;
    D3DXVec3TransformCoord(&out, &in, &m);
    return out;
}

void expectNear(const D3DXVECTOR3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

TEST(D3DX9, YawPitchRollTurnTheAxesLeftHanded) {
    const float half = float(M_PI / 2);
    struct Case {
        float yaw, pitch, roll;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {half, 0, 0, {1, 0, 0}, {0, 0, -1}},  // yaw about y: x goes to -z
        {0, 0, half, {1, 0, 0}, {0, 1, 0}},   // roll about z: x goes to y
        {0, half, 0, {0, 1, 0}, {0, 0, 1}},   // pitch about x: y goes to z
        {half, half, 0, {0, 0, 1}, {0, -1, 0}},  // pitch first, then yaw
    };
    for (const Case& c : cases) {
        D3DXMATRIX m;
        D3DXMatrixRotationYawPitchRoll(&m, c.yaw, c.pitch, c.roll);
        expectNear(transform(m, c.in.x, c.in.y, c.in.z), c.out.x, c.out.y, c.out.z);
    }
}

TEST(D3DX9, MultiplyAppliesTheLeftMatrixFirst) {
    D3DXMATRIX s, t, m;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixTranslation(&t, 10, 20, 30);
    D3DXMatrixMultiply(&m, &s, &t);
    expectNear(transform(m, 1, 1, 1), 12, 23, 34);
    D3DXMatrixMultiply(&m, &t, &s);
    expectNear(transform(m, 1, 1, 1), 22, 63, 124);
}

TEST(D3DX9, InverseFailsOnlyForAnExactlySingularMatrix) {
    D3DXMATRIX m, inv, product, identity;
    D3DXMatrixIdentity(&identity);

    D3DXMatrixScaling(&m, 0, 1, 1);
    inv = identity;
    EXPECT_EQ(D3DXMatrixInverse(&inv, nullptr, &m), nullptr);
    EXPECT_TRUE(inv == identity);

    // A tiny but non-zero scale still inverts.
    D3DXMatrixScaling(&m, 1e-20f, 1, 1);
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_FLOAT_EQ(inv.m[0][0], 1e20f);
    EXPECT_FLOAT_EQ(det, 1e-20f);

    D3DXMATRIX r, t;
    D3DXMatrixRotationYawPitchRoll(&r, 0.3f, -1.1f, 2.0f);
    D3DXMatrixTranslation(&t, 5, -7, 9);
    D3DXMatrixMultiply(&m, &r, &t);
    ASSERT_NE(D3DXMatrixInverse(&inv, nullptr, &m), nullptr);
    D3DXMatrixMultiply(&product, &m, &inv);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(product.m[i][j], identity.m[i][j], 1e-5f);
}

TEST(D3DX9, CameraMatricesMapTheLayoutOntoTheScreen) {
    // An 800-unit layout seen from z = -400 with a 90-degree field: x = 400 at depth 0 is the right
    // edge of the picture, y = 240 its top edge.
    D3DXMATRIX view, projection, both;
    D3DXVECTOR3 eye(0, 0, -400), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveLH(&projection, 2.0f, 2.0f * 0.6f, 1.0f, 1048576.0f);
    D3DXMatrixMultiply(&both, &view, &projection);
    D3DXVECTOR3 corner = transform(both, 400, 240, 0);
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
    EXPECT_GT(corner.z, 0.0f);
    EXPECT_LT(corner.z, 1.0f);
    // Rolling the up vector to +x turns the picture: world +x now points up the screen.
    D3DXVECTOR3 rolled(1, 0, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &rolled);
    D3DXMatrixMultiply(&both, &view, &projection);
    D3DXVECTOR3 p = transform(both, 100, 0, 0);
    EXPECT_NEAR(p.x, 0.0f, 1e-5f);
    EXPECT_GT(p.y, 0.0f);
}

}  // namespace
