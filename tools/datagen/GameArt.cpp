// Art of the game itself: the track band, cars, cargo, docks, power-ups, the launcher with its
// chain and bowstring, effects, the mascot and the awards.

#include <cmath>

#include "datagen/ArtBank.h"
#include "datagen/ArtShapes.h"
#include "datagen/Canvas.h"
#include "datagen/Palette.h"

namespace datagen {

// The mascot's body without its eyes, in a box of w x h (200 x 240 at full size).
void drawMascot(cairo_t* cr, int w, int h) {
    const double cx = w / 2.0;
    const uint32_t fur = 0xFFF6F8FC, furShade = 0xFFC9D4E2, line = 0xFF4A5668;
    // Body and coat.
    cairo_move_to(cr, cx - 70, h - 4);
    cairo_curve_to(cr, cx - 80, 150, cx - 50, 120, cx, 120);
    cairo_curve_to(cr, cx + 50, 120, cx + 80, 150, cx + 70, h - 4);
    cairo_close_path(cr);
    fillVertical(cr, 120, h, 0xFF2F5DA8, 0xFF1E3C70);
    setColor(cr, 0xFF102040);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    for (int k = 0; k < 3; ++k) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, 160 + k * 24, 4, 0, 2 * M_PI);
    }
    setColor(cr, kGold);
    cairo_fill(cr);
    // Scarf.
    roundedRect(cr, cx - 48, 116, 96, 16, 8);
    fillAndOutline(cr, kHollyRed, 0xFF6A0E18, 1.5);
    roundedRect(cr, cx + 20, 124, 16, 40, 6);
    fillAndOutline(cr, kHollyRed, 0xFF6A0E18, 1.5);
    // Head and ears.
    for (int s = -1; s <= 1; s += 2) {
        cairo_arc(cr, cx + s * 40, 36, 16, 0, 2 * M_PI);
        fillAndOutline(cr, fur, line, 2);
        cairo_arc(cr, cx + s * 40, 36, 8, 0, 2 * M_PI);
        setColor(cr, 0xFFF0B8C0);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, cx, 76);
    cairo_scale(cr, 1.0, 0.88);
    cairo_arc(cr, 0, 0, 52, 0, 2 * M_PI);
    cairo_restore(cr);
    fillRadial(cr, cx - 15, 60, 70, fur, furShade);
    setColor(cr, line);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Muzzle, nose and smile.
    cairo_save(cr);
    cairo_translate(cr, cx, 100);
    cairo_scale(cr, 1.0, 0.75);
    cairo_arc(cr, 0, 0, 22, 0, 2 * M_PI);
    cairo_restore(cr);
    fillAndOutline(cr, 0xFFFFFFFF, furShade, 1.5);
    cairo_save(cr);
    cairo_translate(cr, cx, 93);
    cairo_scale(cr, 1.0, 0.7);
    cairo_arc(cr, 0, 0, 8, 0, 2 * M_PI);
    cairo_restore(cr);
    setColor(cr, 0xFF1A1A22);
    cairo_fill(cr);
    cairo_arc(cr, cx, 100, 9, 0.2 * M_PI, 0.8 * M_PI);
    setColor(cr, 0xFF1A1A22);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Conductor's cap.
    cairo_move_to(cr, cx - 44, 40);
    cairo_curve_to(cr, cx - 40, 12, cx + 40, 12, cx + 44, 40);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF1E3C70, 0xFF0A1A38, 2);
    roundedRect(cr, cx - 50, 36, 100, 9, 4);
    fillAndOutline(cr, 0xFF10203C, 0xFF0A1A38, 1);
    starPath(cr, cx, 28, 7, 3, 5);
    setColor(cr, kGold);
    cairo_fill(cr);
    // Rosy cheeks.
    for (int s = -1; s <= 1; s += 2) {
        cairo_arc(cr, cx + s * 34, 96, 7, 0, 2 * M_PI);
        setColor(cr, 0x50FF6080);
        cairo_fill(cr);
    }
}

