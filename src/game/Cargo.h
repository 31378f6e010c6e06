#pragma once
// One piece the launcher throws: a coloured crate, a wildcard, a fireball or a bonus (power-up).
// Its state says where it is: 0 detached, 1 queued on the launcher, 2 held by the chain, 3 flying,
// 4 gliding into a slot, 5 seated in a slot. A flying piece that leaves the view dies (and ends
// the placement streak); a piece whose colour no open slot wants any more dies too, unless it is
// the fitting occupant of its slot.

#include "engine/Text.h"
#include "game/MotionController.h"
#include "media/Renderable.h"

class CargoSlot;
class Skin;
class Sound;

class Cargo : public Renderable {
public:
    enum Type : int {
        TYPE_COLOR_COUNT = 8,  // 0-7: the eight colours
        TYPE_NONE = 8,
        TYPE_WILDCARD = 9,
        TYPE_WILDCARD_BONUS = 10,
        TYPE_STOP_BONUS = 11,
        TYPE_REVERSE_BONUS = 12,
        TYPE_COLOR_BOMB = 13,
        TYPE_FIREBALL = 14,
        TYPE_FIREBALL_BONUS = 15,
        TYPE_SPEED_SHOT_BONUS = 16,
        TYPE_EXTRA_LIFE_BONUS = 17,
        TYPE_SLOW_BONUS = 18,
        TYPE_UNSET = 19,
    };
    enum State : int {
        STATE_DETACHED = 0,
        STATE_QUEUED = 1,
        STATE_CHAINED = 2,
        STATE_FLYING = 3,
        STATE_GLIDING = 4,
        STATE_SEATED = 5,
    };

    // ARGB of the eight colours, shared with the launcher's aim colour and the colour bomb.
    static const uint32_t colorTable[TYPE_COLOR_COUNT];

    // A piece of that type with its skin and collision size; any type outside the table (8
    // included) is a fatal error.
    static Cargo* createByType(int type);
    // Whether createByType makes a piece of that type.
    static bool isKnownType(int type);
    // Whether a piece of that type fits a slot of that colour: its own colour, or the wildcard.
    static bool typeFits(int type, int color) { return type == TYPE_WILDCARD || (type >= 0 && type < TYPE_COLOR_COUNT && type == color); }

    // Draws the spin angle (the first draw of every piece).
    Cargo();

    void update(double time, double dt) override;
    void onStateChange() override;
    // The collision size from the skin: 16 over the distance from its centre to its corner. A
    // skin of no size keeps the size the piece has.
    virtual void initCollision();
    // Seated at once: the slot's centre, the car's roll, state 5.
    virtual void placeInSlot(CargoSlot* target);
    // What collecting the piece does; ordinary pieces do nothing and answer false.
    virtual bool activate() { return false; }

    // Unless the roll is fixed, roll = spin angle + angle, and the transform is rebuilt.
    void setRoll(float angle);
    // The slot lets the piece go: no slot, state 0.
    void releaseFromSlot();
    // Enters a state at once, also when it was the last one asked for.
    void enterState(int next);
    bool fits(int color) const { return typeFits(type, color); }
    // The piece sits in its slot and fits it (gliding in or seated).
    bool isFittingOccupant() const;

    bool bPowerUp = false;
    Sound* launchSound = nullptr;
    MotionController motion;
    CargoSlot* slot = nullptr;
    int type = TYPE_UNSET;
    float spinRate = 0.0f;
    float spinAngle = 0.0f;
    bool bSpinning = false;
    bool bFixedRotation = false;
    double lifetime = 0.0;
    float blend = 0.0f;
    Vector3 blendStart;

protected:
    // The roll without rebuilding the transform (update rebuilds it once).
    void applyRoll(float angle);
    // The launcher's aim (0 without a launcher).
    static float aimAngle();
    // The slot's centre in the playfield and its car's roll.
    Vector3 slotCentre() const;
    float slotRoll() const;
};
