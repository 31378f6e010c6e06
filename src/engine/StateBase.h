#pragma once
// A small state machine embedded in every object: the current state, the time in it and a
// pending state entered after a delay.

class PropertyContainer;

class StateBase {
public:
    virtual ~StateBase() = default;
    virtual void tick(double time, double dt);
    virtual void onStateChange() {}
    // Adds "state", "timeInState", "stateLeft" and "stateGoto" to a property group.
    virtual void describe(PropertyContainer* group);

    // Asks for state 'next' after 'delay' seconds (at once when delay <= 0). Asking again for the
    // pending state changes nothing.
    void gotoState(int next, double delay = 0.0);

    int state = 0;
    double timeInState = 0.0;
    double stateLeft = 0.0;
    int stateGoto = 0;
};