namespace {

// The track band, tiled along the track: two rails on sleepers. Its whole width repeats: 256
// wide, so that a texture rounded up to 256 pixels (the engine's default) still holds nothing else.
TextureImage ladder() {
    Atlas atlas("gfx/gui/game/dashedline.tga");
    atlas.add(256, 32, [](cairo_t* cr, int w, int h) {
        for (int x = 4; x < w; x += 16) {
            cairo_rectangle(cr, x, 3, 9, h - 6);
            fillVertical(cr, 3, h - 3, 0xFF8A5A35, 0xFF5C3A20);
            cairo_new_path(cr);
        }
        for (double y : {8.0, h - 10.0}) {
            cairo_rectangle(cr, 0, y, w, 3);
            setColor(cr, 0xFF39404A);
            cairo_fill(cr);
            cairo_rectangle(cr, 0, y, w, 1);
            setColor(cr, 0xFFC8D2DC);
            cairo_fill(cr);
        }
    });
    return atlas.build();
}

void wheel(cairo_t* cr, double x, double y, double r) {
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    fillAndOutline(cr, 0xFF30343C, 0xFF101216, 1);
}

// Wagons seen from above, heading to the right (+x); the skin width sets the body length.
void wagonBody(cairo_t* cr, int w, int h, uint32_t colour) {
    roundedRect(cr, 3, 3, w - 6, h - 6, 5);
    fillVertical(cr, 3, h - 3, shade(colour, 1.15), shade(colour, 0.75));
    setColor(cr, shade(colour, 0.45));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    roundedRect(cr, 7, 7, w - 14, h - 14, 3);
    setColor(cr, 0x40000000);
    cairo_fill(cr);
    // Gold trim along the sides.
    setColor(cr, kGold);
    cairo_rectangle(cr, 6, 4, w - 12, 2);
    cairo_rectangle(cr, 6, h - 6, w - 12, 2);
    cairo_fill(cr);
}

TextureImage cars() {
    Atlas atlas("gfx/car.tga", 256);
    // 0: the engine, chimney at the front (right), cab at the back. The sizes are the ones the
    // level pictures lay their covers out for.
    atlas.add(static_cast<int>(kCarSizes[0].width), static_cast<int>(kCarSizes[0].height), [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 2, 6, w - 4, h - 12, 6);
        fillVertical(cr, 6, h - 6, 0xFFE03545, 0xFF9A1825);
        setColor(cr, 0xFF5E0E16);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // Boiler.
        roundedRect(cr, 24, 10, w - 30, h - 20, 9);
        fillVertical(cr, 10, h - 10, 0xFF3A4250, 0xFF1E232C);
        cairo_new_path(cr);
        for (int k = 0; k < 3; ++k) {
            cairo_rectangle(cr, 32 + k * 11, 10, 2, h - 20);
        }
        setColor(cr, kGold);
        cairo_fill(cr);
        // Chimney and headlamp.
        cairo_arc(cr, w - 14, h / 2.0, 6, 0, 2 * M_PI);
        fillAndOutline(cr, 0xFF23272E, 0xFF000000, 1.5);
        cairo_arc(cr, w - 4, h / 2.0, 3, 0, 2 * M_PI);
        setColor(cr, 0xFFFFF2A8);
        cairo_fill(cr);
        // Cab roof with snow.
        roundedRect(cr, 4, 4, 20, h - 8, 4);
        fillVertical(cr, 4, h - 4, kSnow, kIce);
        setColor(cr, 0xFF8090A0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // A sprig of holly on the boiler.
        cairo_arc(cr, 30, h / 2.0, 2.6, 0, 2 * M_PI);
        setColor(cr, kHollyRed);
        cairo_fill(cr);
    });
    const uint32_t wagonColours[3] = {0xFF2E7D4F, 0xFF2F5DA8, 0xFF8E3FA0};
    for (int k = 0; k < 3; ++k) {
        const uint32_t colour = wagonColours[k];
        const CarSize size = kCarSizes[static_cast<size_t>(k + 1)];
        atlas.add(static_cast<int>(size.width), static_cast<int>(size.height), [colour](cairo_t* cr, int w, int h) { wagonBody(cr, w, h, colour); });
    }
    // 4: the coupling between two cars.
    atlas.add(24, 10, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 1, 2, w - 2, h - 4, 3);
        fillAndOutline(cr, 0xFF606A78, 0xFF262A30, 1.2);
        cairo_arc(cr, 4, h / 2.0, 2, 0, 2 * M_PI);
        cairo_arc(cr, w - 4, h / 2.0, 2, 0, 2 * M_PI);
        setColor(cr, 0xFFB8C0CC);
        cairo_fill(cr);
    });
    (void)wheel;
    return atlas.build();
}

