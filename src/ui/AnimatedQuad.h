#pragma once
// A textured strip that can be bent along a circular arc (the mascot's curling hand). It maps
// points between its flat and bent shapes so that attached objects and hit tests follow the bend.

#include "media/Quad.h"

class AnimatedQuad : public Quad {
public:
    AnimatedQuad();

    Vector3 warpPoint(const Vector3& point) override;
    Vector3 unwarpPoint(const Vector3& point) override;
    Vector3 warpPointFrame(const Vector3& point) override;
    Vector3 unwarpPointFrame(const Vector3& point) override;
    void fitToTexture() override;
    // Vertex pairs along the strip; at least two (a strip with one pair has no length).
    virtual void setSegments(int n);
    virtual void rebuildVertices();

    Vector3 getCenter() const;
    // Bends at once; |angle| below 0.001 is flat.
    void setTarget(float angle);
    // Takes the source's texture and pixel rectangle.
    void addFrame(Quad* source);

    // The warp of a point for a bend and radius (flat: the point itself), and its inverse.
    Vector3 warp(const Vector3& p, float bendAngle, float arcRadius) const;
    Vector3 unwarp(const Vector3& p, float bendAngle, float arcRadius) const;

    int segments = 2;
    float bend = 0.0f;
    float radius = 0.0f;
    float halfLength = 0.0f;
    float halfThickness = 0.0f;
    bool bVertical = false;
    int bendFrame = -1;
    float previousBend = 0.0f;
    float previousRadius = 0.0f;
};
