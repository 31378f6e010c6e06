#pragma once
// A crate of one of the eight colours: its type is its colour, its skin that colour's frame of
// the "cargo" pictures.

#include "game/ThrownCargo.h"

class PlainCargo : public ThrownCargo {
public:
    explicit PlainCargo(int color);
};
