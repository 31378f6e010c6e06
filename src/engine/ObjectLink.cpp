#include "engine/ObjectLink.h"

#include "engine/PointerEvent.h"
#include "engine/QelBase.h"

ObjectLink::ObjectLink(QelBase* holder, QelBase* target) : pOwnerObject(holder) {
    if (target) set(target);
}

ObjectLink::~ObjectLink() { set(nullptr); }

void ObjectLink::set(QelBase* target) {
    QelBase* old = pTarget;
    if (old) old->incomingLinks.removeChild(this);
    pTarget = target;
    if (target) target->incomingLinks.addChild(this);
    if (!old || target || !pOwnerObject) return;

    // Tell the holder that its link was cleared, as a pointer event with code 0.
    PointerEvent event;
    event.code = POINTEREVENT_LINKCLEARED;
    event.pTarget = pOwnerObject;
    event.pDispatcher = pointerDispatcherForEvents;
    event.param1 = reinterpret_cast<uintptr_t>(this);
    auto* holderOwner = dynamic_cast<QelBase*>(pOwnerObject->owner);
    if (holderOwner && holderOwner->previewEvent(&event)) return;
    if (!pOwnerObject->bInputDisabled && pOwnerObject->onEvent(&event)) return;
    if (holderOwner) holderOwner->bubbleEvent(&event);
}
