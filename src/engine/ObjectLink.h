#pragma once
// A weak reference to an object, cleared when the object is destroyed; its holder then gets a
// pointer event with code 0.

#include "engine/BasicLink.h"

class QelBase;

class ObjectLink : public BasicLink {
public:
    explicit ObjectLink(QelBase* holder, QelBase* target = nullptr);
    ~ObjectLink() override;

    void set(QelBase* target);
    QelBase* get() const { return pTarget; }

    QelBase* pTarget = nullptr;
    QelBase* pOwnerObject;
};
