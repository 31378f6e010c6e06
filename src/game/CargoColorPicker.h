#pragma once
// The game's bookkeeping of which cargo the level still needs. Rebuilt every frame from the cargo
// slots that are not yet correctly filled (the open slots): the launcher picks the colour of its
// next piece from it, cargo learns whether its colour is still wanted, the colour bomb finds its
// slots and the hints find a slot to point at. It also holds the level's weights for spawning
// bonus pieces and for choosing wagon kinds. Every draw is one step of the game's generator.

#include <vector>

class Cargo;
class CargoSlot;

class CargoColorPicker {
public:
    static constexpr int COLOR_COUNT = 8;
    static constexpr int TYPE_COUNT = 19;
    static constexpr int NO_TYPE = 19;
    static constexpr float FAR = 1000000.0f;

    CargoColorPicker();

    // reset, every weight 0, no forced type.
    void clear();
    // This frame's open slots forgotten (the list keeps its memory for the next frame).
    void reset();
    // A slot whose occupant does not match it joins the open slots: its colour's count grows and
    // its distance to the end of the track may become the colour's nearest.
    void addOpenSlot(CargoSlot* slot);
    // A slot that goes away during the frame (its car was removed) leaves the list at once; its
    // colour's count and nearest distance stay as counted.
    void removeOpenSlot(CargoSlot* slot);

    // The colour whose open slot is nearest the end of the track (0 when none). The running
    // minimum is kept as a whole number, so a later colour must beat the truncated distance.
    int urgentColor() const;
    // A colour drawn in proportion to the open slots of each colour; 0 when none is open.
    int weightedColor() const;
    // The forced type while its count lasts, else a type drawn by the weights (0 when none).
    int pickType();
    bool hasTypeWeights() const;
    // A wagon kind 1-3 drawn by the kind weights; 1 when no kind has a weight (a train must
    // always be able to bring its quota).
    int pickCarKind() const;
    // The slots the hints point at, always in view: a slot in a hidden stretch or past its
    // track's tunnel is never named.
    // The first open slot that is empty and would accept the piece's type.
    CargoSlot* findSlotFor(const Cargo* piece) const;
    // The first open slot holding an ordinary piece that does not match it.
    CargoSlot* findWrongSlot() const;
    // The first open slot holding a power-up.
    CargoSlot* findBonusSlot() const;

    bool enabledColors[COLOR_COUNT];
    float typeWeights[TYPE_COUNT];
    int forcedType = NO_TYPE;
    int forcedCount = 0;
    float carKindWeights[3];
    std::vector<CargoSlot*> openSlots;
    int openCount[COLOR_COUNT];
    float nearestDistance[COLOR_COUNT];
};

// A random colour among the enabled ones: the (r + 1)-th enabled colour for a draw r modulo their
// number. The draw is made even when no colour is enabled, which gives 0.
int pickEnabledColor(const bool enabled[CargoColorPicker::COLOR_COUNT]);
