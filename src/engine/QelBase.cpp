#include "engine/QelBase.h"

#include "engine/BasicLinkIterator.h"
#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/ObjectLink.h"
#include "engine/PointerEvent.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
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

void QelBase::describe(PropertyContainer* group) {
    group->addChild(new PropertyInt(u"objectUID", Property::FLAG_SKIP_REGISTERED_ONLY | Property::FLAG_SKIP_RAW_POINTERS, &objectUID));
    auto* stateGroup = new PropertyContainer(u"StateBase", 0);
    group->addChild(stateGroup);
    StateBase::describe(stateGroup);
}

PropertyContainer* QelBase::createPropertyTree() {
    auto* tree = new PropertyContainer(getClass()->name + format(u" (%08llx)", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this))), 0);
    describe(tree);
    return tree;
}

namespace {

// The has-children bit and the child references, ended by a null reference. 'keep' selects the
// children written.
template <class Keep>
void serializeChildReferences(QelBase* self, Packet& packet, Keep keep) {
    uint8_t hasChildren = self->firstChild ? 1 : 0;
    packet.doBit(&hasChildren, 0);
    if (!(hasChildren & 1)) return;
    if (packet.bWriting) {
        for (BasicLink* link = self->firstChild; link; link = link->next) {
            auto* child = static_cast<QelBase*>(link);
            if (keep(child)) packet.doPointer2(&child);
        }
        QelBase* end = nullptr;
        packet.doPointer2(&end);
        return;
    }
    for (;;) {
        QelBase* child = nullptr;
        if (!packet.doPointer2(&child) || packet.bBadData) return;
        if (!packet.bFatalOnBadData && (child == self || child->owner)) {
            // Outside data must not link an object twice or into itself.
            packet.bBadData = true;
            return;
        }
        self->addChild(child);
    }
}

}  // namespace

void QelBase::netSerialize(Packet& packet) {
    PropertyContainer* tree = createPropertyTree();
    tree->serializeValue(packet);
    delete tree;
    if (packet.mode & Packet::PACKET_DEBUG_MARKERS) {
        uint32_t marker = Packet::MARKER;
        packet.doRawWord(&marker);
        if (!packet.bWriting && marker != 0xfefdfcfb && !packet.bBadData) packet.badData(u"QelBase::netSerialize", u"marker == 0xfefdfcfb");
    }
    const bool registeredOnly = (packet.mode & Packet::PACKET_REGISTERED_ONLY) != 0;
    serializeChildReferences(this, packet, [&](QelBase* child) { return !(registeredOnly && child->objectUID <= 0) && !child->bSkipNet; });
}

void QelBase::netSerializeChildren(Packet& packet) {
    serializeChildReferences(this, packet, [](QelBase* child) { return child->objectUID > 0; });
}
