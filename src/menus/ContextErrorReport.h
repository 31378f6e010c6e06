#pragma once
// The crash report: after a run that crashed, offers to send its crash files (log, dump,
// screenshot, network traffic; those that exist) in one upload to the maker's web server. Sending
// needs the network set up once; until then NEXT is disabled and a button leads to the network
// wizard.
//
// The crash files are removed after a successful upload, or when the player closes the page while
// the network is set up without having sent them (the player chose not to). A failed or unfinished
// upload keeps them, and so does a page that was never closed (the program ended): the page comes
// back at the next start.
//
// The files are packed into the request a piece at a time, at most PACK_BYTES_PER_FRAME a frame,
// so that a large report never stalls the page; the request goes once everything is packed.

#include <vector>

#include "ui/ContextMenu.h"
#include "engine/Text.h"
#include "platform/FileSystem.h"

class BackingPanel;
class HttpRequest;
class MenuItemButton;
class MenuItemClose;
class MessageViewer;
class TextLabel;

class ContextErrorReport : public ContextMenu {
public:
    static constexpr const char16_t* PATH = u"/vesk/crashreport.php";
    // A crash file larger than this is not sent.
    static constexpr size_t MAX_FILE_SIZE = size_t(64) << 20;
    static constexpr size_t PACK_BYTES_PER_FRAME = size_t(256) << 10;

    struct CrashFile {
        const char16_t* partName;
        WString path;
    };
    // The crash files in the order they are sent.
    static std::vector<CrashFile> crashFiles();
    // Removes the four crash files; each one that exists but cannot be removed is logged.
    static void deleteCrashFiles();

    ContextErrorReport();
    ~ContextErrorReport() override;

    // NEXT is enabled exactly when the network is set up, the wizard button exactly when it is not.
    void onActivate(bool bFirst) override;
    void tickContents(double total, double dt) override;

    TextLabel* pTitle;
    // Behind the viewer's lines: they stand on the picture.
    BackingPanel* pBacking;
    MessageViewer* viewer;
    MenuItemClose* pCancelButton;
    MenuItemButton* nextButton;
    // Only when the page was built before the network was set up.
    MenuItemButton* wizardButton = nullptr;
    // Set once the report is packed and on its way.
    HttpRequest* request = nullptr;
    bool bUploadSucceeded = false;
    bool isPacking() const { return packing != nullptr; }

private:
    void startUpload();
    // Packs up to PACK_BYTES_PER_FRAME more; starts the request when everything is in.
    void packSome();

    HttpRequest* packing = nullptr;
    size_t packedFiles = 0;
    int packedBytes = 0;
    platform::FileReader reader;
    std::vector<char> chunk;
};
