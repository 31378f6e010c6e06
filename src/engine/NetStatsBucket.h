#pragma once
// The network traffic of one second of engine time.

#include <cstdint>

#include "engine/QelBase.h"

class NetStatsBucket : public QelBase {
public:
    NetStatsBucket() = default;
    NetStatsBucket(double start);

    // Adds every counter and table entry of another bucket to this one.
    void add(const NetStatsBucket& other);

    uint32_t counters[10] = {};
    double startTime = 0.0;
    double endTime = 1.0;
    double length = 1.0;
    // Counts by direction (row) and message kind (column).
    uint32_t table[4][4] = {};
};
