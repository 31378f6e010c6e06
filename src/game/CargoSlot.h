#pragma once
// One place on a wagon that wants one cargo piece of one colour, and the rules of the game proper:
// which thrown piece a slot keeps, when a piece is passed on to a neighbouring slot, what a
// fireball does, how the placement streak is counted, and when an unfinished slot entering the
// tunnel ends the attempt.
//
// A piece "fits" a slot of its own colour, and the wildcard fits every slot. A slot is filled when
// its piece fits, open when it is empty or its piece does not fit. The held piece is the slot's
// child, updated and drawn by the slot once a frame.

#include "media/Renderable.h"

class Car;
class Cargo;
class Packet;

class CargoSlot : public Renderable {
public:
    CargoSlot(Car* car, int color);
    // Leaves the colour picker's open slots of this frame; the held piece goes with the slot.
    ~CargoSlot() override;

    // The colour, its tint and the dock's look (the colour's own frame for colour-blind players).
    void setColor(int newColor);
    // Offers a flying piece: false when the slot refuses it and the piece flies on. 'redirected'
    // is true when a neighbour passed the piece on (no collision test then).
    bool receiveCargo(Cargo* piece, bool redirected);
    // Seats the piece at once. The former piece leaves the slot first; when the new piece fits it
    // fires (a power-up takes effect), then it is deleted.
    void replaceCargo(Cargo* piece);
    // The normal way in: the piece glides into the slot; the former piece as in replaceCargo.
    void acceptCargo(Cargo* piece);
    // A piece of the slot's colour seated at once, with sparks of that colour when asked.
    void fillWithColor(bool flare);
    bool isFilled() const;
    bool isOpen() const { return !isFilled(); }
    // Whether a piece would be refused before any test of where it is: a slot holding an ordinary
    // piece takes nothing but a fireball, and a slot in a hidden stretch takes nothing.
    bool refusesOutright(const Cargo* piece) const;
    // The slot's centre in the playfield.
    Vector3 getCentre() const;

    void update(double time, double dt) override;
    void render() override;
    // The colour, whether a piece is held and its type. Reading refuses (false, logged) a colour
    // outside 0-7 and a type the factory does not make, and seats the piece read.
    virtual bool serialize(Packet& packet);

    // The slot's track position, and its reach ahead and behind (0.6 of its radius).
    float trackPos = 0.0f;
    float frontPos = 0.0f;
    float rearPos = 0.0f;

    Car* car;
    int color = 0;
    Cargo* held = nullptr;
    // Drawn over a slot whose piece does not fit.
    Renderable placementIcon;
    float widthFactor = 0.6f;

protected:
    // Steps 5 and 6 of an accepted piece: seated (gliding in) and judged.
    bool take(Cargo* piece);
    // The fireball's way: a piece of the slot's colour at once.
    bool burn(Cargo* piece);
    // The nearer of the two neighbours that is empty and that the piece fits gets it; only one
    // step is taken. -1 when no neighbour qualifies, else whether it took the piece.
    int passToNeighbour(Cargo* piece);
    // The slot before this one in its segment (across the car ahead) and the one after.
    CargoSlot* previousSlot() const;
    CargoSlot* nextSlot() const;
    // Takes the former piece out of the slot; fires it when the new piece fits, then deletes it.
    void dropFormer(Cargo* former, bool fire);

    friend class Car;
};
