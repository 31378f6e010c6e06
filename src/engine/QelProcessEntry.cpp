#include "engine/QelProcessEntry.h"

#include "engine/Logger.h"

QelProcessEntry* QelProcessEntry::find(int pid) {
    if (process.pid == pid) return this;
    for (BasicLink* c = firstChild; c; c = c->next)
        if (QelProcessEntry* found = static_cast<QelProcessEntry*>(c)->find(pid)) return found;
    return nullptr;
}

void QelProcessEntry::dump(const WString& prefix) {
    qelLog(u"QelProcessEntry::dump", u"%s%s %s", prefix, u"|_", utf8ToWide(process.exeName));
    const WString childPrefix = prefix + (next ? u"| " : u"  ");
    for (BasicLink* c = firstChild; c; c = c->next) static_cast<QelProcessEntry*>(c)->dump(childPrefix);
}

QelProcessEntry* QelProcessEntry::buildTree(const std::vector<platform::ProcessInfo>& processes) {
    auto* root = new QelProcessEntry();
    for (const platform::ProcessInfo& info : processes) {
        auto* entry = new QelProcessEntry(info);
        // Earlier-listed children of this process move under it.
        for (BasicLink* c = root->firstChild; c;) {
            BasicLink* following = c->next;
            if (static_cast<QelProcessEntry*>(c)->process.parentPid == info.pid) {
                root->removeChild(c);
                entry->addChild(c);
            }
            c = following;
        }
        QelProcessEntry* parent = info.parentPid == info.pid ? nullptr : root->find(info.parentPid);
        // The entry is not in the tree yet, so the parent found can never lie inside its own
        // subtree; a duplicate id in the list is the one case to refuse.
        if (parent && entry->find(parent->process.pid) != nullptr) parent = nullptr;
        (parent ? parent : root)->addChild(entry);
    }
    return root;
}
