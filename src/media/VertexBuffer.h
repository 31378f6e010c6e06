#pragma once
// An array of vertices in memory and the write-only device buffer it is uploaded into (managed,
// so it survives a device reset); draws a range of it with one texture as one primitive type.
// The first vertex's colour is the colour of the whole draw (the texture factor).

#include "engine/QelBase.h"
#include "media/Vertex.h"
#include "platform/D3D9.h"

class Texture;

class VertexBuffer : public QelBase {
    QEL_DECLARE_CLASS()
public:
    VertexBuffer();
    explicit VertexBuffer(int count);
    ~VertexBuffer() override;

    // A new count discards both copies; the same count keeps them.
    void resize(int count);
    void createDXobject();
    void upload();
    // The first vertex's colour (and with bAll every vertex's, uploaded). Nothing for an empty
    // buffer.
    void setColor(uint32_t color, bool bAll);
    // type 0-5: points, lines, line strip, triangles, triangle strip, triangle fan; count < 0
    // means up to the last vertex. A range outside the buffer is refused (logged, not drawn).
    void draw(Texture* texture, int type, int start, int count);

    // Largest count whose bytes fit in 32 bits.
    static constexpr int maxVertices = 178956970;

    Vertex* vertexData = nullptr;
    int vertices = 0;
    IDirect3DVertexBuffer9* dxVBuffer = nullptr;
};
