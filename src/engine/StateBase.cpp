#include "engine/StateBase.h"

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
void StateBase::describe(PropertyContainer* group) {}
