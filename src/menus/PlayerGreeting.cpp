#include "menus/PlayerGreeting.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/ContextMenu.h"
#include "ui/Global.h"
#include "ui/TextLabel.h"
#include "media/Context.h"
#include "ui/BackingPanel.h"
#include "engine/Qel.h"
#include "media/QelInput.h"
#include "menus/ContextPlayerName.h"
#include "menus/ContextPlayers.h"

PlayerGreeting::PlayerGreeting() {
    helloLabel = new TextLabel(0.0f, 35.0f, 0.0f, u"", AppLink::fontMedium(), NORMAL_COLOUR);
    // Player names can hold any character, so the line goes through the system font.
    helloLabel->alignment = 0x205;
    addChild(helloLabel);
    hintLabel = new TextLabel(0.0f, 5.0f, 0.0f, u"", AppLink::fontSmall(), HINT_COLOUR);
    // A drop shadow four units down doubles the small letters into a blur.
    hintLabel->bShadow = false;
    addChild(hintLabel);
    // Both lines on a pale panel: the dark letters read whatever the picture has behind them.
    backing.follow(helloLabel);
    backing.follow(hintLabel);
    setHintText();
}

void PlayerGreeting::setHintText() {
    QelInput* in = qel ? qel->pQelInput : nullptr;
    const bool touch = in && in->inputMode == INPUTMODE_TOUCH;
    hintLabel->text = AppText::text(touch ? u"IOS_CLICKTOCHANGEPLAYERS" : u"CLICKTOCHANGEPLAYERS");
}

void PlayerGreeting::onInputModeChange() { setHintText(); }

bool PlayerGreeting::isOver(float x, float y, float labelY) {
    return x >= -HALF_WIDTH && x < HALF_WIDTH && y > labelY - LINE_HEIGHT && y <= labelY;
}

void PlayerGreeting::update(double time, double dt) {
    updateChildren(time, dt);
    if (!game) return;
    ProfileManager& profiles = game->profileManager;
    const WString name = profiles.current().getName();
    helloLabel->text = format(AppText::text(u"HELLO"), name);

    Context* menu = qel ? qel->pCurrentContext : nullptr;
    const bool hovered = menu && isOver(menu->pointerWorldPos[0], menu->pointerWorldPos[1], helloLabel->position.y);
    helloLabel->color = hovered ? HOVER_COLOUR : NORMAL_COLOUR;

    // At most one screen a frame: a missing name is asked for first, and then the list waits.
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (name.empty()) {
        game->gameConfiguration.bPlayerNameRequested = 1;
        AppLink::pushContext(new ContextPlayerName(false));
        return;
    }
    game->gameConfiguration.bPlayerNameRequested = 0;
    if (hovered && in && in->isAnyTouchPressed()) AppLink::pushContext(new ContextPlayers());
}

void PlayerGreeting::render() {
    if (bHidden) return;
    backing.render();
    helloLabel->render();
    hintLabel->render();
}

Vector3 PlayerGreeting::getNavigationPoint(int index) {
    if (index != 0) return endOfPoints();
    Context* context = nullptr;
    for (BasicLink* o = owner; o; o = o->owner) {
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) {
            context = static_cast<Context*>(o);
            break;
        }
    }
    const float y = helloLabel->position.y - LINE_HEIGHT / 2.0f;
    return ContextMenu::worldToPointer(context, Vector3(helloLabel->position.x, y, 0.0f));
}
