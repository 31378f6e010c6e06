#include "engine/Property.h"

#include "engine/BasicLinkIterator.h"
#include "engine/Packet.h"

QEL_IMPLEMENT_CLASS(Property, &QelBase::classRecord, nullptr)

Property::Property(WStringView propertyName, int propertyFlags) : flags(propertyFlags), name(propertyName) {}

void Property::netSerialize(Packet& packet) {
    if ((flags & FLAG_SKIP_REGISTERED_ONLY) && (packet.mode & Packet::PACKET_REGISTERED_ONLY)) return;
    if ((flags & FLAG_SKIP_RAW_POINTERS) && (packet.mode & Packet::PACKET_RAW_POINTERS)) return;
    for (BasicLink* child = firstChild; child; child = child->next) static_cast<QelBase*>(child)->netSerialize(packet);
}

WString Property::describeText() { return format(u"%s:%s", name, toText()); }

WString Property::numberText(double value) {
    WString text = format(u"%.9lf", value);
    if (text.find(u'.') != WString::npos) {
        while (!text.empty() && text.back() == u'0') text.pop_back();
        if (!text.empty() && text.back() == u'.') text.push_back(u'0');
    }
    return text;
}
