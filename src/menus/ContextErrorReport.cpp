#include "menus/ContextErrorReport.h"

#include <algorithm>
#include <string>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/BackingPanel.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MessageViewer.h"
#include "ui/TextLabel.h"
#include "engine/HttpRequest.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ContextOptions.h"
#include "menus/UploadResult.h"
#include "platform/FileSystem.h"

namespace {

bool onlineConfigured() { return game && game->gameConfiguration.bOnlineConfigured != 0; }

// The start-up offers the page after a crash.
const bool bOffered = [] {
    Global::createErrorReport = [] () -> Context* { return new ContextErrorReport(); };
    return true;
}();

}  // namespace

std::vector<ContextErrorReport::CrashFile> ContextErrorReport::crashFiles() {
    return {{u"crashLog", getCrashLogPath()},
            {u"crashMiniDump", getCrashDumpPath()},
            {u"crashScreenshot", getCrashScreenshotPath()},
            {u"crashNetTraffic", getCrashNetPath()}};
}

void ContextErrorReport::deleteCrashFiles() {
    for (const WString& path : {getCrashLogPath(), getCrashScreenshotPath(), getCrashNetPath(), getCrashDumpPath()}) {
        std::string reason;
        if (!platform::removeFile(wideToUtf8(path), reason))
            qelLog(u"ContextErrorReport::deleteCrashFiles", u"Could not delete '%s' (%hs).", path, reason.c_str());
    }
}

ContextErrorReport::ContextErrorReport() {
    bDeleteWhenDone = true;
    pPreHook = AppLink::introContext();
    pTitle =
        new TextLabel(0.0f, float(cornerY), 0.0f, AppText::text(u"ERRORREPORTTITLE"), AppLink::fontLarge(), 0xFFFFFFFF);
    addChild(pTitle);

    pBacking = new BackingPanel();
    addChild(pBacking);
    viewer = new MessageViewer();
    // Dark text, like the settings rows, on the pale panel over the intro picture.
    viewer->colour = ContextOptions::ROW_COLOUR;
    viewer->position = Vector3(0.0f, 4.5f * -viewer->lineStep, 0.0f);
    addChild(viewer);
    pBacking->follow(viewer);
    for (const char16_t* key : {u"ERRORREPORTINTRO1", u"ERRORREPORTINTRO2", u"ERRORREPORTINTRO3"})
        viewer->addMessage(AppText::text(key));

    pCancelButton = new MenuItemClose(float(80 - cornerX), -float(cornerY), 0.0f, AppText::text(u"CANCEL"), u"");
    pCancelButton->setWidth(160);
    appendItem(pCancelButton);
    nextButton = new MenuItemButton(float(cornerX - 80), -float(cornerY), 0.0f, AppText::text(u"NEXT"), u"");
    nextButton->setWidth(160);
    appendItem(nextButton);

    if (!onlineConfigured()) {
        viewer->addMessage(u"");
        viewer->addMessage(AppText::text(u"ERRORREPORTWIZARD1"));
        viewer->addMessage(AppText::text(u"ERRORREPORTWIZARD2"));
        wizardButton = new MenuItemButton(0.0f, -float(cornerY), 0.0f, AppText::text(u"NETWORKWIZARDDOTS"), u"");
        wizardButton->setWidth(160);
        appendItem(wizardButton);
    }
    nextButton->bDisabled = !onlineConfigured();
}

ContextErrorReport::~ContextErrorReport() {
    // Closed by the player (CANCEL, FINISH, escape) without sending: the report goes once the
    // player passed over it with the network set up. A sent report went when it was sent; an
    // upload that failed or did not finish (or was still being packed), and a page that was never
    // closed, keep it for the next start.
    const bool uploadStarted = request != nullptr || packing != nullptr;
    delete request;
    request = nullptr;
    delete packing;
    packing = nullptr;
    if (bDone && !uploadStarted && onlineConfigured()) deleteCrashFiles();
}

void ContextErrorReport::onActivate(bool bFirst) {
    ContextMenu::onActivate(bFirst);
    // Back from the network set-up: NEXT becomes available once it was accepted. While an upload
    // runs or after it, NEXT is the page's own business.
    if (!request && !packing) nextButton->bDisabled = !onlineConfigured();
    if (wizardButton) wizardButton->bDisabled = onlineConfigured();
}

void ContextErrorReport::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    if (request && UploadResult::take(*request, *viewer, *nextButton) == UploadResult::SUCCEEDED) {
        // Sent: the files go at once, so that the same report is never sent again, even when the
        // program ends before FINISH.
        bUploadSucceeded = true;
        deleteCrashFiles();
    }
    if (wizardButton && wizardButton->bClicked) {
        wizardButton->bClicked = false;
        AppLink::pushContext(new ContextNetworkWizard1());
    }
    if (packing) packSome();
    if (nextButton->bClicked) {
        nextButton->bClicked = false;
        if (!request && !packing) startUpload();
        else if (bUploadSucceeded) bDone = true;
    }
}

void ContextErrorReport::startUpload() {
    nextButton->bDisabled = true;
    if (wizardButton) wizardButton->bDisabled = true;
    packing = new HttpRequest(HttpRequest::getMakerHost(), PATH);
    packing->addStandardFields();
    packedFiles = 0;
    packedBytes = 0;
    packSome();
}

void ContextErrorReport::packSome() {
    // The crash files are read straight from disk by their full paths: they lie in the user-data
    // folder, never in an archive.
    const std::vector<CrashFile> files = crashFiles();
    size_t budget = PACK_BYTES_PER_FRAME;
    while (packedFiles < files.size() && budget > 0) {
        const CrashFile& file = files[packedFiles];
        std::string reason;
        if (!reader.isOpen()) {
            switch (reader.open(wideToUtf8(file.path), reason, MAX_FILE_SIZE)) {
                case platform::ReadOutcome::MISSING:
                    ++packedFiles;
                    continue;
                case platform::ReadOutcome::UNREADABLE:
                case platform::ReadOutcome::TOO_LARGE:
                    qelLog(u"ContextErrorReport::startUpload", u"Skipping '%s' (%hs).", file.path, reason.c_str());
                    ++packedFiles;
                    continue;
                case platform::ReadOutcome::OK:
                    break;
            }
            packing->reserveBody(packing->getBody().size() + reader.size() + 1024);
            packing->addPartHeader(file.partName, file.path);
            if (qel && !qel->bDebugLocked) viewer->addMessage(WString(u"DEBUG: Adding ") + file.partName);
        }
        chunk.resize(std::min(budget, PACK_BYTES_PER_FRAME));
        const long n = reader.read(chunk.data(), chunk.size(), reason);
        if (n < 0) {
            // What was read so far goes with the report, which says where the file broke off.
            qelLog(u"ContextErrorReport::startUpload", u"'%s' broke off (%hs).", file.path, reason.c_str());
        }
        if (n <= 0) {
            reader.close();
            ++packedFiles;
            continue;
        }
        packing->appendBody(chunk.data(), int(n));
        packedBytes += int(n);
        budget -= size_t(n);
    }
    if (packedFiles < files.size()) return;
    std::vector<char>().swap(chunk);
    request = packing;
    packing = nullptr;
    viewer->addMessage(format(AppText::text(u"ERRORREPORTUPLOADING"), formatThousands(packedBytes)));
    viewer->addMessage(AppText::text(u"ERRORREPORTPLEASEWAIT"));
    request->start();
}
