#pragma once
// What a level and its tracks ask of the game that plays them: the depth manager their cars and
// decorations register with, where a track puts its sprint and refill positions, and a new train
// when a track is ready for one. The game in progress implements it and makes itself the current
// host while its level exists; objects made without an explicit host use the current one.

class DepthManager;
class Track;

class LevelHost {
public:
    virtual ~LevelHost();

    virtual DepthManager* getDepthManager() = 0;
    // Fractions of the way from a track's create position to its tunnel.
    virtual float getSprintFraction() const = 0;
    virtual float getRefillFraction() const = 0;
    // A track asks for its next train; the host decides whether one comes.
    virtual void addTrain(Track* track) = 0;

    static LevelHost* current() { return currentHost; }
    static void setCurrent(LevelHost* host) { currentHost = host; }

private:
    static inline LevelHost* currentHost = nullptr;
};
