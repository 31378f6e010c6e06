#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/BasicLinkIterator.h"
#include "engine/ObjectLink.h"
#include "engine/PointerEvent.h"
#include "engine/Qel.h"
#include "engine/QelBase.h"

namespace {

std::vector<std::string> journal;

// An object that records what happens to it.
struct Probe : QelBase {
    explicit Probe(std::string name, QelBase* parent = nullptr) : name(std::move(name)) {
        if (parent) parent->addChild(this);
    }
    ~Probe() override { journal.push_back("delete " + name); }
    void update(double t, double dt) override {
        journal.push_back("update " + name);
        if (dieOnUpdate) bDead = true;
        QelBase::update(t, dt);
    }
    bool isUnderPointer() override { return underPointer; }
    bool onEvent(PointerEvent* e) override {
        journal.push_back("event " + name + " " + std::to_string(e->code));
        return false;
    }
    bool onPreviewEvent(PointerEvent* e) override {
        journal.push_back("preview " + name);
        return false;
    }
    bool onBubbleEvent(PointerEvent* e) override {
        journal.push_back("bubble " + name);
        return false;
    }
    void onStateChange() override { journal.push_back("state " + name + " " + std::to_string(state)); }

    std::string name;
    bool dieOnUpdate = false;
    bool underPointer = false;
};

std::string childNames(QelBase& parent) {
    std::string s;
    for (BasicLink* c = parent.firstChild; c; c = c->next) s += static_cast<Probe*>(c)->name;
    std::string back;
    for (BasicLink* c = parent.lastChild; c; c = c->prev) back.insert(0, static_cast<Probe*>(c)->name);
    EXPECT_EQ(s, back) << "the list reads differently backwards";
    return s;
}

class ObjectModel : public testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

TEST_F(ObjectModel, ChildListInsertAndRemove) {
    Probe root("r");
    auto* a = new Probe("a", &root);
    auto* b = new Probe("b", &root);
    auto* c = new Probe("c", &root);
    EXPECT_EQ("abc", childNames(root));
    root.removeChild(b);
    EXPECT_EQ("ac", childNames(root));
    root.insertChildAfter(b, c);  // after the last child: an append
    EXPECT_EQ("acb", childNames(root));
    root.removeChild(b);
    root.insertChildBefore(b, a);  // before the first child: a prepend
    EXPECT_EQ("bac", childNames(root));
    root.removeChild(a);
    root.insertChildAfter(a, b);
    EXPECT_EQ("bac", childNames(root));
    root.removeChild(c);
    root.removeChild(a);
    EXPECT_EQ("b", childNames(root));
    root.removeChild(b);
    EXPECT_EQ(nullptr, root.firstChild);
    EXPECT_EQ(nullptr, root.lastChild);
    EXPECT_EQ(nullptr, b->owner);
    delete a;
    delete b;
    delete c;
}

TEST_F(ObjectModel, DeletingAnObjectDeletesItsSubtreeLastChildFirst) {
    auto* root = new Probe("r");
    auto* a = new Probe("a", root);
    new Probe("a1", a);
    new Probe("b", root);
    delete root;
    // The owner's own destructor body runs first, then its children go, the last first.
    EXPECT_EQ((std::vector<std::string>{"delete r", "delete b", "delete a", "delete a1"}), journal);
}

TEST_F(ObjectModel, WalkReleasesDeadChildrenAndToleratesSelfRemoval) {
    Probe root("r");
    auto* a = new Probe("a", &root);
    auto* b = new Probe("b", &root);
    auto* c = new Probe("c", &root);
    auto* d = new Probe("d", &root);
    a->bDead = true;        // dead before the walk: released, never visited
    b->dieOnUpdate = true;  // dies during its own update
    d->bInactive = true;    // skipped, kept
    (void)c;
    root.update(0, 0.1);
    EXPECT_EQ((std::vector<std::string>{"update r", "delete a", "update b", "delete b", "update c"}), journal);
    EXPECT_EQ("cd", childNames(root));

    journal.clear();
    BasicLinkIterator::forEach(&root, ITERATE_INACTIVE, [](BasicLink* o) { journal.push_back("visit " + static_cast<Probe*>(o)->name); });
    EXPECT_EQ((std::vector<std::string>{"visit c", "visit d"}), journal);
}

TEST_F(ObjectModel, ObjectListHoldsLiveObjectsInConstructionOrder) {
    const int before = Qel::objectList.countChildren();
    auto* x = new Probe("x");
    auto* y = new Probe("y");
    EXPECT_EQ(before + 2, Qel::objectList.countChildren());
    EXPECT_EQ(y, static_cast<ObjectListEntry*>(Qel::objectList.lastChild)->object);
    EXPECT_EQ(x, static_cast<ObjectListEntry*>(Qel::objectList.lastChild->prev)->object);
    delete x;
    EXPECT_EQ(before + 1, Qel::objectList.countChildren());
    delete y;
    EXPECT_EQ(before, Qel::objectList.countChildren());
}

TEST_F(ObjectModel, LinksAreClearedAndEachHolderToldOnce) {
    Probe parent("p");
    auto* holders = new Probe("h", &parent);
    auto* target = new Probe("t");
    ObjectLink l1(holders, target), l2(holders, target), l3(holders, target);
    EXPECT_EQ(3, target->incomingLinks.countChildren());
    journal.clear();
    delete target;
    EXPECT_EQ(nullptr, l1.get());
    EXPECT_EQ(nullptr, l2.get());
    EXPECT_EQ(nullptr, l3.get());
    int events = 0;
    for (const auto& line : journal) events += line == "event h 0";
    EXPECT_EQ(3, events);
    // Delivery order: the holder's owner previews, the holder handles, the owner bubbles.
    EXPECT_EQ((std::vector<std::string>{"delete t", "preview p", "event h 0", "bubble p", "preview p"}),
              std::vector<std::string>(journal.begin(), journal.begin() + 5));
}

TEST_F(ObjectModel, ResettingALinkMovesItWithoutNotice) {
    Probe holder("h"), t1("1"), t2("2");
    ObjectLink link(&holder, &t1);
    link.set(&t2);
    EXPECT_EQ(0, t1.incomingLinks.countChildren());
    EXPECT_EQ(1, t2.incomingLinks.countChildren());
    link.set(&t2);
    link.set(nullptr);
    EXPECT_EQ((std::vector<std::string>{"event h 0"}), journal);
}

TEST_F(ObjectModel, DelayedStateSwitchesOnTheThirdTick) {
    Probe p("p");
    p.gotoState(5, 1.0);
    EXPECT_EQ(0, p.state);
    p.update(0, 0.4);
    p.update(0, 0.4);
    EXPECT_EQ(0, p.state);
    p.update(0, 0.4);
    EXPECT_EQ(5, p.state);
    EXPECT_EQ(0.0, p.timeInState);
    EXPECT_EQ((std::vector<std::string>{"update p", "update p", "update p", "state p 5"}), journal);
    journal.clear();
    p.gotoState(5, 0);  // already the pending state
    EXPECT_TRUE(journal.empty());
    p.gotoState(2);
    EXPECT_EQ(2, p.state);
}

TEST_F(ObjectModel, PickingPrefersLaterChildrenAndSkipPassesOverHits) {
    Probe root("r");
    auto* a = new Probe("a", &root);
    auto* b = new Probe("b", &root);
    a->underPointer = b->underPointer = true;
    int skip = 0;
    EXPECT_EQ(b, root.findObjectUnderPointer(skip));
    skip = 1;
    EXPECT_EQ(a, root.findObjectUnderPointer(skip));
    skip = 2;
    EXPECT_EQ(nullptr, root.findObjectUnderPointer(skip));
    b->bInputDisabled = true;
    skip = 0;
    EXPECT_EQ(a, root.findObjectUnderPointer(skip));
}

TEST_F(ObjectModel, InputDisabledAncestorSwallowsEvents) {
    Probe root("r");
    auto* mid = new Probe("m", &root);
    auto* leaf = new Probe("l", mid);
    PointerEvent e;
    EXPECT_FALSE(leaf->previewEvent(&e));
    EXPECT_EQ((std::vector<std::string>{"preview r", "preview m", "preview l"}), journal);
    mid->bInputDisabled = true;
    journal.clear();
    EXPECT_TRUE(leaf->previewEvent(&e));
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(mid->bubbleEvent(&e));
}

}  // namespace
