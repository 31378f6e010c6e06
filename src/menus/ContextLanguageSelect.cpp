#include "menus/ContextLanguageSelect.h"

#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "menus/LanguageFlag.h"

namespace {
const char16_t* const FLAG_CODES[ContextLanguageSelect::FLAG_COUNT] = {
    u"en", u"fr", u"de", u"it", u"es", u"ru", u"he", u"el", u"pl", u"ro", u"pt", u"ja", u"ko", u"cs", u"nl"};
}

ContextLanguageSelect::ContextLanguageSelect() {
    bDeleteWhenDone = true;
    bEscapeCloses = false;
    bHideFrameRate = true;
    clearColor = 0xFF001030;
    for (int i = 0; i < 5; ++i) {
        if (!AppText::isLanguageAvailable(i)) continue;
        const int skin = isoCode2skinIndex(AppText::textOfLanguage(i, u"LANGUAGEISOCODE"));
        appendItem(new LanguageFlag(i, skin));
    }
    const int n = countChildren();
    int i = 0;
    for (BasicLink* c = firstChild; c; c = c->next, ++i) {
        auto* flag = static_cast<LanguageFlag*>(c);
        flag->position = flagPosition(i, n);
        flag->updateXform();
    }
    const float w = float(qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800);
    const float h = float(qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480);
    if (qel && qel->pQelInput) {
        // The pointer waits in a corner, away from the flags. The mouse is read again every frame
        // from its last known place in the window, so that place is moved to the corner too
        // (the system cursor itself stays where it is): the pointer then stays parked until the
        // player moves the mouse.
        QelInput* input = qel->pQelInput;
        input->pointer = worldToPointer(this, Vector3(0.4f * w, -0.4f * h, 0.0f));
        const Vector3 window = input->layoutToWindow(input->pointer);
        input->mouseX = int(std::lround(window.x));
        input->mouseY = int(std::lround(window.y));
    }
}

Vector3 ContextLanguageSelect::flagPosition(int i, int n) {
    const int columns = n / 4 + 1;
    const int rows = n / columns + (n % columns != 0 ? 1 : 0);
    const int x0 = -(columns * 100 - 100) / 2;
    const int y0 = (rows * 100 - 100) / 2;
    return Vector3(float(x0 + (i % columns) * 100), float(y0 - (i / columns) * 100), 0.0f);
}

int ContextLanguageSelect::autodetectLanguage() {
    const char16_t* fn = u"ContextLanguageSelect::autodetectLanguage";
    const WString code = getSystemLanguageCode();
    qelLog(fn, u"Trying to autodetect system language '%s'...", code);
    for (int i = 0; i < 5; ++i) {
        if (!AppText::isLanguageAvailable(i)) continue;
        if (code == AppText::textOfLanguage(i, u"LANGUAGEISOCODE")) {
            qelLog(fn, u"Found match.");
            return i;
        }
    }
    qelLog(fn, u"Not found.");
    return 0;
}

int ContextLanguageSelect::isoCode2skinIndex(WString isoCode) {
    for (int i = 0; i < FLAG_COUNT; ++i)
        if (isoCode == FLAG_CODES[i]) return i;
    QEL_FATAL(u"ContextLanguageSelect::isoCode2skinIndex", u"Could not find flag for ISO code '%s'", isoCode);
}
