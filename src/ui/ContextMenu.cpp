#include "ui/ContextMenu.h"

#include <cmath>
#include <cstring>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/MenuEntry.h"
#include "ui/MenuNavigable.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "media/Vertex.h"
#include "media/VertexBuffer.h"
#include "platform/D3DX9.h"

QEL_IMPLEMENT_CLASS_FIXED(ContextMenu, 0x4229753a, u"_4229753a", &Context::classRecord, QEL_FACTORY(ContextMenu))

namespace {
int layoutWidth() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800; }
int layoutHeight() { return qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480; }
QelInput* input() { return qel ? qel->pQelInput : nullptr; }
int frameCount() { return qel ? qel->frameCount : 0; }

bool released(QelInput* in, int code) { return !in->isKeyDown(code) && (in->prevKeys[code] & 0x80) != 0; }

// The camera's visible rectangle at z = 0 and the world units per pointer unit; a context without
// a camera uses the default camera's view (centred, 90 degrees across the layout width).
void mapping(Context* context, float& left, float& bottom, float& s) {
    const float w = float(layoutWidth());
    if (context && context->pCamera) {
        WorldRect r = context->pCamera->getVisibleRect(context->pCamera->target.z);
        left = r.left;
        bottom = r.bottom;
        s = (0.0f - context->pCamera->position.z) / (w / 2.0f);
    } else {
        left = -w / 2.0f;
        bottom = -float(layoutHeight()) / 2.0f;
        s = 1.0f;
    }
}
}  // namespace

ContextMenu::ContextMenu() {
    cornerX = layoutWidth() / 2 + itemSpacing / 2 - marginX;
    cornerY = layoutHeight() / 2 - marginY;
    fillMenuLayout(AppText::rightToLeft());
    savedPointer = worldToPointer(this, Vector3(0.0f, float(layoutHeight()) / 2.0f, 0.0f));
}

ContextMenu::~ContextMenu() { navigation.deleteChildren(); }

void ContextMenu::fillMenuLayout(bool rtl) {
    static const int32_t ltr[12] = {6, 4, 40, 34, 24, 18, 9, 3, 8, 2, 0, 1};
    static const int32_t rtlValues[12] = {4, 6, 34, 40, 18, 24, 3, 9, 2, 8, 0, -1};
    std::memcpy(menuLayout, rtl ? rtlValues : ltr, sizeof(menuLayout));
    float sign = rtl ? -1.0f : 1.0f;
    std::memcpy(&menuLayout[10], &sign, sizeof(float));
}

float ContextMenu::layoutSign() {
    float sign;
    std::memcpy(&sign, &menuLayout[10], sizeof(float));
    return sign;
}

Vector3 ContextMenu::worldToPointer(Context* context, const Vector3& world) {
    float left, bottom, s;
    mapping(context, left, bottom, s);
    return Vector3((world.x - left) / s, (world.y - bottom) / s, world.z);
}

Vector3 ContextMenu::pointerToWorld(Context* context, const Vector3& pointer) {
    float left, bottom, s;
    mapping(context, left, bottom, s);
    return Vector3(left + pointer.x * s, bottom + pointer.y * s, 0.0f);
}

void ContextMenu::appendItem(Renderable* item) {
    addChild(item);
    auto* menuItem = dynamic_cast<MenuNavigable*>(item);
    if (!menuItem) return;
    (pContentOwner ? pContentOwner : this)->addItem(menuItem);
}

MenuEntry* ContextMenu::addItem(MenuNavigable* item) {
    auto* entry = new MenuEntry(item);
    navigation.addChild(entry);
    return entry;
}

void ContextMenu::setMenuNavigationMode(int mode) {
    if (mode == menuNavigationMode) return;
    qelLog(u"ContextMenu::setMenuNavigationMode", u"Setting menu navigation mode to %d", mode);
    menuNavigationMode = mode;
    menuNavigationModeFrame = frameCount();
}

float ContextMenu::score(const Vector3& p, const Vector3& q, int direction) {
    const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    const float dist = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (direction == DIR_NEAREST) return dist < 1.0f ? 256.0f : 256.0f / dist;
    if (dist < 4.0f) return -1.0f;
    static const float D[4][2] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0}};
    if (direction < 0 || direction > 3) return -1.0f;
    const float dot = (dx * D[direction][0] + dy * D[direction][1]) / dist;
    return 256.0f * dot / dist;
}

Vector3 ContextMenu::findNextItem(const Vector3& p, int direction) {
    const float w = float(layoutWidth()), h = float(layoutHeight());
    Vector3 best = p;
    float bestScore = 0.0f;
    for (BasicLink* l = navigation.firstChild; l; l = l->next) {
        auto* entry = static_cast<MenuEntry*>(l);
        MenuNavigable* item = entry->getItem();
        if (!item) {
            entry->bDead = true;
            continue;
        }
        if (!item->bVisible || item->bHidden) continue;
        for (int i = 0;; ++i) {
            Vector3 q = item->getNavigationPoint(i);
            if (q.x == -1.0f && q.y == -1.0f && q.z == -1.0f) break;
            if (!(q.x >= 0 && q.x < w && q.y > 0 && q.y <= h)) continue;
            float s = score(p, q, direction);
            if (s > 0 && s > bestScore) {
                bestScore = s;
                best = q;
            }
        }
    }
    // Entries whose items are gone leave the list.
    for (BasicLink* l = navigation.firstChild; l;) {
        BasicLink* next = l->next;
        if (l->bDead) static_cast<QelBase*>(l)->release();
        l = next;
    }
    return best;
}

