#pragma once
// An object's node in the engine's list of every live object.

#include "engine/BasicLink.h"

class QelBase;

class ObjectListEntry : public BasicLink {
public:
    explicit ObjectListEntry(QelBase* object) : object(object) {}
    QelBase* object;
};

