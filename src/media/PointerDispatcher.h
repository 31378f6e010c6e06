#pragma once
// Turns each frame's input into pointer events for the object tree: finds the object under the
// pointer, keeps the focus object (the one last pressed) and sends it focus lost and gained,
// click, drag, pointer moved and key pressed. An event goes first to the target's owner chain
// (previewEvent), then to the target (onEvent), then up the owner chain (bubbleEvent).

#include <cstdint>

#include "engine/MathUtil.h"
#include "engine/ObjectLink.h"
#include "engine/PointerEvent.h"
#include "engine/QelBase.h"

class QelInput;

class PointerDispatcher : public QelBase {
public:
    // input null means the engine's input service.
    explicit PointerDispatcher(QelInput* input = nullptr);
    ~PointerDispatcher() override;

    using QelBase::update;
    // The per-frame step over the tree under root.
    void update(QelBase* root);
    void setFocus(QelBase* object);
    void sendEvent(int code, QelBase* sender, QelBase* target);
    // Preview by the owner chain, then the target (unless its input is disabled), then bubble.
    void deliver(PointerEvent& event, QelBase* target);

    QelBase* getFocus() const { return focusLink.get(); }
    QelBase* getHover() const { return hoverLink.get(); }
    QelInput* getInput() const;

    // One vertex of the outline (24 bytes: position, ARGB colour, texture coordinates).
    struct OutlineVertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    static_assert(sizeof(OutlineVertex) == 24);
    // Draws the outline of a world rectangle (left, top, right, bottom) as a 5-vertex line strip,
    // untextured, with an identity world transform, through the graphics device's line drawer.
    static void drawRectOutline(const float rect[4], uint32_t colour);
    // Set by the graphics layer; drawRectOutline draws nothing while it is null.
    static inline void (*lineStripDrawer)(const OutlineVertex* vertices, int count) = nullptr;
    // Set by the network layer: makes an object the current role, or none with null.
    static inline void (*setCurrentRole)(QelBase* role) = nullptr;

    ObjectLink roleLink;
    Vector3 pressPos;
    ObjectLink focusLink;
    ObjectLink hoverLink;
    QelInput* pInput;
};
