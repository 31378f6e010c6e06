#pragma once
// The base of every engine and game object: a node of the object tree with a state part,
// visibility and input flags, a network id, weak links and membership in the list of all objects.

#include "engine/BasicLink.h"
#include "engine/ObjectListEntry.h"
#include "engine/StateBase.h"

struct PointerEvent;
class Packet;
class PropertyContainer;

class QelBase : public BasicLink, public StateBase {
    QEL_DECLARE_CLASS()
public:
    QelBase();
    ~QelBase() override;

    void release() override;
    virtual void update(double time, double dt);
    virtual void render();
    virtual QelBase* findObjectUnderPointer(int& skip);
    virtual bool isUnderPointer();
    virtual bool previewEvent(PointerEvent* event);
    virtual bool bubbleEvent(PointerEvent* event);
    virtual bool onPreviewEvent(PointerEvent* event);
    virtual bool onEvent(PointerEvent* event);
    virtual bool onBubbleEvent(PointerEvent* event);
    virtual void onQELmodeChange(int oldMode, int newMode) {}
    virtual void onInputModeChange() {}
    virtual void purge() {}
    virtual void onRestorePresentation() {}
    virtual void netSerialize(Packet& packet);
    virtual void netSerializeChildren(Packet& packet);
    virtual void onRemoteAction1() {}
    virtual void onRemoteAction2() {}
    virtual void releaseChildren();
    virtual BasicLink* addChild(BasicLink* child);
    virtual void removeChild(BasicLink* child);

    void describe(PropertyContainer* group) override;
    // A new property tree of the object (the caller deletes it).
    PropertyContainer* createPropertyTree();

    bool isValidUID() const { return objectUID > 0; }
    bool isKindOf(const ClassRecord* record) const { return getClass()->isKindOf(record); }
    // Updates or renders the children in order, releasing dead ones.
    void updateChildren(double time, double dt);
    void renderChildren();

    bool bVisible = true;
    bool bSkipVisibility = false;
    bool bInputDisabled = false;
    bool bSkipNet = false;
    int objectUID = -1;
    QelBase* pEventHandler = nullptr;
    BasicLink incomingLinks;
    ObjectListEntry objectListEntry;

    // Set by the network layer: answer true when the object is registered with a current role, so
    // that release hands it to the networked delete and a plain deletion is refused.
    static inline bool (*netReleaseHook)(QelBase* object) = nullptr;
    static inline bool (*deleteRegisteredHook)(QelBase* object) = nullptr;
};
