// The class numbers of the whole program. Packets carry classes as these numbers, so two programs
// understand each other only when both register exactly the same names: every class registered
// beyond the engine's own shifts the numbers of all classes sorted after it.

#include <gtest/gtest.h>

#include <map>

#include "MenuTestFixture.h"
#include "ui/ContextMessageBox.h"
#include "ui/FadingPicture.h"
#include "ui/MenuItem.h"
#include "ui/TextLabel.h"
#include "engine/ClassRecord.h"
#include "engine/ClassRegistry.h"
#include "engine/RPCClassRecord.h"
#include "media/Renderable.h"

namespace {

struct Registered {
    const char16_t* name;
    uint32_t id;
    int number;
    const char16_t* parent;  // null for a root class
    bool factory;
};

// Sorted by UTF-16 code units: upper case before "_" before lower case.
const Registered kClasses[] = {
    {u"BasicLink", 0x1d88b430u, 0, nullptr, true},
    {u"Camera", 0xa3626d09u, 1, u"QelBase", true},
    {u"Console", 0x307201d3u, 2, u"Context", false},
    {u"Context", 0x30726545u, 3, u"QelBase", true},
    {u"ContextBlender", 0x7ebfa6c1u, 4, u"Context", true},
    {u"ContextManager", 0xb4734c80u, 5, u"Context", false},
    {u"ErrorManager", 0x2a617545u, 6, nullptr, false},
    {u"FileManager", 0x8bade65bu, 7, nullptr, false},
    {u"FontCache", 0x71a2052bu, 8, u"QelBase", false},
    {u"FontCacheEntry", 0xda19e11du, 9, u"QelBase", false},
    {u"FontGDI", 0x1760950bu, 10, u"QelBase", false},
    {u"FontQuad", 0x03798622u, 11, u"QelBase", false},
    {u"Logger", 0xb95aee60u, 12, nullptr, false},
    {u"Property", 0x27124125u, 13, u"QelBase", false},
    {u"PropertyContainer", 0x96027d88u, 14, u"Property", false},
    {u"PropertyDWORD", 0x5cf15265u, 15, u"Property", false},
    {u"PropertyDouble", 0xfce30b20u, 16, u"Property", false},
    {u"PropertyFloat", 0x5d21919bu, 17, u"Property", false},
    {u"PropertyInt", 0xc98c3030u, 18, u"Property", false},
    {u"PropertyPointer", 0x342cd926u, 19, u"Property", false},
    {u"PropertyUColor", 0x216b6859u, 20, u"Property", false},
    {u"Qel", 0x00016602u, 21, nullptr, false},
    {u"QelAudio", 0x20558fb4u, 22, nullptr, false},
    {u"QelBase", 0x4e8e73ddu, 23, u"BasicLink", true},
    {u"QelBasePointer", 0x430dccdeu, 24, u"QelBase", true},
    {u"QelGraphics", 0xa71b5113u, 25, nullptr, false},
    {u"QelInput", 0x20e2b1b2u, 26, nullptr, false},
    {u"QelNetwork", 0x50841cecu, 27, nullptr, false},
    {u"Quad", 0x002e694bu, 28, u"Skin", true},
    {u"RPC", 0x00016765u, 29, nullptr, true},
    {u"Renderable", 0xca6316f4u, 30, u"QelBase", true},
    {u"ResourceManager", 0xa220f4c3u, 31, nullptr, false},
    {u"Skin", 0x002f5895u, 32, u"QelBase", true},
    {u"Sound", 0x061cd029u, 33, u"QelBase", false},
    {u"SoundChannel", 0x014dcbe2u, 34, u"QelBase", false},
    {u"Texture", 0x36721011u, 35, u"QelBase", false},
    {u"TimeKeeper", 0xc793726bu, 36, nullptr, false},
    {u"VertexBuffer", 0x92258818u, 37, u"QelBase", true},
    {u"_02468b57", 0x02468b57u, 38, u"RPC", true},
    {u"_04790976", 0x04790976u, 39, u"QelBase", true},
    {u"_21ae2a05", 0x21ae2a05u, 40, u"RPC", true},
    {u"_4229753a", 0x4229753au, 41, u"Context", true},
    {u"_4472ef3a", 0x4472ef3au, 42, u"RPC", true},
    {u"_67719ab0", 0x67719ab0u, 43, u"RPC", true},
    {u"_7b13321b", 0x7b13321bu, 44, u"RPC", true},
    {u"_98af025c", 0x98af025cu, 45, u"RPC", true},
    {u"_9a4605a1", 0x9a4605a1u, 46, u"RPC", true},
    {u"_ae3f6255", 0xae3f6255u, 47, u"RPC", true},
    {u"_cfad751b", 0xcfad751bu, 48, u"RPC", true},
};

TEST(ClassNumbering, TheProgramRegistersExactlyTheEngineClassesWithTheirNumbers) {
    ClassRegistry& registry = ClassRegistry::get();
    registry.assignClassIDs();
    EXPECT_FALSE(registry.bBadClasses);
    ASSERT_EQ(registry.sorted.size(), std::size(kClasses));
    for (const Registered& expected : kClasses) {
        SCOPED_TRACE(wideToUtf8(expected.name));
        const ClassRecord* record = registry.findByNumber(expected.number);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->name, expected.name);
        EXPECT_EQ(record->id, expected.id);
        EXPECT_EQ(record->classID, expected.number);
        EXPECT_EQ(registry.findById(expected.id), record);
        if (expected.parent) {
            ASSERT_NE(record->parent, nullptr);
            EXPECT_EQ(record->parent->name, expected.parent);
        } else {
            EXPECT_EQ(record->parent, nullptr);
        }
        // Calls are made by their own factory, as they are not objects of the tree.
        const auto* call = dynamic_cast<const RPCClassRecord*>(record);
        EXPECT_EQ(record->factory != nullptr || (call && call->callFactory), expected.factory);
    }
}

// The game's classes answer the record of their nearest registered base.
TEST_F(MenuTest, GameClassesAnswerTheirNearestRegisteredBase) {
    TextLabel label(0, 0, 0, u"text", nullptr, 0xFFFFFFFF);
    FadingPicture picture;
    MenuItem item(0, 0, 0, u"caption", u"hint");
    for (QelBase* object : std::initializer_list<QelBase*>{&label, &picture, &item}) {
        EXPECT_EQ(object->getClass(), &Renderable::classRecord);
        EXPECT_TRUE(object->isKindOf(&QelBase::classRecord));
    }
    ContextMessageBox box;
    EXPECT_EQ(box.getClass(), &ContextMenu::classRecord);
    EXPECT_EQ(box.getClass()->name, u"_4229753a");
    EXPECT_TRUE(box.isKindOf(&Context::classRecord));
}

}  // namespace
