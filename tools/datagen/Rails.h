#pragma once
// The railway drawn along a track's path: a trodden bed, wooden sleepers and two steel rails whose
// gauge is well under the cars' height, so that a car hides the rails beneath it. Drawn in screen
// coordinates (the caller's context maps them to its picture).

#include <cairo.h>

#include "datagen/LevelGeometry.h"

namespace datagen {

// Half the rails' gauge and half a sleeper's length, in screen units.
constexpr double kRailOffset = 9, kSleeperHalf = 15;

// The trodden snow the track is laid on, between two track positions.
void paintTrackBed(cairo_t* cr, const TrackGeometry& track, double from, double to, uint32_t edge, uint32_t middle);
// Sleepers (every 12 units of track, as the game's band has its rungs) between two positions.
void paintSleepers(cairo_t* cr, const TrackGeometry& track, double from, double to);
// The two rails between two positions.
void paintRails(cairo_t* cr, const TrackGeometry& track, double from, double to);

}  // namespace datagen
