#pragma once
// The bare node of the engine's intrusive object tree: an owner and a doubly linked child list.

#include "engine/ClassRecord.h"

class BasicLink {
    QEL_DECLARE_ROOT_CLASS()
public:
    BasicLink() = default;
    BasicLink(const BasicLink&) = delete;
    BasicLink& operator=(const BasicLink&) = delete;
    virtual ~BasicLink();
    // Deletes the object through its virtual destructor.
    virtual void release();

    // Appends, prepends or inserts a child and makes this node its owner. The child must not be in
    // another list: callers detach it first.
    BasicLink* addChild(BasicLink* child);
    void prependChild(BasicLink* child);
    void insertChildAfter(BasicLink* child, BasicLink* sibling);
    void insertChildBefore(BasicLink* child, BasicLink* sibling);
    // Unlinks a child of this node; its own prev and next are left as they were.
    void removeChild(BasicLink* child);
    // Deletes every child, the last first.
    void deleteChildren();
    int countChildren() const;

    BasicLink* prev = nullptr;
    BasicLink* next = nullptr;
    BasicLink* firstChild = nullptr;
    BasicLink* lastChild = nullptr;
    BasicLink* owner = nullptr;
    bool bDead = false;
    bool bInactive = false;
};
