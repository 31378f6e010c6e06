#include "engine/BasicLink.h"

QEL_IMPLEMENT_CLASS(BasicLink, nullptr, QEL_FACTORY(BasicLink))

BasicLink::~BasicLink() {
    if (owner) owner->BasicLink::removeChild(this);
    deleteChildren();
}

void BasicLink::release() { delete this; }

BasicLink* BasicLink::addChild(BasicLink* child) {
    if (!firstChild) {
        child->prev = nullptr;
        child->next = nullptr;
        firstChild = child;
    } else {
        child->prev = lastChild;
        child->next = lastChild->next;
        lastChild->next = child;
    }
    lastChild = child;
    child->owner = this;
    return child;
}

void BasicLink::prependChild(BasicLink* child) {
    if (!firstChild) {
        addChild(child);
        return;
    }
    child->prev = nullptr;
    child->next = firstChild;
    firstChild->prev = child;
    firstChild = child;
    child->owner = this;
}

void BasicLink::insertChildAfter(BasicLink* child, BasicLink* sibling) {
    if (sibling == lastChild) {
        addChild(child);
        return;
    }
    child->prev = sibling;
    child->next = sibling->next;
    sibling->next->prev = child;
    sibling->next = child;
    child->owner = this;
}

void BasicLink::insertChildBefore(BasicLink* child, BasicLink* sibling) {
    if (sibling == firstChild) prependChild(child);
    else insertChildAfter(child, sibling->prev);
}

void BasicLink::removeChild(BasicLink* child) {
    if (firstChild == lastChild) {
        firstChild = lastChild = nullptr;
    } else if (child == firstChild) {
        firstChild = child->next;
    } else if (child == lastChild) {
        lastChild = child->prev;
    }
    if (child->prev) child->prev->next = child->next;
    if (child->next) child->next->prev = child->prev;
    child->owner = nullptr;
}

void BasicLink::deleteChildren() {
    while (lastChild) {
        BasicLink* child = lastChild;
        removeChild(child);
        delete child;
    }
}

int BasicLink::countChildren() const {
    int n = 0;
    for (const BasicLink* c = firstChild; c; c = c->next) ++n;
    return n;
}
