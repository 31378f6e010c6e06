#include "media/Renderable.h"

#include <cmath>

#include "engine/ErrorManager.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyFloat.h"
#include "engine/PropertyPointer.h"
#include "engine/PropertyUColor.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/Context.h"
#include "media/PointerDispatcher.h"
#include "media/QelGraphics.h"
#include "media/Skin.h"
#include "media/TextTrace.h"
#include "media/VertexBuffer.h"

QEL_IMPLEMENT_CLASS(Renderable, &QelBase::classRecord, QEL_FACTORY(Renderable))

namespace {

QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }
void countStat(int statistic, int amount = 1) {
    if (qel) qel->frameStats[statistic] += amount;
}

bool differsFromOne(const Vector3& v) { return !(v.x == 1.0f) || !(v.y == 1.0f) || !(v.z == 1.0f); }

Vector3 transformCoord(const Vector3& p, const D3DXMATRIX& m) {
    D3DXVECTOR3 in(p.x, p.y, p.z), out;
    D3DXVec3TransformCoord(&out, &in, &m);
    return Vector3(out.x, out.y, out.z);
}

float squaredDistance(const Vector3& a, const Vector3& b) {
    Vector3 d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

}  // namespace

Renderable::Renderable() {
    D3DXMatrixIdentity(&worldXform);
    D3DXMatrixIdentity(&invXform);
    D3DXMatrixIdentity(&baseXform);
    D3DXMatrixIdentity(&parentXform);
}

Renderable::~Renderable() {
    if (bOwnsSkin && pSkin) {
        pSkin->release();
        pSkin = nullptr;
    }
}

void Renderable::describe(PropertyContainer* group) {
    QelBase::describe(group);
    group->addChild(new PropertyFloat(u"collisionSensitivity", 0, &collisionSensitivity));
    auto addVector = [group](const char16_t* name, Vector3& v) {
        auto* container = new PropertyContainer(name, 0);
        group->addChild(container);
        container->addChild(new PropertyFloat(u"x", 0, &v.x));
        container->addChild(new PropertyFloat(u"y", 0, &v.y));
        container->addChild(new PropertyFloat(u"z", 0, &v.z));
    };
    addVector(u"position", position);
    addVector(u"rotation", rotation);
    addVector(u"scale", scale);
    group->addChild(new PropertyUColor(u"color", 0, &color));
    if (!bOwnsSkin)
        group->addChild(new PropertyPointer(u"pSkin", Property::FLAG_RESOURCE, reinterpret_cast<QelBase**>(&pSkin), &Skin::classRecord));
}

void Renderable::netSerialize(Packet& packet) {
    QelBase::netSerialize(packet);
    if (!packet.bWriting) updateXform();
}

void Renderable::set(Skin* skin, const Vector3* newPosition, const Vector3* newRotation, const Vector3* newScale, const void*,
                     const D3DXMATRIX* newParentXform) {
    if (skin) pSkin = skin;
    if (newPosition) position = *newPosition;
    if (newRotation) rotation = *newRotation;
    if (newScale) scale = *newScale;
    if (newParentXform) parentXform = *newParentXform;
    updateXform();
}

uint32_t Renderable::scaleColorRGB(uint32_t c, float factor) {
    auto channel = [&](int shift) { return (uint32_t(int64_t(float((c >> shift) & 0xFF) * factor)) & 0xFF) << shift; };
    return (c & 0xFF000000u) | channel(16) | channel(8) | channel(0);
}

void Renderable::updateXform() {
    countStat(Qel::STAT_XFORM_UPDATES);
    xformFrame = qel ? qel->frameCount : 0;
    calcXform();
    calcBounds();
}

D3DXMATRIX& Renderable::applyLocalXform(D3DXMATRIX& m) {
    QelGraphics* g = graphics();
    D3DXMATRIX s;
    if (scaleMode == 2) {
        Vector3 p = g ? g->presentationScale : Vector3(1.0f, 1.0f, 1.0f);
        D3DXMatrixScaling(&s, scale.x * p.x, scale.y * p.y, scale.z * p.z);
        D3DXMatrixMultiply(&m, &m, &s);
    } else if (scaleMode == 1) {
        float r = g && g->viewportAspect != 0.0f ? g->layoutAspect / g->viewportAspect : 1.0f;
        D3DXMatrixScaling(&s, scale.x, scale.y * r, scale.z);
        D3DXMatrixMultiply(&m, &m, &s);
    } else if (differsFromOne(scale)) {
        D3DXMatrixScaling(&s, scale.x, scale.y, scale.z);
        D3DXMatrixMultiply(&m, &m, &s);
    }
    if (rotation.x != 0.0f || rotation.y != 0.0f || rotation.z != 0.0f) {
        D3DXMATRIX r;
        D3DXMatrixRotationYawPitchRoll(&r, rotation.y, rotation.x, rotation.z);
        D3DXMatrixMultiply(&m, &m, &r);
    }
    if (differsFromOne(postScale)) {
        D3DXMatrixScaling(&s, postScale.x, postScale.y, postScale.z);
        D3DXMatrixMultiply(&m, &m, &s);
    }
    m.m[3][0] += position.x;
    m.m[3][1] += position.y;
    m.m[3][2] += position.z;
    return m;
}

