#pragma once
// One process of the start-up log's process tree; its children are the processes it started.

#include <vector>

#include "engine/QelBase.h"
#include "platform/ProcessList.h"

class QelProcessEntry : public QelBase {
public:
    QelProcessEntry() = default;
    explicit QelProcessEntry(const platform::ProcessInfo& info) : process(info) {}

    // This entry when its process id is pid, else the first match among its descendants.
    QelProcessEntry* find(int pid);
    // Logs "prefix|_ name" and then every child with a longer prefix.
    void dump(const WString& prefix);

    // Builds the tree of a process list under a new root entry (process id -1, no name); the
    // caller deletes the root. Each process hangs under its parent wherever the parent was
    // listed; ids that would make a process its own ancestor (a reused id) put it at the root.
    static QelProcessEntry* buildTree(const std::vector<platform::ProcessInfo>& processes);

    platform::ProcessInfo process;
};
