#include "game/ContextMessage.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "game/GameController.h"
#include "game/Mascot.h"
#include "game/SpeechBubble.h"
#include "game/TextPanel.h"
#include "media/QelInput.h"
#include "media/Skin.h"

FontQuad* ContextMessage::titleFont() { return AppLink::fontLarge(); }
FontQuad* ContextMessage::textFont() { return AppLink::fontSmall(); }

ContextMessage::ContextMessage() { bDeleteWhenDone = true; }

ContextMessage::~ContextMessage() = default;

std::vector<WString> ContextMessage::splitLines(WStringView body) {
    std::vector<WString> lines;
    size_t start = 0;
    while (true) {
        const size_t bar = body.find(u'|', start);
        lines.emplace_back(body.substr(start, bar == WStringView::npos ? WStringView::npos : bar - start));
        if (bar == WStringView::npos) break;
        start = bar + 1;
    }
    return lines;
}

ContextMessage::Measures ContextMessage::measure(WStringView title, const std::vector<WString>& lines,
                                                 float pictureHeight, bool bHelp) {
    Measures m{};
    m.lineHeight = int(1.25f * float(FontAccess::lineHeight(textFont())));
    m.width = 192.0f;
    if (!title.empty()) {
        m.width = std::max(m.width, FontAccess::textWidth(titleFont(), title));
        m.height += 1.5f * float(FontAccess::lineHeight(titleFont()));
    }
    for (const WString& line : lines) {
        if (isPictureLine(line)) {
            // The picture takes the place of the line; without a picture the line is empty.
            m.height += 1.25f * pictureHeight;
            continue;
        }
        m.width = std::max(m.width, FontAccess::textWidth(textFont(), line));
        m.height += float(m.lineHeight);
    }
    if (bHelp) m.height += float(m.lineHeight);
    return m;
}

void ContextMessage::build() {
    if (bBuilt) return;
    bBuilt = true;
    const std::vector<WString> lines = splitLines(bodyText);
    const float pictureHeight = pPicture ? pPicture->height : 0.0f;
    measures = measure(titleText, lines, pictureHeight, bHelpMessage);

    addChild(new Mascot());
    pBubble = new SpeechBubble(measures.width + 50.0f, measures.height + 50.0f);
    pBubble->position = position;
    pBubble->updateXform();
    addChild(pBubble);

    float top = position.y + measures.height / 2.0f;
    if (!titleText.empty()) {
        addChild(new TextLabel(position.x, top, position.z, titleText, titleFont(), 0xFFFFFFFF));
        top -= 1.5f * float(FontAccess::lineHeight(titleFont()));
    }
    for (const WString& line : lines) {
        if (isPictureLine(line)) {
            if (pPicture) {
                auto* picture = new Renderable();
                picture->pSkin = pPicture;
                picture->bSkipVisibility = true;
                picture->position = Vector3(position.x, top - 0.625f * pictureHeight, position.z);
                picture->updateXform();
                addChild(picture);
            }
            top -= 1.25f * pictureHeight;
            continue;
        }
        // Grey small text on the pale bubble reads crisply only without the drop shadow.
        auto* label = new TextLabel(position.x, top, position.z, line, textFont(), TEXT_COLOUR);
        label->bShadow = false;
        addChild(label);
        top -= float(measures.lineHeight);
    }
    if (bHelpMessage && game) {
        const WString caption = AppText::text(u"SHOWHELPMESSAGES");
        // The box sits 12 units left of the label; the pair is centred under the text.
        const float x = position.x - (FontAccess::textWidth(textFont(), caption) - 12.0f) / 2.0f;
        pHelpToggle = new TextPanel(Vector3(x, top - float(measures.lineHeight) / 2.0f, position.z), caption,
                                    &game->gameConfiguration.bTutorial);
        addChild(pHelpToggle);
    }
}

void ContextMessage::onActivate(bool bFirst) {
    ContextMenu::onActivate(bFirst);
    if (bFirst) GameController::playSoundRandomPitch(u"pop");
}

void ContextMessage::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (totalTime > CLOSE_DELAY && in && in->isTouchPressed(0) && !in->getTouchHandler()) bDone = true;
}

void ContextMessage::renderContents() {
    GameController* controller = GameController::current();
    if (bHelpMessage && controller) controller->draw();
    else if (prev) static_cast<Context*>(prev)->draw();
    ContextMenu::renderContents();
}
