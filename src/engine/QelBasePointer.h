#pragma once
// Carries one object reference through a packet.

#include "engine/QelBase.h"

class QelBasePointer : public QelBase {
    QEL_DECLARE_CLASS()
public:
    QelBasePointer() = default;

    // QelBase's properties, then "pObject".
    void describe(PropertyContainer* group) override;
    // QelBase's child references, then pObject as an object reference.
    void netSerializeChildren(Packet& packet) override;

    QelBase* pObject = nullptr;
};
