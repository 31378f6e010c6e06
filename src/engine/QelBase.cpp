#include "engine/QelBase.h"

#include "engine/BasicLinkIterator.h"
#include "engine/ClassRegistry.h"
#include "engine/Context.h"
#include "engine/ErrorManager.h"
#include "engine/ObjectLink.h"
#include "engine/PointerEvent.h"
#include "engine/Qel.h"

QEL_IMPLEMENT_CLASS(QelBase, &BasicLink::classRecord, QEL_FACTORY(QelBase))

PointerDispatcher* pointerDispatcherForEvents = nullptr;

QelBase::QelBase() : objectListEntry(this) { Qel::objectList.addChild(&objectListEntry); }

QelBase::~QelBase() {
    if (objectUID > 0 && deleteRegisteredHook && deleteRegisteredHook(this))
        QEL_FATAL(u"QelBase::~QelBase", u"Deletion of registered object %d is not allowed (use NETDELETE instead).", objectUID);
    while (lastChild) lastChild->release();
    if (objectListEntry.owner) objectListEntry.owner->removeChild(&objectListEntry);
    while (incomingLinks.firstChild) static_cast<ObjectLink*>(incomingLinks.firstChild)->set(nullptr);
}

void QelBase::release() {
    if (objectUID > 0 && netReleaseHook && netReleaseHook(this)) return;
    delete this;
}

void QelBase::update(double time, double dt) {
    StateBase::tick(time, dt);
    updateChildren(time, dt);
}

void QelBase::render() { renderChildren(); }

void QelBase::updateChildren(double time, double dt) {
    BasicLinkIterator::forEach(this, ITERATE_RELEASE_DEAD, [&](BasicLink* child) { static_cast<QelBase*>(child)->update(time, dt); });
}

void QelBase::renderChildren() {
    BasicLinkIterator::forEach(this, ITERATE_RELEASE_DEAD, [](BasicLink* child) { static_cast<QelBase*>(child)->render(); });
}

QelBase* QelBase::findObjectUnderPointer(int& skip) {
    if (bInputDisabled) return nullptr;
    QelBase* answer = nullptr;
    BasicLinkIterator it(this, ITERATE_BACKWARDS);
    for (it.next(); !it.bAtEnd && !answer; it.next()) {
        QelBase* hit = static_cast<QelBase*>(it.current)->findObjectUnderPointer(skip);
        if (hit && --skip < 0) answer = hit;
    }
    if (answer) return answer;
    if (isUnderPointer() && --skip < 0) return this;
    return nullptr;
}

bool QelBase::isUnderPointer() { return false; }

bool QelBase::previewEvent(PointerEvent* event) {
    if (bInputDisabled) return true;
    if (auto* o = static_cast<QelBase*>(owner); o && o->previewEvent(event)) return true;
    return onPreviewEvent(event);
}

bool QelBase::bubbleEvent(PointerEvent* event) {
    if (bInputDisabled) return false;
    if (onBubbleEvent(event)) return true;
    auto* o = static_cast<QelBase*>(owner);
    return o ? o->bubbleEvent(event) : false;
}

bool QelBase::onPreviewEvent(PointerEvent* event) { return pEventHandler ? pEventHandler->onPreviewEvent(event) : false; }
bool QelBase::onEvent(PointerEvent* event) { return pEventHandler ? pEventHandler->onEvent(event) : false; }
bool QelBase::onBubbleEvent(PointerEvent* event) { return pEventHandler ? pEventHandler->onBubbleEvent(event) : false; }

void QelBase::releaseChildren() {
    while (lastChild) lastChild->release();
}

BasicLink* QelBase::addChild(BasicLink* child) { return BasicLink::addChild(child); }
void QelBase::removeChild(BasicLink* child) { BasicLink::removeChild(child); }

Context* QelBase::findContext() {
    for (BasicLink* o = this; o; o = o->owner) {
        auto* object = static_cast<QelBase*>(o);
        if (object->isKindOf(&Context::classRecord)) return static_cast<Context*>(object);
    }
    QEL_FATAL(u"QelBase::findContext", u"Could not find any Context object.");
}

// The property tree and packet serialisation of objects join with the Property family.
void QelBase::describe(PropertyContainer* group) {}
PropertyContainer* QelBase::createPropertyTree() { return nullptr; }
void QelBase::netSerialize(Packet& packet) {}
void QelBase::netSerializeChildren(Packet& packet) {}
