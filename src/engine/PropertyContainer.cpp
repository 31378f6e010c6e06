#include "engine/PropertyContainer.h"

#include "engine/Packet.h"
#include "engine/PropertyDWORD.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"

QEL_IMPLEMENT_CLASS(PropertyContainer, &Property::classRecord, nullptr)

PropertyContainer::PropertyContainer(WStringView propertyName, int propertyFlags) : Property(propertyName, propertyFlags) {}

void PropertyContainer::serializeValue(Packet& packet) {
    for (BasicLink* link = firstChild; link; link = link->next) {
        auto* child = static_cast<Property*>(link);
        if (child->flags & (FLAG_SKIP_REGISTERED_ONLY | FLAG_SKIP_RAW_POINTERS)) continue;
        if ((child->flags & FLAG_WRITE_ONLY) && !packet.bWriting) continue;
        if ((child->flags & FLAG_READ_ONLY) && packet.bWriting) continue;
        child->serializeValue(packet);
    }
}

WString PropertyContainer::toText() { return firstChild ? u"..." : u"(empty)"; }

WString PropertyContainer::describeText() {
    WString text = name + u"(";
    for (BasicLink* link = firstChild; link; link = link->next) {
        if (link != firstChild) text += u",";
        text += static_cast<Property*>(link)->describeText();
    }
    return text + u")";
}

PropertyInt* addPropertyInt(PropertyContainer* group, WStringView name, int32_t* location) {
    auto* p = new PropertyInt(name, 0, location);
    group->addChild(p);
    return p;
}

PropertyDouble* addPropertyDouble(PropertyContainer* group, WStringView name, double* location) {
    auto* p = new PropertyDouble(name, Property::FLAG_PACKED_FLOAT, location);
    group->addChild(p);
    return p;
}

PropertyDWORD* addPropertyDWORD(PropertyContainer* group, WStringView name, uint32_t* location) {
    auto* p = new PropertyDWORD(name, 0, location);
    group->addChild(p);
    return p;
}
