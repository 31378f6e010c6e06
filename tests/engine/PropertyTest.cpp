#include <gtest/gtest.h>

#include "FileTestEnvironment.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyDWORD.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyFloat.h"
#include "engine/PropertyInt.h"
#include "engine/PropertyPointer.h"
#include "engine/PropertyUColor.h"
#include "engine/QelBasePointer.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes serialize(PropertyContainer& group, int mode = 0) {
    Packet p(mode, 1024);
    group.serializeValue(p);
    return Bytes(p.start, p.cursor);
}

std::map<int, QelBase*>* registry = nullptr;

}  // namespace

TEST(Property, GroupLeavesOutFlaggedChildren) {
    int32_t uid = 9, state = 3;
    double left = 2.0;
    PropertyContainer group(u"g", 0);
    group.addChild(new PropertyInt(u"objectUID", 3, &uid));
    group.addChild(new PropertyInt(u"state", 0, &state));
    group.addChild(new PropertyDouble(u"stateLeft", 1, &left));
    EXPECT_EQ(serialize(group), Bytes{0x03});

    int32_t writeOnly = 1, readOnly = 2;
    PropertyContainer directions(u"d", 0);
    directions.addChild(new PropertyInt(u"w", Property::FLAG_WRITE_ONLY, &writeOnly));
    directions.addChild(new PropertyInt(u"r", Property::FLAG_READ_ONLY, &readOnly));
    Packet p(0, 64);
    directions.serializeValue(p);
    EXPECT_EQ(Bytes(p.start, p.cursor), Bytes{0x01});
    p.rewindToRead();
    writeOnly = readOnly = 0;
    directions.serializeValue(p);
    EXPECT_EQ(writeOnly, 0);
    EXPECT_EQ(readOnly, 1);
}

TEST(Property, IntEncodings) {
    int32_t v = 300;
    PropertyContainer unsignedGroup(u"u", 0), signedGroup(u"s", 0);
    unsignedGroup.addChild(new PropertyInt(u"v", Property::FLAG_UNSIGNED, &v));
    signedGroup.addChild(new PropertyInt(u"v", 0, &v));
    EXPECT_EQ(serialize(unsignedGroup), (Bytes{0xAC, 0x02}));
    EXPECT_EQ(serialize(signedGroup), (Bytes{0xAC, 0x04}));
}

TEST(Property, DoublesTravelAsFloats) {
    for (int flags : {int(Property::FLAG_PACKED_FLOAT), 0}) {
        double value = 0.1;
        PropertyContainer group(u"g", 0);
        group.addChild(new PropertyDouble(u"d", flags, &value));
        Packet p(0, 64);
        group.serializeValue(p);
        EXPECT_EQ(value, static_cast<double>(flags ? value : 0.1f)) << "writing leaves float precision";
        EXPECT_EQ(p.cursor - p.start, flags ? 2 : 4);
        p.rewindToRead();
        value = 0;
        group.serializeValue(p);
        if (flags)
            EXPECT_NEAR(value, 0.0999756, 1e-7);
        else
            EXPECT_EQ(value, static_cast<double>(0.1f));
    }
}

TEST(Property, RawWordsAndFloats) {
    uint32_t word = 0x11223344, colour = 0xFF804020;
    float f = 1.0f, packed = -2.5f;
    PropertyContainer group(u"g", 0);
    addPropertyDWORD(&group, u"word", &word);
    group.addChild(new PropertyUColor(u"colour", 0, &colour));
    group.addChild(new PropertyFloat(u"f", 0, &f));
    group.addChild(new PropertyFloat(u"p", Property::FLAG_PACKED_FLOAT, &packed));
    EXPECT_EQ(serialize(group), (Bytes{0x44, 0x33, 0x22, 0x11, 0x20, 0x40, 0x80, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0x00, 0xC1}));
}

TEST(Property, Texts) {
    EXPECT_EQ(Property::numberText(3.0), u"3.0");
    EXPECT_EQ(Property::numberText(-0.25), u"-0.25");
    EXPECT_EQ(Property::numberText(1.5), u"1.5");
    PropertyContainer empty(u"g", 0);
    EXPECT_EQ(empty.describeText(), u"g()");
    EXPECT_EQ(empty.toText(), u"(empty)");

    int32_t i = 5;
    double d = 2.0;
    uint32_t w = 0xAB;
    PropertyContainer group(u"grp", 0);
    PropertyInt* pi = addPropertyInt(&group, u"i", &i);
    PropertyDouble* pd = addPropertyDouble(&group, u"d", &d);
    addPropertyDWORD(&group, u"w", &w);
    EXPECT_EQ(pd->flags, Property::FLAG_PACKED_FLOAT);
    EXPECT_EQ(group.describeText(), u"grp(i:5,d:2.0,w:000000ab)");
    EXPECT_EQ(group.toText(), u"...");
    pi->fromText(u"-17");
    pi->fromText(u"nonsense");
    EXPECT_EQ(i, -17);
    pd->fromText(u"0.5");
    EXPECT_EQ(d, 0.5);
}

