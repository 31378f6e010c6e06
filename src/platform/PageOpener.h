#pragma once
// Handing a page or file to the desktop's handler (xdg-open). The program asks first whether the
// handler is there and runs, so that it can keep running and say so when it is not; the page is
// opened after the program has ended. Tests put an opener of their own in place.

#include <functional>
#include <string>

namespace platform {

struct PageOpener {
    // Why no page can be handed on now; empty when one can.
    std::function<std::string()> problem;
    // Hands the page on without waiting for it to open; false when that could not be started.
    std::function<bool(const std::string& url)> open;
};

// Replaces the opener; an opener without functions restores the desktop's.
void setPageOpener(PageOpener opener);

// Why no page can be handed on now, empty when one can: the desktop's xdg-open must be on the
// PATH, executable, and end "xdg-open --version" with status 0.
std::string pageOpenerProblem();
// Opens a page or file with the opener (xdg-open without a shell); false when it could not be
// started or the page is empty.
bool openUrl(const std::string& url);

}  // namespace platform
