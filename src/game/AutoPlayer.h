#pragma once
// A player for tests and unattended runs. Each frame, before the engine's frame, it looks at the
// level as a player sees it (the open slots, the piece on the bow, where the slots are along
// their tracks and how fast their segments move) and acts only through the window's input
// handlers: it moves the pointer (window pixels, on the aim ray as far out as the screen allows)
// and clicks or presses keys. It fires the piece at the slot it fits that is nearest its tunnel,
// aiming where the slot will be when the piece arrives; it claws wrong pieces and bonuses within
// the hook's reach; with nothing to do from its spot it cycles to another, and a piece that finds
// no way to its slots for a while it fires away where it meets no slot. It takes no number from
// the game's random generator.

#include <vector>

#include "engine/MathUtil.h"

class CargoSlot;
class Cargo;
class GameController;
class Track;

class AutoPlayer {
public:
    // One frame's look and action on the current game (nothing without one, or outside play).
    void step();

    // What it did, for tests and logs.
    int shotsFired = 0;
    int clawsFired = 0;
    int spotCycles = 0;
    // Shots (counted in shotsFired too) that sent a piece without a way to its slots off the view.
    int discards = 0;

    // A shot: where to aim and the slot it should reach.
    struct Aim {
        CargoSlot* slot = nullptr;
        Vector3 point;
        double arrival = 0.0;
    };
    // The best shot of a piece from a launcher position at the given speed (slot null: none).
    static Aim findShot(GameController& game, const Cargo& piece, const Vector3& from, float speed);
    // Where a slot will be after t seconds, its segment keeping its speed.
    static Vector3 predict(const CargoSlot& slot, float t);
    // Where the pointer goes (layout pixels, x from the left, y from the bottom) to aim from a
    // launcher position at a playfield point: on the aim ray, as far out as the screen allows,
    // short of the HUD's MENU corner.
    static Vector3 pointerFor(GameController& game, const Vector3& from, const Vector3& target);
    // Whether a piece flying from 'from' along the unit direction at that speed passes the first
    // 'distance' units without coming within 'clearance' of an open slot (other than the target)
    // that would take it.
    static bool flightIsClear(GameController& game, const Cargo& piece, const Vector3& from, const Vector3& direction, float distance,
                              float speed, float clearance, const CargoSlot* target);
    // A point at the view's edge to fire a piece at so that it leaves the view without meeting a
    // slot that would take it: the middle of the widest free sector. False when there is none.
    static bool findDiscard(GameController& game, const Cargo& piece, const Vector3& from, float speed, Vector3& point);

    // A key going down as the keyboard reports it (a DirectInput code): its SDL scan code, to be
    // let up again at a later frame, or 0 when the key has none.
    static int keyDown(int dikCode);
    static void keyUp(int scancode);

private:
    void pointAt(GameController& game, const Vector3& from, const Vector3& target);
    void click(int button);
    void pressKey(int dikCode);
    bool tryClaw(GameController& game);

    // Slots shot at (the address only compared; the colour, track and last track position tell
    // the same slot from a new one at that address), and until when a shot may still be on its
    // way there.
    struct Booking {
        const CargoSlot* slot;
        int color;
        const Track* track;
        float trackPos;
        double until;
    };
    std::vector<Booking> bookings;
    double idleSince = -1.0;
    // Since when pieces of this type have been on the bow without a shot; a reload or another
    // type starts the wait afresh, cycling spots does not. (Types, not addresses: a new piece may
    // take a deleted one's address, and what the player does must not depend on the heap.)
    double waitingSince = -1.0;
    int waitingFor = -1;
    double nextCycleTime = 0.0;
    double nextClawTime = 0.0;
    // The key held down since the last frame (an SDL scan code), released at the next step.
    int heldKey = 0;
};
