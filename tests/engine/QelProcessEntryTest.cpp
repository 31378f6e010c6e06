#include "engine/QelProcessEntry.h"

#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace {

QelProcessEntry* child(BasicLink* entry, int index) {
    BasicLink* c = entry->firstChild;
    while (c && index-- > 0) c = c->next;
    return static_cast<QelProcessEntry*>(c);
}

TEST(QelProcessEntryTest, ProcessListedBeforeItsParentEndsUnderIt) {
    QelProcessEntry* root = QelProcessEntry::buildTree({{10, 20, "child"}, {1, 0, "init"}, {20, 1, "parent"}, {11, 20, "second"}});
    ASSERT_EQ(root->countChildren(), 1);
    QelProcessEntry* init = child(root, 0);
    EXPECT_EQ(init->process.exeName, "init");
    ASSERT_EQ(init->countChildren(), 1);
    QelProcessEntry* parent = child(init, 0);
    EXPECT_EQ(parent->process.exeName, "parent");
    ASSERT_EQ(parent->countChildren(), 2);
    EXPECT_EQ(child(parent, 0)->process.exeName, "child");
    EXPECT_EQ(child(parent, 1)->process.exeName, "second");
    EXPECT_EQ(root->find(11), child(parent, 1));
    EXPECT_EQ(root->find(99), nullptr);
    delete root;
}

TEST(QelProcessEntryTest, ReusedIdsNeverMakeAProcessItsOwnAncestor) {
    struct Case {
        std::vector<platform::ProcessInfo> list;
        int expectedEntries;
    };
    const Case cases[] = {
        {{{5, 5, "self"}}, 1},
        {{{5, 7, "a"}, {7, 5, "b"}}, 2},
        {{{5, 7, "a"}, {7, 9, "b"}, {9, 5, "c"}}, 3},
        {{{5, 1, "a"}, {6, 5, "b"}, {5, 6, "again"}}, 3},
    };
    for (const Case& c : cases) {
        QelProcessEntry* root = QelProcessEntry::buildTree(c.list);
        int count = 0;
        std::vector<BasicLink*> pending{root};
        while (!pending.empty() && count < 100) {
            BasicLink* e = pending.back();
            pending.pop_back();
            for (BasicLink* k = e->firstChild; k; k = k->next) pending.push_back(k), ++count;
        }
        EXPECT_EQ(count, c.expectedEntries);
        root->dump(u"");  // terminates
        delete root;
    }
}

class ProcessTreeLogTest : public EngineTest {};

TEST_F(ProcessTreeLogTest, DumpDrawsTheTreeWithBranchesForSiblings) {
    start();
    QelProcessEntry* root = QelProcessEntry::buildTree({{1, 0, "init"}, {2, 1, "a"}, {3, 2, "a1"}, {4, 1, "b"}});
    root->dump(u"");
    delete root;
    stop();
    const std::string log = logText();
    size_t at = findAfter(log, "QelProcessEntry::dump(): |_ \r\n");
    at = findAfter(log, "QelProcessEntry::dump():   |_ init\r\n", at);
    at = findAfter(log, "QelProcessEntry::dump():     |_ a\r\n", at);
    at = findAfter(log, "QelProcessEntry::dump():     | |_ a1\r\n", at);
    at = findAfter(log, "QelProcessEntry::dump():     |_ b\r\n", at);
    EXPECT_NE(at, std::string::npos) << log;
}

}  // namespace
