#include "game/Train.h"

#include "engine/Packet.h"

Train::Train(Packet* packet) {
    if (packet) serialize(*packet);
}

bool Train::serialize(Packet& packet) { return !packet.bBadData; }

float Train::rearPos() const { return 0.0f; }

int Train::countOpenSlots() const { return 0; }

void Train::reportOpenSlots() {}
