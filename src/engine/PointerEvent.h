#pragma once
// An event delivered to objects by the pointer dispatcher.

#include <cstdint>

class QelBase;
class PointerDispatcher;

enum PointerEventCode : int {
    POINTEREVENT_LINKCLEARED = 0,
    POINTEREVENT_FOCUSLOST = 2,
    POINTEREVENT_FOCUSGAINED = 3,
    POINTEREVENT_CLICK = 4,
    POINTEREVENT_DRAG = 5,
    POINTEREVENT_KEYPRESSED = 6,
    POINTEREVENT_MOVED = 7,
};

struct PointerEvent {
    int code = 0;
    QelBase* pSender = nullptr;
    QelBase* pTarget = nullptr;
    PointerDispatcher* pDispatcher = nullptr;
    uintptr_t param1 = 0;
    uintptr_t param2 = 0;
};

// The dispatcher named in events the engine makes outside a dispatch (a cleared link); set by the
// pointer dispatcher while it exists.
extern PointerDispatcher* pointerDispatcherForEvents;
