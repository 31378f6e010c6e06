#include "engine/PropertyPointer.h"

#include <cstdint>

#include "engine/Packet.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"

QEL_IMPLEMENT_CLASS(PropertyPointer, &Property::classRecord, nullptr)

PropertyPointer::PropertyPointer(WStringView n, int f, QelBase** l, ClassRecord* c) : Property(n, f), location(l), pointsTo(c) {}

void PropertyPointer::serializeValue(Packet& packet) {
    if (flags & FLAG_RAW_POINTER)
        packet.doPointer(location);
    else if (flags & FLAG_RESOURCE)
        packet.doResourcePointer2(location);
    else
        packet.doPointer2(location);
}

WString PropertyPointer::toText() {
    if (!*location) return u"NULL";
    if (qel && qel->pResourceManager) {
        WString resourceName = qel->pResourceManager->getName(*location);
        if (!resourceName.empty()) return resourceName;
    }
    return format(u"%08llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(*location)));
}

void PropertyPointer::fromText(WStringView text) {
    if (!qel || !qel->pResourceManager) return;
    if (QelBase* resource = qel->pResourceManager->find(false, text)) setPointer(resource);
}

WString PropertyPointer::describeText() {
    if (!*location) return format(u"%s:NULL", name);
    return format(u"%s:%s%d", name, (*location)->getClass()->name, (*location)->objectUID);
}

void PropertyPointer::setPointer(QelBase* value) { *location = value; }