void Renderable::calcXform() {
    worldXform = baseXform;
    if (pSkin) pSkin->applyAnchor(worldXform);
    applyLocalXform(worldXform);
    D3DXMatrixMultiply(&worldXform, &worldXform, &parentXform);
    if (bHasInvXform) {
        countStat(Qel::STAT_INVERSE_XFORMS);
        // A renderable scaled to nothing has no inverse; it stays alive and simply cannot be hit.
        bInvXformValid = D3DXMatrixInverse(&invXform, nullptr, &worldXform) != nullptr;
    }
}

void Renderable::calcBounds() {
    if (bSkipVisibility) return;
    if (pSkin) {
        boundsCenter = transformCoord(pSkin->center, worldXform);
        Vector3 corner = transformCoord(pSkin->getCorner(), worldXform);
        boundsRadius = Vector3::distance(boundsCenter, corner);
        return;
    }
    boundsCenter = transformCoord(Vector3(), worldXform);
    boundsRadius = 0.0f;
}

void Renderable::updateVisibility() {
    if (bSkipVisibility) {
        bVisible = true;
        return;
    }
    Camera* camera = qel && qel->pCurrentContext ? qel->pCurrentContext->pCamera : nullptr;
    if (!camera) {
        bVisible = true;
        return;
    }
    WorldRect rect = camera->getVisibleRect(boundsCenter.z);
    const Vector3& c = boundsCenter;
    float r = boundsRadius;
    bVisible = !(rect.left > c.x + r || c.x - r > rect.right || c.y - r > rect.top || rect.bottom > c.y + r);
}

