#include "ui/MenuItemLink.h"

#include <cstdio>
#include <string>

#include "engine/Logger.h"
#include "platform/PageOpener.h"
#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextMessageBox.h"

void MenuItemLink::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    const std::string problem = platform::pageOpenerProblem();
    if (problem.empty()) {
        AppLink::setPendingUrl(url);
        AppLink::requestQuit();
        return;
    }
    qelLog(u"MenuItemLink::onClick", u"The page '%s' cannot be opened: %hs.", url, problem);
    const std::string line = "The page " + wideToUtf8(url) + " cannot be opened: " + problem + ".\n";
    std::fputs(line.c_str(), stderr);
    auto* box = new ContextMessageBox();
    box->title = caption;
    box->text = AppText::text(u"FAILED") + u"|" + url;
    box->layout();
    AppLink::pushContext(box);
}
