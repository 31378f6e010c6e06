#pragma once
// The D3DX matrix and vector functions the engine uses, with Direct3D's conventions: 4 by 4 float
// matrices for row vectors (a point is transformed as p * M), left-handed, translation in the
// fourth row.

#include "platform/D3D9.h"

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() = default;
    D3DXVECTOR3(float x_, float y_, float z_) {
        x = x_;
        y = y_;
        z = z_;
    }
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() = default;
    D3DXMATRIX(const D3DMATRIX& o) : D3DMATRIX(o) {}
    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
    bool operator==(const D3DXMATRIX& o) const;
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
// out = a * b; out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
// The inverse of m, or null (out untouched) when m is exactly singular. determinant may be null.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar);
// (x, y, z, 1) * m, divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// A texture made by the device (one level of A8R8G8B8 or X8R8G8B8 pixels).
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture);
