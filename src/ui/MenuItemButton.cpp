#include "ui/MenuItemButton.h"

#include <cmath>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextMessageBox.h"
#include "engine/Qel.h"
#include "media/QelInput.h"
#include "media/TouchPoint.h"

MenuItemButton::MenuItemButton(float x, float y, float z, WStringView caption, WStringView hint)
    : MenuItem(x, y, z, caption, hint) {
    setFrame(u"gui-game-button", 30, 0, 0, 30);
    setWidth(256);
    captionLocation = 5;
}

void MenuItemButton::update(double time, double dt) {
    MenuItem::update(time, dt);
    if (bDisabled || bHidden) return;
    QelInput* in = qel ? qel->pQelInput : nullptr;
    TouchPoint* touch = in ? in->getTouch(0) : nullptr;
    if (touch && in) {
        if (bHovered && touch->bPressed && !in->getTouchHandler()) {
            in->setTouchHandler(this);
            touchDrift = 0.0f;
        }
        if (in->getTouchHandler() == this) {
            const Vector3 d = touch->layoutPos - touch->layoutStart;
            touchDrift = std::max(touchDrift, std::sqrt(d.x * d.x + d.y * d.y));
            if (touch->bReleased && releaseClicks(touchDrift, bHovered)) {
                if (confirmTitle.empty() && confirmText.empty()) {
                    onClick();
                } else {
                    auto* box = new ContextMessageBox();
                    box->title = confirmTitle;
                    box->text = confirmText;
                    box->firstButtonText = AppText::text(u"YES");
                    box->secondButtonText = AppText::text(u"NO");
                    box->pResult = &confirmResult;
                    box->layout();
                    AppLink::pushContext(box);
                }
            }
        }
    }
    if (confirmResult == 0) {
        onClick();
        confirmResult = -1;
    }
}
