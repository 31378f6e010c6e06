#pragma once
// The credits: the build's version line in the corner and the scrolling credit lines over the
// intro picture, whose camera glides down once more. Ends by itself after a while, or at the skip
// key, a press or Escape.

#include "ui/ContextMenu.h"

class ContextIntro;
class CreditsList;
class TextLabel;

class ContextCredits : public ContextMenu {
public:
    static constexpr double DURATION = 66.0;

    ContextCredits();
    ~ContextCredits() override;

    // Owned: a picture of its own, not the shared one of the other menus.
    ContextIntro* pBackdrop;
    TextLabel* pVersionLabel;
    CreditsList* pList;
};
