#pragma once
// One flag of the language selection: a press on it chooses its language and ends the screen.

#include "ui/MenuNavigable.h"

class LanguageFlag : public MenuNavigable {
public:
    LanguageFlag(int languageIndex, int skinIndex);

    void update(double time, double dt) override;
    Vector3 getNavigationPoint(int index) override;

    bool bNavigable = true;
    int languageIndex;
};