// A wrapped present in the cargo colour with a ribbon and the colour's marker on its tag.
void present(cairo_t* cr, int w, int h, int type) {
    const uint32_t colour = kCargoColours[type];
    const uint32_t ribbon = type == 7 ? 0xFFD62839 : (type == 2 || type == 4 ? 0xFF2050C0 : 0xFFFFFFFF);
    roundedRect(cr, 2, 2, w - 4, h - 4, 5);
    fillVertical(cr, 2, h - 2, shade(colour, 1.0), shade(colour, 0.7));
    setColor(cr, shade(colour, 0.4));
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    setColor(cr, ribbon);
    cairo_rectangle(cr, w / 2.0 - 2.5, 2, 5, h - 4);
    cairo_rectangle(cr, 2, h / 2.0 - 2.5, w - 4, 5);
    cairo_fill(cr);
    // Bow.
    for (int s = -1; s <= 1; s += 2) {
        cairo_save(cr);
        cairo_translate(cr, w / 2.0 + s * 5, h / 2.0 - 5);
        cairo_rotate(cr, s * 0.6);
        cairo_scale(cr, 1, 0.6);
        cairo_arc(cr, 0, 0, 5, 0, 2 * M_PI);
        cairo_restore(cr);
        setColor(cr, ribbon);
        cairo_fill_preserve(cr);
        setColor(cr, 0x60000000);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    // The colour's marker in the corner.
    markerPath(cr, type, w * 0.75, h * 0.75, 4.2);
    setColor(cr, type == 7 ? 0xFF303030 : 0xFFFFFFFF);
    cairo_fill_preserve(cr);
    setColor(cr, 0xA0000000);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // Gloss.
    roundedRect(cr, 4, 4, w - 8, h * 0.3, 4);
    setColor(cr, 0x30FFFFFF);
    cairo_fill(cr);
}

TextureImage cargo() {
    Atlas atlas("xmas-edition/gfx/cargo.tga", 256);
    for (int type = 0; type < 8; ++type) atlas.add(32, 32, [type](cairo_t* cr, int w, int h) { present(cr, w, h, type); });
    return atlas.build();
}

// Slot markers on the wagons: skin 0 the plain slot, 1..8 the same with one symbol per colour.
// The game tints them with the slot's colour, so the pad is opaque white (it shows the palette
// colour itself, whatever the wagon under it) in a dark rim that sets it off from the body, and
// the symbols are dark, so that they read on every colour. The pad is 28 pixels wide in a 36-pixel
// cell: the slots of the longest wagon, 31 apart, do not touch.
void dockPad(cairo_t* cr, int w, int h) {
    roundedRect(cr, 4, 4, w - 8, h - 8, 6);
    fillAndOutline(cr, 0xFFFFFFFF, 0xFF1C2026, 2.5);
    // A faint recess line just inside the rim.
    roundedRect(cr, 7, 7, w - 14, h - 14, 4);
    setColor(cr, 0x38000000);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

TextureImage dock() {
    Atlas atlas("xmas-edition/gfx/dock.tga", 256);
    atlas.add(36, 36, [](cairo_t* cr, int w, int h) { dockPad(cr, w, h); });
    for (int type = 0; type < 8; ++type)
        atlas.add(36, 36, [type](cairo_t* cr, int w, int h) {
            dockPad(cr, w, h);
            markerPath(cr, type, w / 2.0, h / 2.0, 8.5);
            setColor(cr, 0xFF1C2026);
            cairo_fill(cr);
        });
    return atlas.build();
}

void bauble(cairo_t* cr, int w, int h, uint32_t colour) {
    const double r = w / 2.0 - 3;
    cairo_arc(cr, w / 2.0, h / 2.0 + 1, r, 0, 2 * M_PI);
    fillRadial(cr, w / 2.0 - r * 0.35, h / 2.0 - r * 0.3, r * 1.4, shade(colour, 1.6), shade(colour, 0.6));
    setColor(cr, shade(colour, 0.35));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, w / 2.0 - 4, 0.5, 8, 4);
    setColor(cr, kGold);
    cairo_fill(cr);
}

TextureImage fireball() {
    Atlas atlas("gfx/fireball.tga");
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        for (int k = 0; k < 8; ++k) {
            cairo_save(cr);
            cairo_translate(cr, w / 2.0, h / 2.0);
            cairo_rotate(cr, k * M_PI / 4);
            cairo_move_to(cr, -5, -6);
            cairo_curve_to(cr, -3, -12, 2, -14, 0, -15.5);
            cairo_curve_to(cr, 5, -11, 6, -8, 5, -5);
            cairo_close_path(cr);
            cairo_restore(cr);
        }
        setColor(cr, 0xFFFF7A00);
        cairo_fill(cr);
        cairo_arc(cr, w / 2.0, h / 2.0, 9, 0, 2 * M_PI);
        fillRadial(cr, w / 2.0, h / 2.0, 9, 0xFFFFFFC0, 0xFFFF4000);
        cairo_new_path(cr);
    });
    return atlas.build();
}

