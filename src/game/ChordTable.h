#pragma once
// For every sample of a path, the track position that lies a fixed straight-line distance (the
// chord) behind it, so that a body of fixed length fits on a curve: its front at x, its rear at
// lookup(x). One table serves every car of one length on a track.

#include <vector>

#include "engine/QelBase.h"

class TrackPath;

class ChordTable : public QelBase {
public:
    ChordTable(const TrackPath* path, float chord) : path(path), chord(chord) {}

    // Per sample i: the first sample n looking back from i farther than the chord (in 3-D) and
    // the point between samples n and n + 1 where the chord is reached; 0 where no sample is
    // that far back (near the start of the path).
    void build();
    // Between the entries around position x (clamped like the path's positions).
    float lookup(float x) const;

    const TrackPath* path;
    float chord;
    std::vector<float> positions;
};
