#pragma once
// The textured band drawn along a path: a rung every 12 units across the path, half the height of
// the "ladder" picture to each side, the picture repeating along the path. It draws through its
// own quad skin, whose vertex buffer holds the band as a triangle strip.

#include "media/Renderable.h"

class Quad;
class Texture;
class TrackPath;

class TrackStrip : public Renderable {
public:
    // The quad skin on the "ladder" picture, fitted to it (no skin while there is no engine).
    TrackStrip();

    // The band from position 0 to 'length' along the path; rungs at every 12 units and one more
    // clamped to the end. A negative, infinite or not-a-number length (or one the vertex buffer
    // cannot hold) leaves the strip empty.
    void build(const TrackPath& path, float length);
    // Nothing while the band is empty.
    void render() override;

    Quad* quad = nullptr;
    Texture* texture = nullptr;
};
