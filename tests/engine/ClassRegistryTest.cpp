#include <gtest/gtest.h>

#include <map>

#include "engine/BasicLink.h"
#include "engine/ClassRecord.h"
#include "engine/ClassRegistry.h"
#include "engine/QelBase.h"

namespace {

TEST(ClassRecord, IdIsTheNameHash) {
    EXPECT_EQ(108966u, ClassRecord::hashName(u"abc"));
    EXPECT_EQ(0x1D88B430u, ClassRecord::hashName(u"BasicLink"));
    EXPECT_EQ(0x1D88B430u, BasicLink::classRecord.id);
    EXPECT_EQ(0u, ClassRecord::hashName(u""));
}

TEST(ClassRecord, KindTestWalksParents) {
    EXPECT_TRUE(QelBase::classRecord.isKindOf(&QelBase::classRecord));
    EXPECT_TRUE(QelBase::classRecord.isKindOf(&BasicLink::classRecord));
    EXPECT_FALSE(BasicLink::classRecord.isKindOf(&QelBase::classRecord));
    EXPECT_EQ(nullptr, BasicLink::classRecord.parent);
}

TEST(ClassRegistry, RegisteredIdsAndNamesAreUnique) {
    std::map<uint32_t, WString> ids;
    std::map<WString, int> names;
    for (ClassRecord* r = ClassRegistry::get().first; r; r = r->next) {
        EXPECT_TRUE(ids.emplace(r->id, r->name).second) << wideToUtf8(r->name) << " shares its id with " << wideToUtf8(ids[r->id]);
        EXPECT_EQ(1, ++names[r->name]) << wideToUtf8(r->name);
        // Fixed-id classes are named after their id.
        if (!r->name.empty() && r->name[0] == u'_') EXPECT_EQ(format(u"_%08x", r->id), r->name);
        else EXPECT_EQ(ClassRecord::hashName(r->name), r->id) << wideToUtf8(r->name);
    }
}

// A registry of its own, so that sorting and duplicate detection can be seen in isolation.
struct LocalRegistry {
    explicit LocalRegistry(std::initializer_list<const char16_t*> names) {
        for (const char16_t* n : names) records.push_back(std::make_unique<ClassRecord>(ClassRecord::hashName(n), n, nullptr, nullptr));
        // The records joined the process registry; move them into a registry of our own.
        ClassRegistry& global = ClassRegistry::get();
        for (size_t i = 0; i < records.size(); ++i) global.first = global.first->next;
        for (auto& r : records) {
            r->next = registry.first;
            registry.first = r.get();
        }
    }
    std::vector<std::unique_ptr<ClassRecord>> records;
    ClassRegistry registry;
};

TEST(ClassRegistry, NumbersByNameInCodeUnitOrder) {
    LocalRegistry local({u"b", u"a", u"Z", u"ab"});
    local.registry.assignClassIDs();
    EXPECT_FALSE(local.registry.bBadClasses);
    std::vector<WString> order;
    for (ClassRecord* r : local.registry.sorted) order.push_back(r->name);
    EXPECT_EQ((std::vector<WString>{u"Z", u"a", u"ab", u"b"}), order);
    EXPECT_EQ(1, local.records[1]->classID);  // "a"
    EXPECT_EQ(local.records[2].get(), local.registry.findByNumber(0));
    EXPECT_EQ(nullptr, local.registry.findByNumber(4));
    EXPECT_EQ(local.records[0].get(), local.registry.findById(ClassRecord::hashName(u"b")));
}

TEST(ClassRegistry, SingleClassIsNumberedZeroAndSecondCallChangesNothing) {
    LocalRegistry local({u"Only"});
    local.registry.assignClassIDs();
    EXPECT_EQ(0, local.records[0]->classID);
    local.records[0]->classID = 7;
    local.registry.assignClassIDs();
    EXPECT_EQ(7, local.records[0]->classID);
}

TEST(ClassRegistry, DuplicateNamesAreFlaggedAndNumberingCompletes) {
    LocalRegistry local({u"x", u"dup", u"a", u"dup"});
    local.registry.assignClassIDs();
    EXPECT_TRUE(local.registry.bBadClasses);
    for (auto& r : local.records) EXPECT_GE(r->classID, 0);
}

}  // namespace