TextureImage wildcard() {
    Atlas atlas("gfx/wildcard.tga");
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        for (int k = 0; k < 7; ++k) {
            cairo_move_to(cr, w / 2.0, h / 2.0);
            cairo_arc(cr, w / 2.0, h / 2.0, 14, k * 2 * M_PI / 7, (k + 1) * 2 * M_PI / 7);
            cairo_close_path(cr);
            setColor(cr, kCargoColours[k]);
            cairo_fill(cr);
        }
        cairo_arc(cr, w / 2.0, h / 2.0, 14, 0, 2 * M_PI);
        setColor(cr, 0xFF303040);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        starPath(cr, w / 2.0, h / 2.0, 8, 3.5, 5);
        fillAndOutline(cr, kSnow, 0xFF404040, 1);
    });
    return atlas.build();
}

TextureImage beam() {
    Atlas atlas("gfx/beam.tga", 256);
    atlas.add(128, 12, [](cairo_t* cr, int w, int h) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.8, 0.9);
        cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 0.8, 0);
        for (int y = 0; y < h; ++y) {
            const double a = std::sin(M_PI * (y + 0.5) / h);
            cairo_rectangle(cr, 0, y, w, 1);
            cairo_save(cr);
            cairo_clip(cr);
            cairo_set_source(cr, p);
            cairo_paint_with_alpha(cr, a * a);
            cairo_restore(cr);
        }
        cairo_pattern_destroy(p);
    });
    return atlas.build();
}

TextureImage launcher() {
    Atlas atlas("gfx/launcher.tga", 256);
    // 0: the turntable the launcher stands on.
    atlas.add(72, 72, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 33, 0, 2 * M_PI);
        fillRadial(cr, w / 2.0, h / 2.0, 33, 0xFFE9F2FA, 0xFFA9BCCF);
        setColor(cr, 0xFF58687A);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        cairo_arc(cr, w / 2.0, h / 2.0, 22, 0, 2 * M_PI);
        setColor(cr, 0xFF8A5A35);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
        for (int k = 0; k < 12; ++k) {
            const double a = k * M_PI / 6;
            cairo_new_sub_path(cr);
            cairo_arc(cr, w / 2.0 + std::cos(a) * 29, h / 2.0 + std::sin(a) * 29, 1.6, 0, 2 * M_PI);
        }
        setColor(cr, kGold);
        cairo_fill(cr);
    });
    // 1: the bow, aiming to the right; its string tips lie at (-4, +-26) from the centre.
    atlas.add(64, 64, [](cairo_t* cr, int w, int h) {
        const double cx = w / 2.0, cy = h / 2.0;
        cairo_move_to(cr, cx - 4, cy - 26);
        cairo_curve_to(cr, cx + 18, cy - 22, cx + 18, cy + 22, cx - 4, cy + 26);
        setColor(cr, 0xFF4A2A15);
        cairo_set_line_width(cr, 7);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke_preserve(cr);
        setColor(cr, 0xFFB0703A);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        // Candy-cane stock along the aim.
        roundedRect(cr, cx - 14, cy - 4, 30, 8, 4);
        setColor(cr, kSnow);
        cairo_fill_preserve(cr);
        setColor(cr, 0xFF7A1018);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        for (int k = 0; k < 4; ++k) {
            cairo_move_to(cr, cx - 12 + k * 7, cy + 4);
            cairo_line_to(cr, cx - 8 + k * 7, cy - 4);
        }
        setColor(cr, kHollyRed);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    });
    // 2: the hook at the end of the chain, opening to the right.
    atlas.add(28, 28, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0 + 2, h / 2.0, 9, M_PI * 0.25, M_PI * 1.75);
        setColor(cr, 0xFF2C3440);
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        setColor(cr, 0xFFB8C4D0);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        cairo_arc(cr, 4, h / 2.0, 3, 0, 2 * M_PI);
        fillAndOutline(cr, 0xFFB8C4D0, 0xFF2C3440, 1.2);
    });
    return atlas.build();
}

