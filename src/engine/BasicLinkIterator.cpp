#include "engine/BasicLinkIterator.h"

#include "engine/BasicLink.h"

BasicLinkIterator::BasicLinkIterator(BasicLink* owner, int flags)
    : flags(flags), owner(owner), nextChild((flags & ITERATE_BACKWARDS) ? owner->lastChild : owner->firstChild) {}

void BasicLinkIterator::next() {
    while (!bAtEnd) {
        if (current && (flags & ITERATE_RELEASE_DEAD) && current->bDead) current->release();
        current = nextChild;
        if (!current) {
            bAtEnd = true;
            return;
        }
        nextChild = (flags & ITERATE_BACKWARDS) ? current->prev : current->next;
        if (current->bDead) continue;
        if (current->bInactive && !(flags & ITERATE_INACTIVE)) continue;
        return;
    }
}
