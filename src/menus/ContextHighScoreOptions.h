#pragma once
// What can be done with the local high-score table: open the world-wide table in the browser,
// upload the local one, or reset it (after a confirmation).

#include "ui/ContextMenu.h"

class MenuItemButton;
class MenuItemClose;
class MenuItemLink;
class TextLabel;

class ContextHighScoreOptions : public ContextMenu {
public:
    ContextHighScoreOptions();

    // The reset first, then the upload.
    void tickContents(double total, double dt) override;

    // Pushes the score upload, or the network test while the network is not configured yet.
    void openUpload();

    TextLabel* pTitle;
    MenuItemClose* pOkButton;
    MenuItemLink* pWorldWideButton;
    MenuItemButton* pUploadButton;
    MenuItemButton* pResetButton;
};