TextureImage chain() {
    // One strip of links; its whole width repeats along the chain (256: see the track band).
    Atlas atlas("gfx/chain.tga", 256);
    atlas.add(256, 16, [](cairo_t* cr, int w, int h) {
        for (int x = 0; x < w; x += 16) {
            const bool flat = (x / 16) % 2 == 0;
            roundedRect(cr, x + 1, flat ? 4 : 6.5, 14, flat ? 8 : 3, flat ? 4 : 1.5);
            setColor(cr, 0xFF2C3440);
            cairo_set_line_width(cr, 3);
            cairo_stroke_preserve(cr);
            setColor(cr, 0xFFB8C4D0);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        }
        (void)h;
    });
    return atlas.build();
}

// The bowstring drawn back by fraction f: frames 0 (slack) to n-1 (fully drawn). Each frame has
// the size and centre of the bow skin.
TextureImage bowstring() {
    Atlas atlas("gfx/bowstring.tga", 256);
    const int frames = 8;
    for (int k = 0; k < frames; ++k)
        atlas.add(64, 64, [k](cairo_t* cr, int w, int h) {
            const double cx = w / 2.0, cy = h / 2.0;
            const double pull = 18.0 * k / (frames - 1);
            cairo_move_to(cr, cx - 4, cy - 26);
            cairo_line_to(cr, cx - 4 - pull, cy);
            cairo_line_to(cr, cx - 4, cy + 26);
            setColor(cr, 0xFFF4F0E0);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
        });
    return atlas.build();
}

// Power-ups: a bauble each with its symbol. 0 stop, 1 reverse, 2 wildcard, 3 colour bomb,
// 4 fireball, 5 speed shot, 6 extra life, 7 slow.
void bonusSymbol(cairo_t* cr, int kind, double cx, double cy) {
    switch (kind) {
        case 0: {
            for (int k = 0; k < 8; ++k) {
                const double a = M_PI / 8 + k * M_PI / 4;
                if (k == 0) cairo_move_to(cr, cx + 9 * std::cos(a), cy + 9 * std::sin(a));
                else cairo_line_to(cr, cx + 9 * std::cos(a), cy + 9 * std::sin(a));
            }
            cairo_close_path(cr);
            fillAndOutline(cr, 0xFFE02030, kSnow, 1.5);
            cairo_rectangle(cr, cx - 5, cy - 1.5, 10, 3);
            setColor(cr, kSnow);
            cairo_fill(cr);
            break;
        }
        case 1:
            cairo_arc(cr, cx, cy, 7, M_PI * 0.15, M_PI * 1.6);
            setColor(cr, kSnow);
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
            cairo_move_to(cr, cx + 1, cy - 11);
            cairo_line_to(cr, cx + 7, cy - 6.5);
            cairo_line_to(cr, cx + 1, cy - 2);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        case 2: starPath(cr, cx, cy, 9, 4, 5); fillAndOutline(cr, kSnow, 0xFF505050, 1); break;
        case 3:
            cairo_arc(cr, cx - 1, cy + 2, 7, 0, 2 * M_PI);
            fillAndOutline(cr, 0xFF202028, kSnow, 1);
            cairo_move_to(cr, cx + 3, cy - 3);
            cairo_curve_to(cr, cx + 6, cy - 8, cx + 8, cy - 6, cx + 9, cy - 9);
            setColor(cr, 0xFFFFD060);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
            break;
        case 4:
            cairo_move_to(cr, cx, cy + 9);
            cairo_curve_to(cr, cx - 9, cy + 7, cx - 6, cy - 3, cx - 1, cy - 10);
            cairo_curve_to(cr, cx, cy - 4, cx + 4, cy - 5, cx + 4, cy - 8);
            cairo_curve_to(cr, cx + 10, cy - 1, cx + 8, cy + 8, cx, cy + 9);
            cairo_close_path(cr);
            fillAndOutline(cr, 0xFFFFC020, 0xFFFF4000, 1.5);
            break;
        case 5:
            cairo_move_to(cr, cx + 2, cy - 11);
            cairo_line_to(cr, cx - 6, cy + 1);
            cairo_line_to(cr, cx, cy + 1);
            cairo_line_to(cr, cx - 3, cy + 11);
            cairo_line_to(cr, cx + 7, cy - 2);
            cairo_line_to(cr, cx + 1, cy - 2);
            cairo_close_path(cr);
            fillAndOutline(cr, 0xFFFFF060, 0xFF805000, 1);
            break;
        case 6: heartPath(cr, cx, cy, 18); fillAndOutline(cr, 0xFFFF3050, kSnow, 1.5); break;
        default:
            cairo_arc(cr, cx, cy, 8, 0, 2 * M_PI);
            fillAndOutline(cr, kSnow, 0xFF303040, 1.5);
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx, cy - 6);
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + 4, cy + 2);
            setColor(cr, 0xFF303040);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            break;
    }
}