void ContextMenu::tickContents(double total, double dt) {
    Context::tickContents(total, dt);
    QelInput* in = input();
    if (!in) return;
    if (bKeyboardNavigation && frameCount() >= menuNavigationModeFrame + 2) {
        const bool up = in->wasKeyPressed(200) || in->wasKeyPressed(256) || in->wasKeyPressed(304);
        const bool down = in->wasKeyPressed(208) || in->wasKeyPressed(257) || in->wasKeyPressed(305);
        const bool left = in->wasKeyPressed(203) || in->wasKeyPressed(258) || in->wasKeyPressed(306);
        const bool right = in->wasKeyPressed(205) || in->wasKeyPressed(259) || in->wasKeyPressed(307);
        const bool confirmPressed = in->wasKeyPressed(28) || in->wasKeyPressed(272) || in->wasKeyPressed(320);
        const bool confirmReleased = released(in, 28) || released(in, 272) || released(in, 320);
        if (bEscapeCloses && !bConfirmEscape && (in->wasKeyPressed(273) || in->wasKeyPressed(321))) bDone = true;
        if (confirmPressed) bPendingConfirm = true;
        if (up || down || left || right || confirmReleased) {
            setMenuNavigationMode(NAV_KEYBOARD);
            Vector3 p = in->pointer;
            if (up) p = findNextItem(p, DIR_UP);
            if (down) p = findNextItem(p, DIR_DOWN);
            if (left) p = findNextItem(p, DIR_LEFT);
            if (right) p = findNextItem(p, DIR_RIGHT);
            in->setInputMode(INPUTMODE_MOUSE);
            in->setPointerPosition(p);
            if (confirmReleased && bPendingConfirm) {
                bPendingConfirm = false;
                in->createTouchAtPointer();
            }
        }
    }
    if (menuNavigationMode == NAV_KEYBOARD) {
        const Vector3& d = in->pointerDelta;
        if (d.x * d.x + d.y * d.y + d.z * d.z > 4.0f) setMenuNavigationMode(NAV_POINTER);
    }
}

void ContextMenu::onActivate(bool bFirst) {
    bPendingConfirm = false;
    QelInput* in = input();
    if (!in) return;
    if (menuNavigationMode == NAV_POINTER && in->inputMode == INPUTMODE_TOUCH) {
        in->setPointerPosition(worldToPointer(this, Vector3(0.0f, float(layoutHeight()) / 2.0f, 0.0f)));
    } else if (menuNavigationMode == NAV_KEYBOARD) {
        in->setPointerPosition(savedPointer);
        updatePointerPosition();
        in->setInputMode(INPUTMODE_MOUSE);
        in->setPointerPosition(findNextItem(in->pointer, DIR_NEAREST));
    }
}

void ContextMenu::onDeactivate(bool) {
    savedPointer = worldToPointer(this, Vector3(pointerWorldPos[0], pointerWorldPos[1], pointerWorldPos[2]));
}

void ContextMenu::onInputModeChange() {
    QelInput* in = input();
    if (in && in->inputMode == INPUTMODE_TOUCH) setMenuNavigationMode(NAV_POINTER);
}

void ContextMenu::renderContents() {
    Context::renderContents();
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (!qel || qel->bDebugLocked || !g || !g->dxDevice) return;
    // The navigation points, each as a 10 by 10 square; in keyboard mode they blink.
    uint32_t colour = 0xFF000000;
    if (menuNavigationMode == NAV_KEYBOARD && (int64_t(totalTime / 0.2) % 2) != 0) colour = 0xFFFF00FF;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g->dxDevice->SetTransform(D3DTS_WORLD, &identity);
    for (BasicLink* l = navigation.firstChild; l; l = l->next) {
        MenuNavigable* item = static_cast<MenuEntry*>(l)->getItem();
        if (!item) continue;
        for (int i = 0;; ++i) {
            const Vector3 q = item->getNavigationPoint(i);
            if (q.x == -1.0f && q.y == -1.0f && q.z == -1.0f) break;
            const Vector3 w = pointerToWorld(this, q);
            const float cx[4] = {w.x - 5, w.x + 5, w.x + 5, w.x - 5};
            const float cy[4] = {w.y - 5, w.y - 5, w.y + 5, w.y + 5};
            VertexBuffer square(8);
            for (int k = 0; k < 4; ++k) {
                square.vertexData[2 * k] = Vertex{cx[k], cy[k], 0.0f, colour, 0.0f, 0.0f};
                square.vertexData[2 * k + 1] = Vertex{cx[(k + 1) % 4], cy[(k + 1) % 4], 0.0f, colour, 0.0f, 0.0f};
            }
            square.upload();
            square.draw(nullptr, 1, 0, -1);
        }
    }
}
