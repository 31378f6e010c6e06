#pragma once
// An object's node in the engine's list of every live object.

#include "engine/BasicLink.h"

class QelBase;

class ObjectListEntry : public BasicLink {
public:
    explicit ObjectListEntry(QelBase* object) : object(object) {}
    QelBase* object;
};

// The head of the list of all objects. Its entries are embedded in their objects, so the head
// never deletes them: at the end of the program it only lets go of the ones still linked.
class ObjectListHead : public BasicLink {
public:
    ~ObjectListHead() override {
        while (firstChild) removeChild(firstChild);
    }
};