TextureImage bonus() {
    Atlas atlas("gfx/bonus.tga", 256);
    const uint32_t colours[8] = {0xFFB02030, 0xFF2070C0, 0xFF8040C0, 0xFF404858, 0xFFD05010, 0xFF208040, 0xFFC02070, 0xFF3090A0};
    for (int k = 0; k < 8; ++k)
        atlas.add(36, 36, [k, colours](cairo_t* cr, int w, int h) {
            bauble(cr, w, h, colours[k]);
            bonusSymbol(cr, k, w / 2.0, h / 2.0 + 1);
        });
    return atlas.build();
}

TextureImage flare() {
    Atlas atlas("gfx/flare.tga", 256);
    for (int k = 0; k < 4; ++k)
        atlas.add(32, 32, [k](cairo_t* cr, int w, int h) {
            cairo_arc(cr, w / 2.0, h / 2.0, 15, 0, 2 * M_PI);
            fillRadial(cr, w / 2.0, h / 2.0, 15, 0xB0FFFFFF, 0x00FFF0C0);
            cairo_new_path(cr);
            starPath(cr, w / 2.0, h / 2.0, 15 - k * 2, 2.2, 4, k * M_PI / 16);
            setColor(cr, 0xFFFFFFFF);
            cairo_fill(cr);
        });
    return atlas.build();
}

TextureImage smoke() {
    // Puffs of steam that grow and thin out over the frames.
    Atlas atlas("gfx/smoke.tga", 256);
    for (int k = 0; k < 8; ++k)
        atlas.add(32, 32, [k](cairo_t* cr, int w, int h) {
            const double grow = 0.6 + 0.4 * k / 7.0;
            const double alpha = 1.0 - 0.55 * k / 7.0;
            const double offsets[4][3] = {{0, 1, 6.5}, {-5, 3, 5}, {5, 2, 5.5}, {1, -4, 5.5}};
            for (const auto& o : offsets) {
                const double x = w / 2.0 + o[0] * grow, y = h / 2.0 + o[1] * grow, r = o[2] * grow * 1.45;
                cairo_arc(cr, x, y, r, 0, 2 * M_PI);
                const auto a = static_cast<uint32_t>(alpha * 235);
                fillRadial(cr, x - r * 0.3, y - r * 0.3, r * 1.3, (a << 24) | 0xFFFFFF, (a * 3 / 4 << 24) | 0xB8C2CE);
                cairo_new_path(cr);
            }
        });
    return atlas.build();
}

TextureImage circle() {
    Atlas atlas("gfx/circle.tga");
    atlas.add(64, 64, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 28, 0, 2 * M_PI);
        setColor(cr, 0xFFFFFFFF);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    });
    return atlas.build();
}

