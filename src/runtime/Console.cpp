#include "runtime/Console.h"


#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/FontGDI.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"

QEL_IMPLEMENT_CLASS(Console, &Context::classRecord, nullptr)

namespace {

// The number after a command word, as "word %d" or "word %lf" reads it: the word at the start of
// the line, then any white space, then the number; what follows the number is ignored.
WStringView afterWord(WStringView line, WStringView word, bool& matched) {
    matched = line.substr(0, word.size()) == word;
    return matched ? line.substr(word.size()) : WStringView();
}

}  // namespace

Console::Console() {
    qelLog(u"Console::Console", u"Starting console...");
    onRestorePresentation();
}

Console::~Console() = default;

void Console::onRestorePresentation() {
    // The camera's eye at (0, 0, -W/2) looking at the origin with the aspect H / W sees the
    // viewport at depth 0 with one unit per pixel (the 800 by 480 layout without graphics).
    float w = 800.0f, h = 480.0f;
    if (QelGraphics* g = qel ? qel->pQelGraphics : nullptr; g && g->viewportWidth > 0 && g->viewportHeight > 0) {
        w = static_cast<float>(g->viewportWidth);
        h = static_cast<float>(g->viewportHeight);
    }
    if (!pCamera) return;
    pCamera->position = Vector3(0.0f, 0.0f, -w / 2.0f);
    pCamera->target = Vector3(0.0f, 0.0f, 0.0f);
    pCamera->aspect = h / w;
    pCamera->update(0.0, 0.0);
}

void Console::addLineText(const WString& line) {
    const bool atBottom = scrollLine == countLines() - 1;
    history.push_back(line);
    if (qel && qel->pLogger) qel->pLogger->log(u"> %s", line);
    if (countLines() > maxHistoryLines) {
        history.pop_front();
        // A view moved up keeps showing the same line while it is still there.
        if (!atBottom && scrollLine > 0) --scrollLine;
    }
    if (atBottom) scrollLine = countLines() - 1;
}

void Console::tickContents(double, double) {
    if (!qel || !qel->pQelInput) return;
    QelInput& input = *qel->pQelInput;
    auto down = [](const uint8_t* keys, int code) { return (keys[code] & 0x80) != 0; };
    if (!qel->bDebugLocked && down(input.keys, DIK_LSHIFT) && down(input.keys, DIK_GRAVE) && !down(input.prevKeys, DIK_GRAVE)) {
        bVisible = !bVisible;
        return;
    }
    if (!bVisible) return;
    const char16_t c = input.typedChar;
    if (c == 13) {
        const WString line = inputLine;
        inputLine.clear();
        executeCommand(line);
    } else if (c == 8) {
        if (!inputLine.empty()) inputLine.pop_back();
    } else if (c != 0) {
        inputLine.push_back(c);
    }
    if (down(input.keys, DIK_PRIOR)) {
        if (scrollLine > 0) --scrollLine;
    } else if (down(input.keys, DIK_NEXT)) {
        if (scrollLine >= 0 && scrollLine < countLines() - 1) ++scrollLine;
    }
}

void Console::drawLine(float x, float y, const WString& text) {
    if (drawTextHook)
        drawTextHook(x, y, 0.0f, 0xFFFFFFFFu, 0, text);
    else if (qel->pFontGDI)
        qel->pFontGDI->drawText(x, y, 0.0f, 0xFFFFFFFFu, 0, text);
}

void Console::renderContents() {
    if (!bVisible || !qel || !qel->pFontGDI || !pCamera) return;
    const int savedDebugLevel = qel->debugLevel;
    qel->debugLevel = 0;
    const int h = qel->pFontGDI->pixelHeight;
    const WorldRect seen = pCamera->getVisibleRect(0.0f);
    const float x = static_cast<float>(static_cast<int>(seen.left));
    float y = static_cast<float>(static_cast<int>(seen.bottom + static_cast<float>(h)));
    const bool cursorShown = static_cast<long long>(qel->frameTimer.frameTime * 8.0) % 2 == 0;
    drawLine(x, y, format(cursorShown ? u"> %s_" : u"> %s", inputLine));
    int count = maxVisibleLines;
    for (int i = scrollLine; i >= 0 && i < countLines() && count >= 0; --i, --count) {
        y += static_cast<float>(h);
        drawLine(x, y, format(u"%s", history[static_cast<size_t>(i)]));
    }
    qel->debugLevel = savedDebugLevel;
}

void Console::executeCommand(WString line) {
    bool matched = false;
    int32_t number = 0;
    double real = 0.0;
    if (WStringView rest = afterWord(line, u"debug", matched); matched && scanInt(rest, number)) {
        if (qel) qel->debugLevel = number;
        return;
    }
    if (WStringView rest = afterWord(line, u"fps", matched); matched && scanDouble(rest, real)) {
        // The value is a frame period; one that no frame loop can keep is refused.
        if (!(real >= minFramePeriod && real <= maxFramePeriod)) {
            addLine(u"Refused: %s (the frame period must lie between 0.001 and 1 second).", line);
            return;
        }
        if (qel) qel->frameTimer.reset(real);
        return;
    }
    if (WStringView rest = afterWord(line, u"fontcache", matched); matched && scanInt(rest, number)) {
        if (qel && qel->pQelGraphics) qel->pQelGraphics->bEnableFontCache = number != 0;
        return;
    }
    if (WStringView rest = afterWord(line, u"rel", matched); matched && scanInt(rest, number)) {
        if (qel) qel->bDebugLocked = number != 0;
        return;
    }
    if (line == u"crash") QEL_FATAL(u"Console::executeCommand", u"Crash requested.");
    if (!line.empty()) addLine(u"Unknown command: %s", line);
}
