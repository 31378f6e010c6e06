#include "engine/NetStatsBucket.h"

NetStatsBucket::NetStatsBucket(double start) : startTime(start), endTime(start + 1.0) {}

void NetStatsBucket::add(const NetStatsBucket& other) {
    for (int i = 0; i < 10; ++i) counters[i] += other.counters[i];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) table[row][column] += other.table[row][column];
}