void Renderable::setColorStates() {
    QelGraphics* g = graphics();
    if (!g || !g->dxDevice || g->bScreenshotPass) return;
    g->dxDevice->SetTextureStageState(0, D3DTSS_COLOROP, (color & 0x00FFFFFF) == 0x00FFFFFF ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
    g->dxDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, (color >> 24) == 0xFF ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
}

void Renderable::render() {
    if (bHidden) return;
    updateVisibility();
    countStat(Qel::STAT_RENDERABLES_CONSIDERED);
    if (!bVisible) return;
    countStat(Qel::STAT_RENDERABLES_DRAWN);
    setColorStates();

    int noEngineLevel = 0;
    int& debugLevel = qel ? qel->debugLevel : noEngineLevel;
    const int savedDebugLevel = debugLevel;
    if ((debugLevel & 0x80) && qel && xformFrame == qel->frameCount) debugLevel |= 0x40;
    if (qel && !qel->bDebugLocked && qel->pPointerDispatcher) {
        if (qel->pPointerDispatcher->getHover() == this) debugLevel |= 0x10 | 0x40;
        if (qel->pPointerDispatcher->getFocus() == this) debugLevel |= 0x08;
    }
    QelGraphics* g = graphics();
    if (g && g->dxDevice) {
        g->dxDevice->SetTransform(D3DTS_WORLD, &worldXform);
        if (TextTrace::active && pSkin) TextTrace::picture(pSkin, worldXform);
        if (pSkin) pSkin->drawFor(this);
        if (!bSkipVisibility && (debugLevel & 0x30)) drawDebugOverlays(debugLevel);
    }
    debugLevel = savedDebugLevel;
}

void Renderable::drawDebugOverlays(int debugBits) {
    QelGraphics* g = graphics();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    const uint32_t halfAlpha = ((color >> 24) / 2) << 24;
    auto circlePoint = [](Vertex& v, int k, float cx, float cy, float radius, float z, uint32_t c) {
        float angle = float(k) * 6.28f / 64.0f;
        v = Vertex{cx + std::cos(angle) * radius, cy + std::sin(angle) * radius, z, c, 0.0f, 0.0f};
    };
    if (debugBits & 0x10) {
        VertexBuffer circle(64);
        float radius = boundsRadius * collisionSensitivity;
        for (int k = 1; k <= 64; ++k)
            circlePoint(circle.vertexData[k - 1], k, boundsCenter.x, boundsCenter.y, radius, position.z, halfAlpha | 0xFF0000);
        circle.upload();
        circle.draw(nullptr, 1, 0, -1);
    }
    if (debugBits & 0x20) {
        VertexBuffer overlay(72);
        Vertex* v = overlay.vertexData;
        for (int k = 0; k < 64; ++k)
            circlePoint(v[k], k, boundsCenter.x, boundsCenter.y, boundsRadius, position.z, halfAlpha | (color & 0x00FFFFFF));
        const float px = position.x, py = position.y, pz = position.z;
        v[64] = Vertex{px - 3, py - 3, pz, 0x80FFFFFF, 0, 0};
        v[65] = Vertex{px + 3, py + 3, pz, 0x80FFFFFF, 0, 0};
        v[66] = Vertex{px - 3, py + 3, pz, 0x80FFFFFF, 0, 0};
        v[67] = Vertex{px + 3, py - 3, pz, 0x80FFFFFF, 0, 0};
        const float cx = boundsCenter.x, cy = boundsCenter.y, cz = boundsCenter.z;
        v[68] = Vertex{cx - 2, cy - 2, cz, 0x80FF0000, 0, 0};
        v[69] = Vertex{cx + 2, cy + 2, cz, 0x80FF0000, 0, 0};
        v[70] = Vertex{cx - 2, cy + 2, cz, 0x80FF0000, 0, 0};
        v[71] = Vertex{cx + 2, cy - 2, cz, 0x80FF0000, 0, 0};
        overlay.upload();
        overlay.draw(nullptr, 1, 0, -1);
    }
}

bool Renderable::isUnderPointer() {
    if (bSkipVisibility || !bHasInvXform || !bInvXformValid) return false;
    if (!pSkin) return false;
    const float* p = Context::findContext(this)->pointerWorldPos;
    return isPointInsideSkin(Vector3(p[0], p[1], p[2]));
}

bool Renderable::isPointInsideSkin(const Vector3& worldPoint) {
    if (!pSkin || (bHasInvXform && !bInvXformValid)) return false;
    Vector3 local = world2local(worldPoint);
    return pSkin->isPointInside(local.x, local.y, local.z);
}

bool Renderable::isPointInsideBounds(const Vector3& p, float k) {
    QEL_ASSERT(u"Renderable::isPointInsideBounds", !bSkipVisibility);
    float r = boundsRadius * k;
    return squaredDistance(p, boundsCenter) < r * r;
}

bool Renderable::isPointInsideCollisionBounds(const Vector3& p) {
    QEL_ASSERT(u"Renderable::isPointInsideCollisionBounds", !bSkipVisibility);
    float r = boundsRadius * collisionSensitivity;
    return squaredDistance(p, boundsCenter) < r * r;
}

bool Renderable::collide(Renderable* other) {
    countStat(Qel::STAT_COLLISIONS);
    QEL_ASSERT(u"Renderable::collide", !bSkipVisibility && !other->bSkipVisibility);
    float r = boundsRadius * collisionSensitivity + other->boundsRadius * other->collisionSensitivity;
    return squaredDistance(boundsCenter, other->boundsCenter) < r * r;
}

Vector3 Renderable::local2world(const Vector3& localPoint) {
    Vector3 p = localPoint;
    if (pSkin) p = pSkin->warpPoint(p);
    return transformCoord(p, worldXform);
}

Vector3 Renderable::world2local(const Vector3& worldPoint) {
    QEL_ASSERT(u"Renderable::world2local", bHasInvXform);
    Vector3 q = transformCoord(worldPoint, invXform);
    if (pSkin) q = pSkin->unwarpPoint(q);
    return q;
}

void Renderable::setScaleXY(float s) {
    scale.x = scale.y = s;
    updateXform();
}

void Renderable::setPostScale(float x, float y, float z) {
    postScale = Vector3(x, y, z);
    updateXform();
}

Vector3 Renderable::getPostScale() { return postScale; }

void Renderable::setPostScaleXY(float s) {
    postScale.x = postScale.y = s;
    updateXform();
}

void Renderable::setBaseXform(const D3DXMATRIX& m) {
    baseXform = m;
    updateXform();
}

void Renderable::setParentXform(const D3DXMATRIX& m) {
    parentXform = m;
    updateXform();
}
