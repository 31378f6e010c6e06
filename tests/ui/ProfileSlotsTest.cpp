// A ".pro" whose named profiles are not packed at the front (a file written by hand or damaged):
// loading packs them in order and the current index follows its profile.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/ProfileManager.h"
#include "engine/FileManager.h"
#include "engine/Product.h"
#include "support/TestFolder.h"

namespace {

// Writes a signed ".pro" with the given names per slot ("" = free) and current index.
void writeProfiles(const std::vector<const char16_t*>& names, int current) {
    std::vector<uint8_t> record(sizeof(ProfileManager));
    {
        ProfileManager m;
        for (size_t i = 0; i < 10; ++i) {
            m.profiles[i] = ProfileData();
            m.profiles[i].id = 0x1000u + uint32_t(i);
            m.profiles[i].score() = int(i) * 100;
            if (i < names.size()) setFixedText256(m.profiles[i].name, names[i]);
        }
        m.currentIndex = current;
        std::memcpy(record.data(), &m, record.size());
        // The destructor's save is replaced below.
    }
    FileManager::saveSignedFile(ProfileManager::getProfilesFolder(), ProfileManager::getProfilesFileName(),
                                getProductVersion(), record.data(), static_cast<int>(record.size()));
}

}  // namespace

TEST(ProfileSlots, LoadPacksNamedProfilesAndTheCurrentIndexFollows) {
    struct Case {
        std::vector<const char16_t*> names;
        int current;
        std::vector<const char16_t*> packed;
        std::vector<uint32_t> ids;
        int packedCurrent;
    };
    const Case cases[] = {
        // The current profile moves with its slot.
        {{u"Ann", u"", u"Bo", u"", u"", u"Cy"}, 5, {u"Ann", u"Bo", u"Cy"}, {0x1000, 0x1002, 0x1005}, 2},
        {{u"", u"", u"", u"Di"}, 3, {u"Di"}, {0x1003}, 0},
        {{u"Ann", u"", u"Bo"}, 0, {u"Ann", u"Bo"}, {0x1000, 0x1002}, 0},
        // A free current slot among the profiles gives way to the first profile.
        {{u"Ann", u"", u"Bo"}, 1, {u"Ann", u"Bo"}, {0x1000, 0x1002}, 0},
        // Already packed: nothing moves.
        {{u"Ann", u"Bo", u"Cy"}, 1, {u"Ann", u"Bo", u"Cy"}, {0x1000, 0x1001, 0x1002}, 1},
    };
    for (const Case& c : cases) {
        writeProfiles(c.names, c.current);
        ProfileManager m;
        ASSERT_EQ(m.countProfiles(), int(c.packed.size()));
        for (size_t i = 0; i < c.packed.size(); ++i) {
            EXPECT_EQ(m.getProfileName(int(i)), c.packed[i]) << i;
            EXPECT_EQ(m.profiles[i].id, c.ids[i]) << i;
            EXPECT_EQ(m.profiles[i].score(), int(c.ids[i] - 0x1000) * 100) << i;
        }
        EXPECT_EQ(m.currentIndex, c.packedCurrent);
        // The slots after the profiles are free and hold no copies.
        for (size_t i = c.packed.size(); i < 10; ++i) EXPECT_EQ(m.profiles[i].name[0], 0) << i;
        if (c.packed.size() < c.names.size() && c.names.size() > 1) {
            const uint8_t* last = reinterpret_cast<const uint8_t*>(&m.profiles[9]);
            for (size_t k = 0; k < sizeof(ProfileData); ++k) ASSERT_EQ(last[k], 0);
        }
    }
}

TEST(ProfileSlots, DeletingTheCurrentProfileAnnouncesTheNextOne) {
    ProfileManager m;
    m.addProfile(u"Ann");
    m.addProfile(u"Bo");
    m.addProfile(u"Cy");
    // A longer name than the screens let anyone type, in a slot that is not current.
    setFixedText256(m.profiles[2].name, u"ABCDEFGHIJKLMNOPQRS");
    m.currentIndex = 1;
    m.deleteProfile(1);
    // The successor is current, its name cut to sixteen characters as for any new current one.
    EXPECT_EQ(m.currentIndex, 1);
    EXPECT_EQ(m.getProfileName(1), u"ABCDEFGHIJKLMNOP");
    // Deleting another profile changes nothing about the current one.
    setFixedText256(m.profiles[1].name, u"ABCDEFGHIJKLMNOPQRS");
    m.addProfile(u"Di");
    m.currentIndex = 1;
    m.deleteProfile(0);
    EXPECT_EQ(m.getProfileName(0), u"ABCDEFGHIJKLMNOPQRS");
}
