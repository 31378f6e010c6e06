#pragma once
// The walker of every per-frame pass over an object's children. The visited child may unlink or
// release itself during its visit: the following child is taken before the visit.

class BasicLink;

enum : int {
    ITERATE_BACKWARDS = 1,
    ITERATE_RELEASE_DEAD = 2,
    ITERATE_INACTIVE = 4,
};

class BasicLinkIterator {
public:
    BasicLinkIterator(BasicLink* owner, int flags);
    // Moves to the next child to visit; bAtEnd is set when there is none.
    void next();

    // Walks every child the flags select: for (auto it = ...; !it.bAtEnd; ) { it.next(); ... }
    // is clumsy, so this calls visit(child) for each.
    template <class Visit>
    static void forEach(BasicLink* owner, int flags, Visit visit) {
        BasicLinkIterator it(owner, flags);
        for (it.next(); !it.bAtEnd; it.next()) visit(it.current);
    }

    bool bAtEnd = false;
    BasicLink* current = nullptr;
    int flags;
    BasicLink* owner;
    BasicLink* nextChild;
};
