#pragma once
// Sends the local high-score table to the maker's web server: the sealed ScoreUploadData record
// as the form part "HSTfile", with the server's answer shown line by line. NEXT starts the
// upload; after a finished upload it reads FINISH and closes the page. A failed upload leaves
// only CANCEL.

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class BackingPanel;
class HttpRequest;
class MenuItemButton;
class MenuItemClose;
class MessageViewer;
class TextLabel;

class ContextHighScoreUpload : public ContextMenu {
public:
    static constexpr const char16_t* PATH = u"/vesk/highscoreupload.php";

    ContextHighScoreUpload();
    // Deletes the request; a running one stops on its own thread.
    ~ContextHighScoreUpload() override;

    void tickContents(double total, double dt) override;

    TextLabel* pTitle;
    // Behind the viewer's lines: they stand on the picture.
    BackingPanel* pBacking;
    MessageViewer* viewer;
    MenuItemClose* pCancelButton;
    MenuItemButton* nextButton;
    HttpRequest* request = nullptr;

private:
    void startUpload();
};
