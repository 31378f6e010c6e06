#include "media/TiledSkin.h"

#include "media/Quad.h"
#include "media/Renderable.h"

TiledSkin::TiledSkin(int columns, int rows) : columns(columns), rows(rows), cellCount(columns * rows) {
    cells.assign(size_t(cellCount), nullptr);
    vertexBuffer.resize(4 * cellCount);
}

TiledSkin::~TiledSkin() = default;

void TiledSkin::layout() {
    width = 0.0f;
    height = 0.0f;
    for (int c = 0; c < columns; ++c)
        if (cells[size_t(c)]) width += cells[size_t(c)]->width;
    for (int r = 0; r < rows; ++r)
        if (cells[size_t(r * columns)]) height += cells[size_t(r * columns)]->height;
    float y = height / 2;
    for (int r = 0; r < rows; ++r) {
        float x = -width / 2;
        float rowHeight = 0.0f;
        for (int c = 0; c < columns; ++c) {
            const int i = r * columns + c;
            Quad* q = cells[size_t(i)];
            if (!q) continue;
            const float w = q->width, h = q->height;
            Vertex* v = vertexBuffer.vertexData + 4 * i;
            v[0] = Vertex{x, y, 0.0f, 0xFFFFFFFF, q->texLeft, q->texTop};
            v[1] = Vertex{x + w, y, 0.0f, 0xFFFFFFFF, q->texRight, q->texTop};
            v[2] = Vertex{x, y - h, 0.0f, 0xFFFFFFFF, q->texLeft, q->texBottom};
            v[3] = Vertex{x + w, y - h, 0.0f, 0xFFFFFFFF, q->texRight, q->texBottom};
            x += w;
            rowHeight = h;
        }
        y -= rowHeight;
    }
    vertexBuffer.upload();
}

void TiledSkin::drawFor(Renderable* renderable) {
    if (vertexBuffer.vertices <= 0) return;
    vertexBuffer.vertexData[0].color = renderable ? renderable->color : 0xFFFFFFFF;
    for (int i = 0; i < cellCount; ++i)
        if (cells[size_t(i)]) vertexBuffer.draw(cells[size_t(i)]->pTexture, 4, 4 * i, 4);
}
