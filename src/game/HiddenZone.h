#pragma once
// A stretch of a track where its cars cannot be reached (under a bridge or through a hill): the
// start position is in it, the end position is not.

#include "engine/QelBase.h"

class HiddenZone : public QelBase {
public:
    HiddenZone(float start, float end) : start(start), end(end) {}

    bool contains(float pos) const { return start <= pos && pos < end; }

    float start;
    float end;
};
