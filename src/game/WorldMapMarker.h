#pragma once
// A town on the world map, carrying its stage's record: its name, its place along the map's path
// and its levels. A town the player has reached pulses and throws sparks while the pointer is
// over it and shows its name; a press on it starts a new game at the town's first level (the map
// acts on the press, for the nearest of the towns under the pointer). Keys reach it through its
// caption anchor; towns not reached yet are inert and offer no anchor.

#include "ui/MenuNavigable.h"
#include "engine/Text.h"

class WorldMapMarker : public MenuNavigable {
public:
    static constexpr float COLLISION_SENSITIVITY = 1.8f;
    static constexpr double FLARE_PERIOD = 0.1;
    // The town's name is centred this far above the marker's top edge.
    static constexpr float NAME_GAP = 12.0f;
    // Room kept free under the screen's top edge for the head-up display's bar.
    static constexpr float HUD_CLEARANCE = 40.0f;
    // The pulse: scale 1 + 0.15 x sin(8 t) while hovered.
    static float pulseScale(double time);

    // stage: 0 to 14; its town name is the text WORLD0 + stage. The marker sits at 'at' (map space).
    WorldMapMarker(int stage, const Vector3& at);

    void update(double time, double dt) override;
    // The marker.
    void render() override;
    // While hovered or selected, the town's name above it (below it near the top of the map). The
    // map draws the names after its train, so that the train's smoke never hides one.
    void renderName();
    // The caption anchor while the town can be reached, else the end of the list.
    Vector3 getNavigationPoint(int index) override;
    // With bNone, (-1, -1, -1); otherwise the marker's position in pointer coordinates of the
    // context it is drawn in: exactly where the pointer must be to lie on the marker.
    virtual Vector3 getCaptionAnchor(bool bNone);

    // Whether the profile has reached the town (its first level is not above the highest level).
    bool isReached() const;

    WString townName;
    float startDistance = 0.0f;
    float stageLength = 0.0f;
    int firstLevel = 0;
    int levelCount = 0;
    bool bEnabled = false;
    double flareTimer = 0.0;
    double flarePeriod = FLARE_PERIOD;
    bool bHover = false;
    bool bSelected = false;
    // Where the sparks go (the map's effect layer; a renderable does not draw its children).
    QelBase* pEffectsLayer = nullptr;
};