TextureImage heart() {
    Atlas atlas("gfx/star.tga", 256);
    const int frames = 8;
    for (int k = 0; k < frames; ++k)
        atlas.add(32, 32, [k](cairo_t* cr, int w, int h) {
            // One turn of a spinning heart: its width follows the cosine of the turn.
            const double turn = std::cos(k * 2 * M_PI / frames);
            cairo_save(cr);
            cairo_translate(cr, w / 2.0, h / 2.0);
            cairo_scale(cr, std::max(0.15, std::abs(turn)), 1);
            heartPath(cr, 0, 0, 26);
            cairo_restore(cr);
            fillAndOutline(cr, turn > 0 ? 0xFFFF2848 : 0xFFC01830, 0xFF700010, 1.2);
        });
    return atlas.build();
}

TextureImage placementIcons() {
    Atlas atlas("gfx/placementicons.tga");
    // 0: wrong piece, a cross (drawn white; the game blinks its tint).
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        cairo_move_to(cr, 8, 8);
        cairo_line_to(cr, w - 8, h - 8);
        cairo_move_to(cr, w - 8, 8);
        cairo_line_to(cr, 8, h - 8);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setColor(cr, 0xFF202020);
        cairo_set_line_width(cr, 8);
        cairo_stroke_preserve(cr);
        setColor(cr, 0xFFFFFFFF);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
    });
    // 1: a power-up waiting to be collected by this colour: a ring with a down arrow (tinted).
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 13, 0, 2 * M_PI);
        setColor(cr, 0xFFFFFFFF);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        cairo_move_to(cr, w / 2.0 - 6, h / 2.0 - 2);
        cairo_line_to(cr, w / 2.0, h / 2.0 + 6);
        cairo_line_to(cr, w / 2.0 + 6, h / 2.0 - 2);
        cairo_move_to(cr, w / 2.0, h / 2.0 + 6);
        cairo_line_to(cr, w / 2.0, h / 2.0 - 8);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    });
    return atlas.build();
}

TextureImage worldMapMarkers() {
    Atlas atlas("gfx/worldmapmarkers2.tga");
    // 0: the little map train (anchored at its bottom middle).
    atlas.add(40, 28, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 4, 10, 26, 12, 3);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 1.2);
        cairo_rectangle(cr, 6, 3, 10, 9);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 1.2);
        cairo_rectangle(cr, 24, 5, 4, 6);
        fillAndOutline(cr, 0xFF303440, 0xFF101010, 1);
        cairo_move_to(cr, 30, 22);
        cairo_line_to(cr, 37, 22);
        cairo_line_to(cr, 30, 14);
        cairo_close_path(cr);
        fillAndOutline(cr, kGold, 0xFF705010, 1);
        for (double x : {9.0, 17.0, 25.0}) {
            cairo_arc(cr, x, 23, 3.5, 0, 2 * M_PI);
            fillAndOutline(cr, 0xFF303440, 0xFF101010, 1);
        }
        (void)w;
        (void)h;
    });
    // 1: a town marker: a golden star on a snowy disc.
    atlas.add(36, 36, [](cairo_t* cr, int w, int h) {
        cairo_arc(cr, w / 2.0, h / 2.0, 15, 0, 2 * M_PI);
        fillRadial(cr, w / 2.0 - 4, h / 2.0 - 4, 19, kSnow, 0xFF9FC4E8);
        setColor(cr, 0xFF1B2A4A);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        starPath(cr, w / 2.0, h / 2.0 + 1, 11, 5, 5);
        fillAndOutline(cr, kGold, 0xFF8A5A00, 1.2);
    });
    return atlas.build();
}

// The mascot: a polar bear conductor. Skin 0 the body; 1 and 2 the eyes open and closed, placed
// over the body by their origin adjustment. The game puts the body's sprite at (0, 60), above the
// middle of the screen, where the speech bubble would hide it; the origin adjustment moves the
// bear to the bottom right corner (its centre at (380, -140) of the 800 by 480 layout), beside the
// bubble's tail and behind its waving hand.
constexpr int kBearW = 200, kBearH = 240;
constexpr double kEyeY = 74;
constexpr int kMascotShiftX = 380, kMascotShiftY = 200;

