#pragma once
// The playing field of one level: the scene picture, the decorations drawn in depth order with the
// cars (tunnel hills, bridges, scenery in front of the trains), the launcher spots and the tracks.
// Each scene is a class over its row of the layout table; createLevelLayout picks the one a level
// plays, mirrored as its row says.

#include <span>
#include <vector>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class Skin;
class Texture;
class Track;
class TrackObject;
struct LayoutPoint;
struct SceneLayout;

class Level : public QelBase {
public:
    // The layers, the mirror (+1 as designed, -1 turned left to right), the shadow direction and
    // the scale 1.0.
    explicit Level(int mirrorX);
    ~Level() override;

    // The track's control points from the design points: converted and mirrored (the layout
    // table's conversion), with the lead-in and lead-out.
    void addTrack(Track* track, std::span<const LayoutPoint> points);
    // A decoration with that skin of the decoration picture at that depth: over the whole picture,
    // mirrored and squeezed like the scene.
    TrackObject* addDecoration(Skin* skin, float depth);
    // The scene picture into the scene layer; the launcher spots converted to the playfield (x
    // mirrored, y squeezed by 0.8) with their bases (and shadows when shadows are on).
    virtual void buildScene();

    // Trains on all tracks.
    int countTrains() const;
    // The largest progress of its tracks (0..1).
    float getProgress() const;
    void reportOpenSlots();
    // Every train of every track to state 4 at once.
    void stopTrains();
    // How far the camera stands back, in half layout widths.
    float getCameraFactor() const { return 1.0f; }
    std::vector<Track*> getTracks() const;

    // The scene's z: (layout height / 2) x (1 - shotSpeedScale), the layout height being 1.0.
    float spriteDepth() const { return 0.5f * (1.0f - shotSpeedScale); }

    // Children, in drawing order.
    QelBase* sceneLayer = nullptr;
    QelBase* trackLayer = nullptr;
    QelBase* launcherLayer = nullptr;
    // A child holding the decorations; the depth manager draws them.
    QelBase* decorations = nullptr;
    int mirrorX;
    int mirrorY = 1;
    float shadowAngle = -0.78539819f;
    // The direction of drop shadows (cars 8 units, thrown pieces 4), mirrored.
    Vector3 shadowVector;
    float shotSpeedScale = 1.0f;
    std::vector<Vector3> launcherPositions;
    Texture* sceneTexture = nullptr;
    Texture* decorationTexture = nullptr;

protected:
    // A scene's constructor: its pictures, launcher spots, decorations and tracks from its row of
    // the layout table. A decoration the picture has no skin for is logged and left out.
    void buildLayout(const SceneLayout& layout);
    // The half turn a mirror gives every sprite.
    Vector3 mirrorRotation() const;
};

// The layout that a level plays (any level number; beyond the campaign the last stages repeat),
// built and ready for buildScene. The host's sprint fraction must already be the level's
// (LayoutTable::row(level).sprintFraction when that is set).
Level* createLevelLayout(int level);
