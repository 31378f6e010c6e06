#pragma once
// The engine's vertex as stored in vertex buffers: position, ARGB colour, texture coordinates.

#include <cstddef>
#include <cstdint>

struct Vertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(Vertex) == 24);
static_assert(offsetof(Vertex, color) == 12);
static_assert(offsetof(Vertex, u) == 16);

// Position, diffuse colour and one set of texture coordinates.
constexpr uint32_t D3DFVF_QELVERTEX = 0x142;
