#include "engine/QelBasePointer.h"

#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"

QEL_IMPLEMENT_CLASS(QelBasePointer, &QelBase::classRecord, QEL_FACTORY(QelBasePointer))

void QelBasePointer::describe(PropertyContainer* group) {
    QelBase::describe(group);
    group->addChild(new PropertyPointer(u"pObject", 0, &pObject, &QelBase::classRecord));
}

void QelBasePointer::netSerializeChildren(Packet& packet) {
    QelBase::netSerializeChildren(packet);
    packet.doPointer2(&pObject);
}
