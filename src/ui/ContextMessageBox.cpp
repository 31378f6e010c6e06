#include "ui/ContextMessageBox.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/MenuItemButton.h"
#include "ui/NameSlot.h"
#include "ui/TextBlock.h"
#include "ui/TextLabel.h"
#include "ui/TextLine.h"
#include "ui/TextRun.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"

ContextMessageBox::ContextMessageBox() : firstButtonText(AppText::text(u"OK")) { bDeleteWhenDone = true; }

ContextMessageBox::~ContextMessageBox() = default;

ContextMessageBox::Size ContextMessageBox::panelSize(bool hasTitle, float titleWidth, int titleLineHeight, int lineStep,
                                                     float bodyHeight, float bodyWidth, int buttonCount) {
    float w = 192.0f, h = 0.0f;
    if (hasTitle) {
        w = std::max(192.0f, titleWidth);
        h = float(titleLineHeight + lineStep);
    }
    h += bodyHeight;
    w = std::max(w, bodyWidth);
    if (buttonCount > 0) {
        h += float(lineStep + 50);
        w = std::max(w, 330.0f);
    }
    w = std::max(w, h);
    return Size{int(w), int(h)};
}

void ContextMessageBox::layout() {
    if (pResult) *pResult = -1;
    FontQuad* bodyFont = AppLink::fontMedium();
    FontQuad* titleFont = AppLink::fontLarge();
    const int lineStep = int(float(FontAccess::lineHeight(bodyFont)) * 1.25f);
    const int layoutWidth = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800;
    auto* block = new TextBlock(bodyFont, 0.75f * float(layoutWidth), float(lineStep), text);
    const int buttons = (firstButtonText.empty() ? 0 : 1) + (secondButtonText.empty() ? 0 : 1);
    const int titleHeight = FontAccess::lineHeight(titleFont);
    Size size = panelSize(!title.empty(), title.empty() ? 0.0f : FontAccess::textWidth(titleFont, title), titleHeight,
                          lineStep, block->height, block->width, buttons);
    if (buttons <= 1) bAnyKeyCloses = true;
    panelWidth = size.width;
    panelHeight = size.height;
    float top = float(size.height / 2);

    addChild(new NameSlot(position.x, position.y, position.z, float(size.width + 100), float(size.height + 100), u""));
    if (!title.empty()) {
        addChild(new TextLabel(position.x, position.y + top, position.z, title, titleFont, 0xFFFFFFFF));
        top -= float(titleHeight + lineStep);
    }
    for (BasicLink* l = block->firstChild; l; l = l->next) {
        auto* line = static_cast<TextLine*>(l);
        float x = -line->width / 2.0f;
        for (BasicLink* r = line->firstChild; r; r = r->next) {
            auto* run = static_cast<TextRun*>(r);
            const uint32_t colour = run->colour == TextLine::DEFAULT_COLOUR ? 0xFFFFFFFF : run->colour;
            auto* label = new TextLabel(position.x + x, position.y + top, position.z, run->text, bodyFont, colour);
            label->alignment = 3;
            addChild(label);
            x += run->width;
        }
        top -= float(lineStep);
    }
    delete block;
    if (buttons > 0) {
        top -= float(lineStep);
        const float y = position.y + top - 25.0f;
        // With one button it is the first, whichever text was given.
        const WString& only = firstButtonText.empty() ? secondButtonText : firstButtonText;
        pFirstButton = new MenuItemButton(buttons == 1 ? position.x : position.x - 85.0f, y, position.z,
                                          buttons == 1 ? only : firstButtonText, u"");
        pFirstButton->setWidth(160);
        appendItem(pFirstButton);
        if (buttons == 2) {
            pSecondButton = new MenuItemButton(position.x + 85.0f, y, position.z, secondButtonText, u"");
            pSecondButton->setWidth(160);
            appendItem(pSecondButton);
        }
    }
}

void ContextMessageBox::tickContents(double total, double dt) {
    ContextMenu::tickContents(total, dt);
    // A one-button box closes on any press (the screen stack's skip rule), which comes before its
    // button's click on release: a press on the button itself is its answer.
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (bAnyKeyCloses && pFirstButton && !pSecondButton && pFirstButton->bHovered && !pFirstButton->bDisabled && in &&
        in->isAnyTouchPressed())
        pFirstButton->bClicked = true;
    if (pFirstButton && pFirstButton->bClicked) {
        pFirstButton->bClicked = false;
        if (pResult) *pResult = 0;
        bDone = true;
    } else if (pSecondButton && pSecondButton->bClicked) {
        pSecondButton->bClicked = false;
        if (pResult) *pResult = 1;
        bDone = true;
    }
}

void ContextMessageBox::renderContents() {
    if (clearColor == 0 && prev) static_cast<Context*>(prev)->draw();
    Context::renderContents();
}

void ContextMessageBox::onActivate(bool bFirst) {
    ContextMenu::onActivate(bFirst);
    if (bFirst) MenuItem::playSound(u"pop", false, 1.0f);
}
