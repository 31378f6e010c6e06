#include "engine/StateBase.h"

#include "engine/PropertyContainer.h"
#include "engine/PropertyDouble.h"
#include "engine/PropertyInt.h"

void StateBase::gotoState(int nextState, double delay) {
    if (nextState == stateGoto) return;
    stateGoto = nextState;
    stateLeft = delay;
    if (delay <= 0) {
        timeInState = 0;
        state = nextState;
        onStateChange();
    }
}

void StateBase::tick(double time, double dt) {
    timeInState += dt;
    if (stateLeft > 0) {
        stateLeft -= dt;
        if (stateLeft <= 0) {
            state = stateGoto;
            timeInState = 0;
            onStateChange();
        }
    }
}

// The state's properties join with the Property family.
void StateBase::describe(PropertyContainer* group) {
    group->addChild(new PropertyInt(u"state", 0, &state));
    group->addChild(new PropertyDouble(u"timeInState", Property::FLAG_PACKED_FLOAT, &timeInState));
    group->addChild(new PropertyDouble(u"stateLeft", Property::FLAG_SKIP_REGISTERED_ONLY, &stateLeft));
    group->addChild(new PropertyInt(u"stateGoto", Property::FLAG_SKIP_REGISTERED_ONLY, &stateGoto));
}
