#include "media/VertexBuffer.h"

#include <cstring>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"

// Textures come with the texture code; until it is part of the build, every draw is untextured.
#if __has_include("media/Texture.h")
#include "media/Texture.h"
#define VESK_VERTEXBUFFER_TEXTURES 1
#endif

QEL_IMPLEMENT_CLASS(VertexBuffer, &QelBase::classRecord, QEL_FACTORY(VertexBuffer))

namespace {
QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }
void countStat(int statistic, int amount = 1) {
    if (qel) qel->frameStats[statistic] += amount;
}
}  // namespace

VertexBuffer::VertexBuffer() = default;

VertexBuffer::VertexBuffer(int count) { resize(count); }

VertexBuffer::~VertexBuffer() {
    if (dxVBuffer) dxVBuffer->Release();
    dxVBuffer = nullptr;
    delete[] vertexData;
    vertexData = nullptr;
}

void VertexBuffer::resize(int count) {
    if (count == vertices) return;
    QEL_ASSERT(u"VertexBuffer::resize", count >= 0 && count <= maxVertices);
    if (dxVBuffer) {
        dxVBuffer->Release();
        dxVBuffer = nullptr;
    }
    delete[] vertexData;
    vertexData = nullptr;
    vertices = count;
    if (count > 0) {
        vertexData = new Vertex[size_t(count)];
        createDXobject();
    }
}

void VertexBuffer::createDXobject() {
    if (dxVBuffer) {
        dxVBuffer->Release();
        dxVBuffer = nullptr;
    }
    QelGraphics* g = graphics();
    HRESULT hr = g && g->dxDevice ? g->dxDevice->CreateVertexBuffer(UINT(vertices) * UINT(sizeof(Vertex)), D3DUSAGE_WRITEONLY,
                                                                   D3DFVF_QELVERTEX, D3DPOOL_MANAGED, &dxVBuffer, nullptr)
                                  : D3DERR_INVALIDCALL;
    if (dxFailed(hr))
        ErrorManager::assertionFailed(u"VertexBuffer::createDXobject", __FILE__, __LINE__,
                                      u"qel->pQelGraphics->dxDevice->CreateVertexBuffer( vertices * sizeof(Vertex), "
                                      u"D3DUSAGE_WRITEONLY, D3DFVF_QELVERTEX, D3DPOOL_MANAGED, &dxVBuffer, NULL)");
}

void VertexBuffer::upload() {
    if (vertices < 1 || !dxVBuffer) return;
    void* data = nullptr;
    if (dxFailed(dxVBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD))) return;
    std::memcpy(data, vertexData, size_t(vertices) * sizeof(Vertex));
    dxVBuffer->Unlock();
    countStat(Qel::STAT_VBUFFER_WRITES);
}

void VertexBuffer::setColor(uint32_t color, bool bAll) {
    if (vertices < 1) return;
    vertexData[0].color = color;
    if (bAll) {
        for (int i = 1; i < vertices; ++i) vertexData[i].color = color;
        upload();
    }
}

void VertexBuffer::draw(Texture* texture, int type, int start, int count) {
    if (vertices <= 0) return;
    if (count < 0) count = vertices - start;
    static const D3DPRIMITIVETYPE primitives[] = {D3DPT_POINTLIST,    D3DPT_LINELIST,     D3DPT_LINESTRIP,
                                                  D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN};
    if (type < 0 || type > 5) QEL_FATAL(u"VertexBuffer::draw", u"Unknown primitive type %d", type);
    if (start < 0 || count < 0 || start > vertices || count > vertices - start) {
        qelLog(u"VertexBuffer::draw", u"Refused to draw %d vertices from %d of %d.", count, start, vertices);
        return;
    }
    int primitiveCounts[] = {count, count / 2, count - 1, count / 3, count - 2, count - 2};
    int primitiveCount = primitiveCounts[type];
    countStat(Qel::STAT_VERTICES, count);
    if (primitiveCount <= 0) return;  // too few vertices for one primitive

    QelGraphics* g = graphics();
    if (!g || !g->dxDevice) return;
    IDirect3DDevice9* device = g->dxDevice;
    bool bBlendOff = false;
#ifdef VESK_VERTEXBUFFER_TEXTURES
    if (texture) {
        texture->select();
        if (!texture->bHasAlpha) {
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
            bBlendOff = true;
        }
    } else {
        device->SetTexture(0, nullptr);
    }
#else
    texture = nullptr;
    device->SetTexture(0, nullptr);
#endif
    if (!g->bScreenshotPass) device->SetRenderState(D3DRS_TEXTUREFACTOR, vertexData[0].color);
    device->SetStreamSource(0, dxVBuffer, 0, sizeof(Vertex));
    device->DrawPrimitive(primitives[type], UINT(start), UINT(primitiveCount));

    if (texture) {
        if (bBlendOff) device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        int debugLevel = qel ? qel->debugLevel : 0;
        if (debugLevel & 0x40) {
            uint32_t former = vertexData[0].color;
            setColor(0x40FFFFFF, true);
            draw(nullptr, type, start, count);
            setColor(former, true);
            countStat(Qel::STAT_VBUFFER_WRITES, -2);
        }
        if (debugLevel & 0x08) draw(nullptr, 2, start, count);
    }
}
