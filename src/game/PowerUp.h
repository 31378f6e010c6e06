#pragma once
// A bonus piece: it appears in a cargo slot, keeps its roll, blinks in the slot's colour and
// vanishes after ten seconds seated unless the chain pulls it out. Collected (the chain brought it
// back), it shows its caption and takes effect; the chain then destroys it.

#include "engine/Text.h"
#include "game/Cargo.h"
#include "language/TextId.h"

class GameController;
class Launcher;

class PowerUp : public Cargo {
public:
    PowerUp(int type, const char16_t* skinName);

    // The cargo's update, then the blink while it sits in a slot.
    void update(double time, double dt) override;
    // Every bonus is used up when collected.
    bool activate() override { return true; }
    // The common show of a collected bonus: sparks, the caption (or "+points") floating up, and
    // the count of bonuses collected. Without the text, only the sparks and the count.
    void showActivation(bool bShowText = true);

    // The text shown when it is collected (empty: the points are shown).
    WString caption;
    int points = 0;

protected:
    // The caption from the language table.
    void setCaption(TextId id);
    static GameController* game();
    static Launcher* launcher();
    // The game's running time (0 without a game).
    static double now();
};
