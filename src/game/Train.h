#pragma once
// One convoy on a track. What the track relies on: its back link, its slot quota, its rear, its
// open slots and its serialisation; the convoy's segments, cars and motion build on this.

#include "engine/QelBase.h"

class Packet;
class Track;

class Train : public QelBase {
public:
    // A new train, or (with a packet) one read from a saved game.
    explicit Train(Packet* packet = nullptr);

    // Writes the train to the packet, or reads it back; false when the packet's data was refused.
    virtual bool serialize(Packet& packet);

    // The last segment's last car's next-front position (0 when there is none).
    float rearPos() const;
    int countOpenSlots() const;
    // Hands every open slot to the colour picker.
    void reportOpenSlots();

    Track* track = nullptr;
    int slotQuota = 0;
    int slotsSpawned = 0;
};
