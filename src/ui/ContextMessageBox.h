#pragma once
// The dialog screen: an information box with one button, or a question with two whose answer
// (0 first button, 1 second) it writes to the caller's int. It draws the screen beneath it.

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class MenuItemButton;

class ContextMessageBox : public ContextMenu {
public:
    // The panel's size from the measured texts: titleWidth and titleHeight are 0 without a title.
    struct Size {
        int width;
        int height;
    };
    static Size panelSize(bool hasTitle, float titleWidth, int titleLineHeight, int lineStep, float bodyHeight,
                          float bodyWidth, int buttonCount);

    ContextMessageBox();
    ~ContextMessageBox() override;

    void onActivate(bool bFirst) override;
    void tickContents(double total, double dt) override;
    void renderContents() override;

    void layout();

    Vector3 position;
    WString title;
    WString text;
    WString firstButtonText;
    WString secondButtonText;
    int* pResult = nullptr;
    MenuItemButton* pFirstButton = nullptr;
    MenuItemButton* pSecondButton = nullptr;
    // The panel's size as laid out.
    int panelWidth = 0;
    int panelHeight = 0;
};
