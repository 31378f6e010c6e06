#include "media/PointerDispatcher.h"

#include "engine/Qel.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"
#include "platform/KeyCodeTable.h"

namespace {

QelBase* ownerOf(QelBase* object) { return object ? dynamic_cast<QelBase*>(object->owner) : nullptr; }

// True when the object or one of its owners has its input disabled.
bool isInputDisabledInChain(QelBase* object) {
    for (QelBase* o = object; o; o = ownerOf(o))
        if (o->bInputDisabled) return true;
    return false;
}

}  // namespace

PointerDispatcher::PointerDispatcher(QelInput* input) : roleLink(this), focusLink(this), hoverLink(this), pInput(input) {
    pointerDispatcherForEvents = this;
}

PointerDispatcher::~PointerDispatcher() {
    hoverLink.set(nullptr);
    focusLink.set(nullptr);
    roleLink.set(nullptr);
    if (pointerDispatcherForEvents == this) pointerDispatcherForEvents = nullptr;
}

QelInput* PointerDispatcher::getInput() const { return pInput ? pInput : (qel ? qel->pQelInput : nullptr); }

void PointerDispatcher::update(QelBase* root) {
    QelInput* input = getInput();
    if (!input) return;
    if (roleLink.get() && setCurrentRole) setCurrentRole(roleLink.get());

    // Hover: holding Tab picks the object behind the front-most one.
    int skip = input->isKeyDown(platform::DIK_TAB) ? 1 : 0;
    hoverLink.set(root ? root->findObjectUnderPointer(skip) : nullptr);

    QelBase* focus = focusLink.get();
    if (focus && (focus->bInactive || isInputDisabledInChain(focus))) setFocus(nullptr);

    TouchPoint* touch = input->getTouch(0);
    if (touch && touch->bPressed) {
        pressPos = input->pointer;
        QelBase* hover = hoverLink.get();
        if (hover != focusLink.get() && !isInputDisabledInChain(hover)) setFocus(hover);
    }
    if (touch && touch->bReleased && Vector3::distance(pressPos, input->pointer) < 2.0f)
        sendEvent(POINTEREVENT_CLICK, this, focusLink.get());

    const Vector3& d = input->pointerDelta;
    if (d.x != 0 || d.y != 0 || d.z != 0) {
        sendEvent(POINTEREVENT_MOVED, this, focusLink.get());
        if (touch && touch->bHeld) sendEvent(POINTEREVENT_DRAG, this, focusLink.get());
    }

    const int key = input->pollKeyPress();
    if (key != 0 || input->typedChar != 0) sendEvent(POINTEREVENT_KEYPRESSED, this, focusLink.get());

    if (setCurrentRole) setCurrentRole(nullptr);
}

void PointerDispatcher::setFocus(QelBase* object) {
    QelBase* old = focusLink.get();
    if (object == old) return;
    if (old) {
        PointerEvent event;
        event.code = POINTEREVENT_FOCUSLOST;
        event.pSender = this;
        event.pTarget = old;
        event.pDispatcher = this;
        event.param2 = reinterpret_cast<uintptr_t>(object);
        deliver(event, old);
    }
    focusLink.set(object);
    if (object) sendEvent(POINTEREVENT_FOCUSGAINED, this, object);
}

void PointerDispatcher::sendEvent(int code, QelBase* sender, QelBase* target) {
    if (!target) target = sender;
    if (!target) return;
    PointerEvent event;
    event.code = code;
    event.pSender = sender;
    event.pTarget = target;
    event.pDispatcher = this;
    deliver(event, target);
}

void PointerDispatcher::deliver(PointerEvent& event, QelBase* target) {
    QelBase* owner = ownerOf(target);
    if (owner && owner->previewEvent(&event)) return;
    if (!target->bInputDisabled && target->onEvent(&event)) return;
    if (owner) owner->bubbleEvent(&event);
}

void PointerDispatcher::drawRectOutline(const float rect[4], uint32_t colour) {
    if (!lineStripDrawer) return;
    const float left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
    const OutlineVertex strip[5] = {
        {left, top, 0, colour, 0, 0},     {right, top, 0, colour, 0, 0}, {right, bottom, 0, colour, 0, 0},
        {left, bottom, 0, colour, 0, 0},  {left, top, 0, colour, 0, 0},
    };
    lineStripDrawer(strip, 5);
}
