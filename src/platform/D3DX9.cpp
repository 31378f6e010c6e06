#include "platform/D3DX9.h"

#include <cmath>
#include <cstring>

bool D3DXMATRIX::operator==(const D3DXMATRIX& o) const { return std::memcmp(m, o.m, sizeof(m)) == 0; }

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX();
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    // Gauss-Jordan elimination with partial pivoting in double precision; only an exactly zero
    // pivot column (an exactly singular matrix) fails.
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m->m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    double det = 1.0;
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (a[pivot][c] == 0.0) return nullptr;
        if (pivot != c) {
            for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[c][j]);
            det = -det;
        }
        double p = a[c][c];
        det *= p;
        for (int j = 0; j < 8; ++j) a[c][j] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0.0) continue;
            double f = a[r][c];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[c][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out->m[i][j] = static_cast<float>(a[i][j + 4]);
    if (determinant) *determinant = static_cast<float>(det);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    D3DXMatrixIdentity(out);
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    float sy = std::sin(yaw), cy = std::cos(yaw);
    float sp = std::sin(pitch), cp = std::cos(pitch);
    float sr = std::sin(roll), cr = std::cos(roll);
    // Rz(roll) * Rx(pitch) * Ry(yaw) for row vectors.
    D3DXMatrixIdentity(out);
    out->m[0][0] = cr * cy + sr * sp * sy;
    out->m[0][1] = sr * cp;
    out->m[0][2] = -cr * sy + sr * sp * cy;
    out->m[1][0] = -sr * cy + cr * sp * sy;
    out->m[1][1] = cr * cp;
    out->m[1][2] = sr * sy + cr * sp * cy;
    out->m[2][0] = cp * sy;
    out->m[2][1] = -sp;
    out->m[2][2] = cp * cy;
    return out;
}

namespace {
D3DXVECTOR3 sub(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DXVECTOR3 cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3DXVECTOR3 normalize(const D3DXVECTOR3& v) {
    float l = std::sqrt(dot(v, v));
    if (l == 0.0f) return v;
    return {v.x / l, v.y / l, v.z / l};
}
}  // namespace

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up) {
    D3DXVECTOR3 zaxis = normalize(sub(*at, *eye));
    D3DXVECTOR3 xaxis = normalize(cross(*up, zaxis));
    D3DXVECTOR3 yaxis = cross(zaxis, xaxis);
    D3DXMatrixIdentity(out);
    out->m[0][0] = xaxis.x;
    out->m[1][0] = xaxis.y;
    out->m[2][0] = xaxis.z;
    out->m[0][1] = yaxis.x;
    out->m[1][1] = yaxis.y;
    out->m[2][1] = yaxis.z;
    out->m[0][2] = zaxis.x;
    out->m[1][2] = zaxis.y;
    out->m[2][2] = zaxis.z;
    out->m[3][0] = -dot(xaxis, *eye);
    out->m[3][1] = -dot(yaxis, *eye);
    out->m[3][2] = -dot(zaxis, *eye);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar) {
    *out = D3DXMATRIX();
    out->m[0][0] = 2.0f * zNear / width;
    out->m[1][1] = 2.0f * zNear / height;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = zNear * zFar / (zNear - zFar);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    float x = v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0] + m->m[3][0];
    float y = v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1] + m->m[3][1];
    float z = v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2] + m->m[3][2];
    float w = v->x * m->m[0][3] + v->y * m->m[1][3] + v->z * m->m[2][3] + m->m[3][3];
    if (w == 0.0f) w = 1.0f;
    *out = D3DXVECTOR3(x / w, y / w, z / w);
    return out;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture) {
    if (!device) return D3DERR_INVALIDCALL;
    return device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
}
