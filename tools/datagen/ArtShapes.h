#pragma once
// Small shapes shared by several pictures.

#include <cairo.h>

#include <cstdint>

#include "datagen/Scatter.h"

namespace datagen {

// The colour-blind marker of colour type 0..7 (ring, square, triangle, diamond, star, cross,
// crescent, heart) centred on (x, y) with radius r, as a path.
void markerPath(cairo_t* cr, int colourType, double x, double y, double r);
// A snow-capped pine tree with its foot at (x, y) and the given height.
void pineTree(cairo_t* cr, double x, double y, double height);
// A small wooden house with a snowy roof, its foot centred at (x, y), of the given width.
void snowHouse(cairo_t* cr, double x, double y, double width, uint32_t wall);

// A snowman with its foot at (x, y) and the given height.
void snowman(cairo_t* cr, double x, double y, double height);
// A lamp post with a warm glow, its foot at (x, y).
void lampPost(cairo_t* cr, double x, double y, double height);
// A pine decorated with lights and a star, its foot at (x, y); the lights are scattered by 'rnd'.
void holidayTree(cairo_t* cr, double x, double y, double height, Scatter& rnd);

// The mascot, a polar bear conductor, without its eyes, in a box of w x h (drawn for 200 x 240).
void drawMascot(cairo_t* cr, int w, int h);

}  // namespace datagen
