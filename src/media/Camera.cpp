#include "media/Camera.h"

#include <cmath>

#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "platform/D3DX9.h"

QEL_IMPLEMENT_CLASS(Camera, &QelBase::classRecord, QEL_FACTORY(Camera))

namespace {
QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }
}  // namespace

Camera::Camera() {
    QelGraphics* g = graphics();
    float layoutWidth = g ? float(g->layoutWidth) : 800.0f;
    position = Vector3(0.0f, 0.0f, -layoutWidth / 2.0f);
    aspect = g ? g->layoutAspect : 0.6f;
    update(0.0, 0.0);
}

void Camera::update(double, double) {
    QelGraphics* g = graphics();
    float layoutWidth = g ? float(g->layoutWidth) : 800.0f;
    float layoutHeight = g ? float(g->layoutHeight) : 480.0f;
    float zoom = (target.z - position.z) / (layoutWidth * 0.5f);
    float k = zoom > 1.0f ? 1.0f : zoom;
    float sx = g && g->viewportWidth > 0 ? layoutWidth / float(g->viewportWidth) : 1.0f;
    float sy = g && g->viewportHeight > 0 ? layoutHeight / float(g->viewportHeight) : 1.0f;
    Vector3 texel = g ? g->texelAlignment : Vector3(0.5f, -0.5f, 0.0f);
    float dx = texel.x * sx * k;
    float dy = texel.y * sy * k;
    if (bSnapToPixels) {
        eye = Vector3(std::trunc(position.x) + dx, std::trunc(position.y) + dy, position.z);
        lookAt = Vector3(std::trunc(target.x) + dx, std::trunc(target.y) + dy, target.z);
    } else {
        eye = Vector3(position.x + dx, position.y + dy, position.z);
        lookAt = Vector3(target.x + dx, target.y + dy, target.z);
    }
}

void Camera::render() {
    QelGraphics* g = graphics();
    if (!g || !g->dxDevice) return;
    D3DXMATRIX projection, view;
    D3DXMatrixPerspectiveLH(&projection, 2.0f, 2.0f * aspect, 1.0f, 1048576.0f);
    g->dxDevice->SetTransform(D3DTS_PROJECTION, &projection);
    D3DXVECTOR3 e(eye.x, eye.y, eye.z), at(lookAt.x, lookAt.y, lookAt.z), up(std::sin(roll), std::cos(roll), 0.0f);
    D3DXMatrixLookAtLH(&view, &e, &at, &up);
    g->dxDevice->SetTransform(D3DTS_VIEW, &view);
}

WorldRect Camera::getVisibleRect(float z) const {
    float d = z - position.z;
    return WorldRect{position.x - d, position.y + d * aspect, position.x + d, position.y - d * aspect};
}
