#include "menus/ContextPlayers.h"

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/Global.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/NameSlot.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/QelInput.h"
#include "menus/ContextPlayerName.h"

namespace {
constexpr uint32_t CURRENT_COLOUR = 0xFFFF0000;
constexpr uint32_t OTHER_COLOUR = 0xFFCCCCCC;
// The navigation point sits this far inside the hit box's left edge, so that the round trip
// through pointer coordinates (and the window's whole pixels) cannot drop it outside the row.
constexpr float NAVIGATION_INSET = 5.0f;

int profileCount() { return game ? game->profileManager.countProfiles() : 0; }
}  // namespace

Vector3 ContextPlayers::rowNavigationPoint(int row) {
    // On the side where the names start: the right in a right-to-left language.
    const float x = -ROW_HALF_WIDTH + NAVIGATION_INSET;
    return Vector3(AppText::rightToLeft() ? -x : x, ROW_TOP - ROW_HEIGHT / 2.0f - ROW_HEIGHT * float(row), 0.0f);
}

Vector3 ContextPlayers::RowList::getNavigationPoint(int index) {
    if (index < 0 || index >= profileCount()) return endOfPoints();
    Context* context = nullptr;
    for (BasicLink* o = owner; o; o = o->owner) {
        if (static_cast<QelBase*>(o)->isKindOf(&Context::classRecord)) {
            context = static_cast<Context*>(o);
            break;
        }
    }
    return ContextMenu::worldToPointer(context, rowNavigationPoint(index));
}

ContextPlayers::ContextPlayers() {
    bDeleteWhenDone = true;
    MenuItem::playSound(u"pop", true);
    pSlot = new NameSlot(0.0f, 0.0f, 0.0f, 640.0f, 384.0f, AppText::text(u"PLAYERS"));
    addChild(pSlot);
    // The menu item mirrors x for right-to-left reading.
    pAddButton = new MenuItemButton(-170.0f, -128.0f, 0.0f, AppText::text(u"ADDPLAYER"), u"");
    pAddButton->setWidth(160);
    appendItem(pAddButton);
    pDeleteButton = new MenuItemButton(0.0f, -128.0f, 0.0f, AppText::text(u"DELETEPLAYER"), u"");
    pDeleteButton->setWidth(160);
    pDeleteButton->confirmText = AppText::text(u"CONFIRM");
    appendItem(pDeleteButton);
    pDoneButton = new MenuItemClose(170.0f, -128.0f, 0.0f, AppText::text(u"DONE"), u"");
    pDoneButton->setWidth(160);
    appendItem(pDoneButton);
    pRows = new RowList();
    appendItem(pRows);
}

int ContextPlayers::rowAt(float x, float y, int count) {
    if (x < -ROW_HALF_WIDTH || x >= ROW_HALF_WIDTH) return -1;
    for (int i = 0; i < count; ++i) {
        const float top = ROW_TOP - ROW_HEIGHT * float(i);
        if (y > top - ROW_HEIGHT && y <= top) return i;
    }
    return -1;
}

void ContextPlayers::tickContents(double total, double dt) {
    const int count = profileCount();
    pAddButton->bDisabled = count >= MAX_PROFILES;
    pDeleteButton->bDisabled = count < 2;
    ContextMenu::tickContents(total, dt);
    if (!game) return;
    ProfileManager& profiles = game->profileManager;
    if (pAddButton->bClicked) {
        pAddButton->bClicked = false;
        AppLink::pushContext(new ContextPlayerName(true));
    } else if (pDeleteButton->bClicked) {
        pDeleteButton->bClicked = false;
        // The click arrives only after the player confirmed; the next profile (or the first)
        // becomes current.
        profiles.deleteProfile(profiles.currentIndex);
    }
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (in && in->isAnyTouchPressed()) {
        const int row = rowAt(pointerWorldPos[0], pointerWorldPos[1], profiles.countProfiles());
        if (row >= 0) {
            profiles.currentIndex = row;
            profiles.onCurrentProfileChanged();
        }
    }
}

void ContextPlayers::renderContents() {
    // The list is seen over the screen beneath it.
    if (prev) static_cast<Context*>(prev)->draw();
    ContextMenu::renderContents();
    if (!game) return;
    const ProfileManager& profiles = game->profileManager;
    const bool rtl = AppText::rightToLeft();
    FontQuad* font = AppLink::fontMedium();
    const int count = profiles.countProfiles();
    for (int i = 0; i < count; ++i) {
        const float y = ROW_TOP - ROW_HEIGHT / 2.0f - ROW_HEIGHT * float(i);
        const bool current = i == profiles.currentIndex;
        TextLabel label(rtl ? ROW_HALF_WIDTH : -ROW_HALF_WIDTH, y, 0.0f, profiles.getProfileName(i), font,
                        current ? CURRENT_COLOUR : OTHER_COLOUR);
        label.alignment = rtl ? 0x218 : 0x212;
        label.fitToWidth(int(2.0f * ROW_HALF_WIDTH));
        label.render();
        if (current) {
            Renderable marker;
            marker.position = Vector3(rtl ? 165.0f : -160.0f, y, 0.0f);
            marker.color = CURRENT_COLOUR;
            marker.updateXform();
            FontAccess::drawAligned(font, &marker, 0x14, u"\u0001");
        }
    }
}
