#include "menus/CreditsList.h"

#include <algorithm>

#include "ui/AppLink.h"
#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"

CreditsList::CreditsList() {
    bDeleteWhenDone = true;
    lines = new QelBase();
    addChild(lines);
    const int height = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480;
    nextLineY = -float(height) / 2.0f;
}

void CreditsList::addHeading(WStringView text) {
    FontQuad* font = AppLink::fontLarge();
    lines->addChild(new TextLabel(0.0f, nextLineY, 0.0f, text, font, 0xFFFFFFFF));
    nextLineY -= LINE_SPACING * float(FontAccess::lineHeight(font));
}

float CreditsList::halfRoom() {
    const int width = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800;
    return float(width) / 2.0f - EDGE_MARGIN;
}

void CreditsList::addLine(WStringView role, WStringView name) {
    FontQuad* font = AppLink::fontMedium();
    TextLabel* label;
    if (name.empty()) {
        // A blank line, or a role alone, centred; narrowed when it is wider than the picture.
        label = new TextLabel(0.0f, nextLineY, 0.0f, role, font, 0xFF000000);
        label->fitToWidth(int(2.0f * halfRoom()));
    } else {
        WStringView left = role, right = name;
        if (AppText::rightToLeft()) std::swap(left, right);
        // The middle of the six-space gap lies on the centre line. A side too long for its half
        // of the picture narrows the whole line about that point.
        const float w = FontAccess::textWidth(font, WString(left) + u"   ");
        const float widest = std::max(w, FontAccess::textWidth(font, u"   " + WString(right)));
        const float s = widest > halfRoom() ? halfRoom() / widest : 1.0f;
        label = new TextLabel(-w * s, nextLineY, 0.0f, WString(left) + u"      " + WString(right), font, 0xFF000000);
        label->alignment = label->alignment & ~0x4;
        label->scale = Vector3(s, 1.0f, 1.0f);
        label->updateXform();
    }
    lines->addChild(label);
    nextLineY -= LINE_SPACING * float(FontAccess::lineHeight(font));
}

void CreditsList::fill() {
    addHeading(AppText::text(u"VESK"));
    addLine(AppText::text(u"COPYRIGHT"), u"");
    addLine(u"", u"");
    for (int i = 1; i <= 5; ++i)
        addLine(AppText::text(format(u"CREDITS%dA", i).c_str()), AppText::text(format(u"CREDITS%dB", i).c_str()));
    for (int i = 6; i <= 8; ++i) addLine(u"", AppText::text(format(u"CREDITS%dB", i).c_str()));
    addLine(AppText::text(u"CREDITS10A"), AppText::text(u"CREDITS10B"));
    for (int i = 11; i <= 45; ++i) addLine(u"", AppText::text(format(u"CREDITS%dB", i).c_str()));
}

int CreditsList::lineAlpha(float y, float top, float bottom) {
    float a = 1.0f;
    if (y > top - TOP_FADE) {
        a = std::clamp((top - y) / TOP_FADE, 0.0f, 1.0f);
    } else if (y < bottom + BOTTOM_FADE) {
        a = std::clamp((y - (bottom + BOTTOM_CLEAR)) / (BOTTOM_FADE - BOTTOM_CLEAR), 0.0f, 1.0f);
    }
    return int(255.0f * a);
}

void CreditsList::tickContents(double total, double dt) {
    Context::tickContents(total, dt);
    float top = 0.0f, bottom = 0.0f;
    if (pCamera) {
        const WorldRect r = pCamera->getVisibleRect(pCamera->target.z);
        top = r.top;
        bottom = r.bottom;
    }
    for (BasicLink* l = lines->firstChild; l; l = l->next) {
        auto* label = static_cast<TextLabel*>(l);
        if (label->bDead) continue;
        label->position = label->position + scrollVelocity * float(dt);
        label->updateXform();
        const int alpha = lineAlpha(label->position.y, top, bottom);
        label->color = (label->color & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
        label->bHidden = alpha == 0;
        // Gone once it has risen well past the top edge; the next walk over the lines deletes it.
        if (label->position.y - GONE_ABOVE_TOP > top) label->bDead = true;
    }
}