TextureImage bear() {
    Atlas atlas("xmas-edition/gfx/bear.tga", 512);
    atlas.add(kBearW, kBearH, [](cairo_t* cr, int w, int h) { drawMascot(cr, w, h); }, kMascotShiftX, kMascotShiftY);
    auto eyes = [](bool open) {
        return [open](cairo_t* cr, int w, int h) {
            for (int s = -1; s <= 1; s += 2) {
                const double x = w / 2.0 + s * 19;
                if (open) {
                    cairo_arc(cr, x, h / 2.0, 7, 0, 2 * M_PI);
                    setColor(cr, 0xFF1A1A22);
                    cairo_fill(cr);
                    cairo_arc(cr, x + 2, h / 2.0 - 2.5, 2.2, 0, 2 * M_PI);
                    setColor(cr, 0xFFFFFFFF);
                    cairo_fill(cr);
                } else {
                    cairo_arc(cr, x, h / 2.0 - 2, 7, 0.15 * M_PI, 0.85 * M_PI);
                    setColor(cr, 0xFF1A1A22);
                    cairo_set_line_width(cr, 2.5);
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                    cairo_stroke(cr);
                }
            }
        };
    };
    // The eyes' centre lies at (kBearW / 2, kEyeY) of the body.
    atlas.add(64, 20, eyes(true), kMascotShiftX, kMascotShiftY + static_cast<int>(kEyeY - kBearH / 2.0));
    atlas.add(64, 20, eyes(false), kMascotShiftX, kMascotShiftY + static_cast<int>(kEyeY - kBearH / 2.0));
    return atlas.build();
}

// The mascot's waving arm, drawn upright: the paw at the top, the shoulder at the bottom.
TextureImage bearHand() {
    Atlas atlas("gfx/bearHand.tga");
    atlas.add(48, 112, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 10, 20, w - 20, h - 20, 12);
        fillVertical(cr, 20, h, 0xFF2F5DA8, 0xFF1E3C70);
        setColor(cr, 0xFF102040);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        roundedRect(cr, 9, 34, w - 18, 10, 4);
        fillAndOutline(cr, 0xFFF6F8FC, 0xFF8090A0, 1);
        cairo_arc(cr, w / 2.0, 22, 17, 0, 2 * M_PI);
        fillRadial(cr, w / 2.0 - 5, 16, 22, 0xFFFFFFFF, 0xFFC9D4E2);
        setColor(cr, 0xFF4A5668);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        for (int k = -1; k <= 1; ++k) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, w / 2.0 + k * 7, 12, 3.2, 0, 2 * M_PI);
            setColor(cr, 0xFF8A93A6);
            cairo_fill(cr);
        }
    });
    return atlas.build();
}

TextureImage awardStar() {
    Atlas atlas("gfx/award-star.tga");
    atlas.add(128, 128, [](cairo_t* cr, int w, int h) {
        // White and grey, so that the medal's tint gives bronze, silver or gold.
        starPath(cr, w / 2.0, h / 2.0 + 4, 60, 27, 5);
        fillRadial(cr, w / 2.0 - 15, h / 2.0 - 15, 90, 0xFFFFFFFF, 0xFFA8AEB8);
        setColor(cr, 0xFF606670);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        starPath(cr, w / 2.0, h / 2.0 + 4, 44, 20, 5);
        setColor(cr, 0x30000000);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    });
    return atlas.build();
}

TextureImage awardRibbon() {
    Atlas atlas("gfx/award-ribbon.tga");
    atlas.add(128, 128, [](cairo_t* cr, int w, int h) {
        for (int s = -1; s <= 1; s += 2) {
            cairo_move_to(cr, w / 2.0 + s * 8, 30);
            cairo_line_to(cr, w / 2.0 + s * 38, h - 4);
            cairo_line_to(cr, w / 2.0 + s * 27, h - 16);
            cairo_line_to(cr, w / 2.0 + s * 16, h - 2);
            cairo_line_to(cr, w / 2.0 - s * 12, 30);
            cairo_close_path(cr);
            fillAndOutline(cr, s < 0 ? kHollyRed : 0xFF2F5DA8, 0xFF202030, 1.5);
        }
        cairo_arc(cr, w / 2.0, 34, 22, 0, 2 * M_PI);
        fillAndOutline(cr, kHollyRed, 0xFF5E0E16, 2);
    });
    return atlas.build();
}

}  // namespace

std::vector<TextureImage> gameArt() {
    return {ladder(), cars(), placementIcons(), dock(), cargo(), fireball(), wildcard(), beam(), launcher(), chain(), bowstring(), bonus(),
            flare(), smoke(), circle(), worldMapMarkers(), bear(), bearHand(), awardStar(), awardRibbon(), heart()};
}

}  // namespace datagen
