// The depth pass: sorting farthest first, stable for equal depths, registration and removal.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GameTestSupport.h"
#include "game/DepthManager.h"
#include "game/TrackObject.h"
#include "runtime/QelRuntime.h"

namespace {

// A track object that writes its name into a journal when the depth pass draws it.
class Marker : public TrackObject {
public:
    Marker(DepthManager* manager, std::vector<std::string>& journal, std::string name, float d)
        : TrackObject(manager), journal(journal), name(std::move(name)) {
        depth = d;
    }
    void renderAtDepth() override { journal.push_back(name); }
    std::vector<std::string>& journal;
    std::string name;
};

class DepthManagerTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
    }
    std::vector<std::string> pass(DepthManager& manager) {
        journal.clear();
        manager.update(0, 0);
        manager.render();
        return journal;
    }
    std::vector<std::string> journal;
};

using Names = std::vector<std::string>;

TEST_F(DepthManagerTest, DrawsFarthestFirstAndEqualDepthsInRegistrationOrder) {
    DepthManager manager;
    Marker a(&manager, journal, "a", -5), b(&manager, journal, "b", -15), c(&manager, journal, "c", -5), d(&manager, journal, "d", -10),
        e(&manager, journal, "e", -15);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(pass(manager), (Names{"a", "c", "d", "b", "e"})) << frame;
    // A car moving nearer passes the objects in front of it; ties keep the order they had.
    c.depth = -20;
    EXPECT_EQ(pass(manager), (Names{"a", "d", "b", "e", "c"}));
    a.depth = -15;
    EXPECT_EQ(pass(manager), (Names{"d", "a", "b", "e", "c"}));
    EXPECT_EQ(pass(manager), (Names{"d", "a", "b", "e", "c"}));
}

// A level just loaded registers its objects in the file's order: thousands in no order come out
// farthest first, equal depths in the order they were registered.
TEST_F(DepthManagerTest, AListInNoOrderIsSortedFarthestFirstKeepingTiesInOrder) {
    DepthManager manager;
    std::vector<std::unique_ptr<Marker>> markers;
    uint32_t r = 12345;
    for (int i = 0; i < 3000; ++i) {
        r = r * 1664525u + 1013904223u;
        markers.push_back(std::make_unique<Marker>(&manager, journal, std::to_string(i), -float(r >> 24 & 63)));
    }
    const Names drawn = pass(manager);
    ASSERT_EQ(drawn.size(), markers.size());
    for (size_t i = 1; i < drawn.size(); ++i) {
        const Marker& before = *markers[size_t(std::stoi(drawn[i - 1]))];
        const Marker& after = *markers[size_t(std::stoi(drawn[i]))];
        ASSERT_GE(before.depth, after.depth) << i;
        if (before.depth == after.depth) { ASSERT_LT(std::stoi(before.name), std::stoi(after.name)) << i; }
    }
}

TEST_F(DepthManagerTest, FewerThanTwoObjectsAreLeftAsTheyAre) {
    DepthManager manager;
    EXPECT_TRUE(pass(manager).empty());
    Marker a(&manager, journal, "a", 3);
    EXPECT_EQ(pass(manager), (Names{"a"}));
}

TEST_F(DepthManagerTest, AnObjectLeavesThePassWhenDeleted) {
    DepthManager manager;
    Marker a(&manager, journal, "a", -1);
    auto* b = new Marker(&manager, journal, "b", -2);
    Marker c(&manager, journal, "c", -3);
    EXPECT_EQ(b->depthManager, &manager);
    delete b;
    EXPECT_EQ(pass(manager), (Names{"a", "c"}));
    EXPECT_EQ(manager.objects.size(), 2u);
}

TEST_F(DepthManagerTest, AManagerDeletedFirstLetsGoOfItsObjects) {
    auto* manager = new DepthManager();
    auto* a = new Marker(manager, journal, "a", -1);
    delete manager;
    EXPECT_EQ(a->depthManager, nullptr);
    delete a;  // nothing left to leave
}

TEST_F(DepthManagerTest, ObjectsJoinTheCurrentHostsManager) {
    StubHost host;
    TrackObject joined;
    EXPECT_EQ(joined.depthManager, &host.depthManager);
    ASSERT_EQ(host.depthManager.objects.size(), 1u);
    LevelHost::setCurrent(nullptr);
    TrackObject alone;
    EXPECT_EQ(alone.depthManager, nullptr);
    EXPECT_EQ(host.depthManager.objects.size(), 1u);
}

TEST_F(DepthManagerTest, RemovingAnObjectTwiceIsFatal) {
    DepthManager manager;
    Marker a(&manager, journal, "a", 0);
    manager.removeDepth(&a);
    EXPECT_EQ(a.depthManager, nullptr);
    EXPECT_EXIT(manager.removeDepth(&a), testing::ExitedWithCode(255), "");
    const std::string log = logText();
    EXPECT_NE(log.find("Error: Request to remove depth not present in list."), std::string::npos);
    EXPECT_NE(log.find("Function: DepthManager::removeDepth()"), std::string::npos);
    EXPECT_NE(log.find("Line: 71"), std::string::npos);
}

}  // namespace