TEST(Property, PointerTextsAndResources) {
    FileTestEnvironment env;
    QelBase cargo, loose;
    env.engine->pResourceManager->addResource(&cargo, u"cargo");
    QelBase* pointer = nullptr;
    PropertyPointer property(u"p", Property::FLAG_RESOURCE, &pointer, &QelBase::classRecord);
    EXPECT_EQ(property.toText(), u"NULL");
    EXPECT_EQ(property.describeText(), u"p:NULL");
    property.fromText(u"unknown");
    EXPECT_EQ(pointer, nullptr);
    property.fromText(u"cargo");
    EXPECT_EQ(pointer, &cargo);
    EXPECT_EQ(property.toText(), u"cargo");
    cargo.objectUID = 4;
    EXPECT_EQ(property.describeText(), u"p:QelBase4");

    PropertyContainer group(u"g", 0);
    group.addChild(new PropertyPointer(u"p", Property::FLAG_RESOURCE, &pointer, &QelBase::classRecord));
    Packet p(0, 64);
    group.serializeValue(p);
    EXPECT_EQ(p.cursor - p.start, 6);
    p.rewindToRead();
    pointer = nullptr;
    group.serializeValue(p);
    EXPECT_EQ(pointer, &cargo);

    pointer = &loose;
    EXPECT_GE(property.toText().size(), 8u);
    EXPECT_NE(property.toText(), u"NULL");
    EXPECT_EXIT(serialize(group), testing::ExitedWithCode(255), "") << "an unregistered resource cannot be named";
}

TEST(QelBaseSerialization, StateAndChildReferencesRoundTrip) {
    std::map<int, QelBase*> objects;
    registry = &objects;
    Packet::findObjectHook = [](int uid) -> QelBase* {
        auto it = registry->find(uid);
        return it == registry->end() ? nullptr : it->second;
    };
    QelBase source;
    source.gotoState(7, 0);
    source.timeInState = 1.5;
    source.stateLeft = 3.0;
    auto* a = new QelBase;
    auto* b = new QelBase;
    auto* skipped = new QelBase;
    auto* unregistered = new QelBase;
    a->objectUID = 10;
    b->objectUID = 11;
    skipped->objectUID = 12;
    skipped->bSkipNet = true;
    for (QelBase* child : {a, skipped, unregistered, b}) source.addChild(child);
    objects = {{10, a}, {11, b}, {12, skipped}};

    for (int mode : {1, 5}) {
        Packet p(mode, 1024);
        source.netSerialize(p);
        p.rewindToRead();
        QelBase copy;
        for (QelBase* child : {a, b}) source.removeChild(child);
        copy.netSerialize(p);
        EXPECT_EQ(p.cursor - p.start, p.dataSize);
        EXPECT_EQ(copy.state, 7);
        EXPECT_EQ(copy.timeInState, 1.5);
        EXPECT_EQ(copy.stateLeft, 0.0) << "flag 1 keeps stateLeft out";
        ASSERT_EQ(copy.countChildren(), 2);
        EXPECT_EQ(copy.firstChild, a);
        EXPECT_EQ(copy.lastChild, b);
        for (QelBase* child : {a, b}) copy.removeChild(child);
        source.prependChild(a);
        source.addChild(b);
    }

    QelBasePointer holder;
    holder.pObject = b;
    Packet p(1, 256);
    holder.netSerializeChildren(p);
    p.rewindToRead();
    QelBasePointer other;
    other.netSerializeChildren(p);
    EXPECT_EQ(other.pObject, b);
    EXPECT_EQ(other.countChildren(), 0);
    Packet::findObjectHook = nullptr;
}

TEST(QelBaseSerialization, PropertyTreeNamesTheClass) {
    QelBase object;
    PropertyContainer* tree = object.createPropertyTree();
    EXPECT_EQ(tree->name.substr(0, 9), u"QelBase (");
    EXPECT_EQ(tree->describeText(), tree->name + u"(objectUID:-1,StateBase(state:0,timeInState:0.0,stateLeft:0.0,stateGoto:0))");
    delete tree;
}

TEST(QelBaseSerialization, BadMarkerIsRefused) {
    QelBase object;
    Packet p(5, 64);
    object.netSerialize(p);
    p.start[3] ^= 1;  // after state (1 byte) and timeInState (2 bytes): the marker
    p.rewindToRead();
    QelBase copy;
    EXPECT_EXIT(copy.netSerialize(p), testing::ExitedWithCode(255), "");
    p.bFatalOnBadData = false;
    copy.netSerialize(p);
    EXPECT_TRUE(p.bBadData);
}

TEST(Property, NetSerializeOfAFlaggedPropertyFollowsThePacketMode) {
    // A property's own netSerialize runs its children's, unless its flags meet the packet's mode.
    struct Probe : QelBase {
        void netSerialize(Packet& packet) override { ++calls; }
        int calls = 0;
    };
    for (const auto& [flags, mode, expected] : {std::tuple{1, 1, 0}, {1, 2, 1}, {2, 2, 0}, {2, 1, 1}, {0, 3, 1}}) {
        Property property(u"p", flags);
        auto* probe = new Probe;
        property.addChild(probe);
        Packet p(mode, 16);
        property.netSerialize(p);
        EXPECT_EQ(probe->calls, expected) << flags << " " << mode;
    }
}
