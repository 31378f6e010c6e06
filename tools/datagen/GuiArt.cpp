// Art of the menus and the head-up display: nine-slice frames (their borders are the sizes the
// widgets stretch around), the HUD bar with its icons and progress bar, and the help pages.

#include <cmath>

#include "datagen/ArtBank.h"
#include "datagen/ArtShapes.h"
#include "datagen/Canvas.h"
#include "datagen/Palette.h"

namespace datagen {

namespace {

// A rounded panel: 'fillTop'/'fillBottom' gradient, a frame line and a soft gloss.
void panel(cairo_t* cr, double x, double y, double w, double h, double r, uint32_t fillTop, uint32_t fillBottom, uint32_t frame, double line,
           uint32_t gloss = 0x28FFFFFF) {
    roundedRect(cr, x + line / 2, y + line / 2, w - line, h - line, r);
    fillVertical(cr, y, y + h, fillTop, fillBottom);
    setColor(cr, frame);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    roundedRect(cr, x + line + 2, y + line + 1, w - 2 * line - 4, (h - 2 * line) * 0.42, r * 0.7);
    setColor(cr, gloss);
    cairo_fill(cr);
}

// Snow lying on the top edge of a frame.
void snowCap(cairo_t* cr, double x0, double x1, double y, double depth) {
    cairo_move_to(cr, x0, y + depth * 0.3);
    const int bumps = std::max(2, static_cast<int>((x1 - x0) / 18));
    for (int k = 0; k < bumps; ++k) {
        const double a = x0 + (x1 - x0) * k / bumps, b = x0 + (x1 - x0) * (k + 1) / bumps;
        cairo_curve_to(cr, a + (b - a) * 0.3, y - depth * (0.6 + 0.3 * ((k * 7) % 3) / 2.0), b - (b - a) * 0.3, y - depth * 0.7, b, y + depth * 0.3);
    }
    cairo_line_to(cr, x1, y + depth);
    cairo_curve_to(cr, x1 - (x1 - x0) * 0.3, y + depth * 0.6, x0 + (x1 - x0) * 0.3, y + depth * 1.2, x0, y + depth);
    cairo_close_path(cr);
    setColor(cr, kSnow);
    cairo_fill(cr);
}

// Three frames (normal, highlighted, disabled) for menu entries.
TextureImage menuFrames(const char* file, int w, int h, int kind) {
    Atlas atlas(file, 512);
    const uint32_t tops[3] = {0xFF3C6EB4, 0xFFD62839, 0xFF7A8494};
    const uint32_t bottoms[3] = {0xFF1B2A4A, 0xFF7A1420, 0xFF4A5260};
    for (int k = 0; k < 3; ++k)
        atlas.add(w, h, [k, kind, tops, bottoms](cairo_t* cr, int cw, int ch) {
            panel(cr, 0, 4, cw, ch - 4, (ch - 4) / 2.0, tops[k], bottoms[k], kSnow, 2.5);
            snowCap(cr, 10, cw - 10, 6, 4);
            if (kind == 1) {
                // Number entries: arrows at both ends.
                for (int s = -1; s <= 1; s += 2) {
                    const double x = s < 0 ? 14 : cw - 14;
                    cairo_move_to(cr, x - s * 5, ch / 2.0 - 5);
                    cairo_line_to(cr, x + s * 4, ch / 2.0 + 2);
                    cairo_line_to(cr, x - s * 5, ch / 2.0 + 9);
                    cairo_close_path(cr);
                    setColor(cr, kGold);
                    cairo_fill(cr);
                }
            } else if (kind == 2) {
                // Switches: a box at the right end.
                roundedRect(cr, cw - 30, ch / 2.0 - 7, 16, 16, 3);
                fillAndOutline(cr, kSnow, 0xFF1B2A4A, 1.5);
            }
        });
    return atlas.build();
}

// How a candy bar looks when highlighted: for red captions (the menu buttons) it turns to a night
// sky, near black with a holly-red rim, the one ground on which pure red text reaches 4.5:1; for
// white captions (the speech buttons) it turns red.
enum class Highlight { Night, Red };

// Skin 0 normal, skin 1 highlighted: a bar whose rounded ends and ornaments stay inside the
// left and right borders ('cap' pixels) that the widget keeps unstretched. The menu buttons (night
// highlight) have a third skin, drawn over the first while the button is disabled.
//
// The menu buttons' captions are light grey (0xFFCCCCCC) and red when highlighted, and a disabled
// caption is black at half strength: the normal bar is a deep navy, gloss included, under which
// the grey reads at 4.5:1 or better; the night of the highlight carries the red; the disabled bar
// is frost, on which the half-black caption reads (3:1, the most half-black can reach is 3.9:1).
// The speech buttons of the game's questions carry a near-white caption (0xFFEAF2FB), white when
// highlighted: their bar is a deep blue under a faint gloss, and their highlight a deep holly red.
TextureImage barFrames(const char* file, int w, int h, bool candy, int cap, Highlight highlight = Highlight::Red) {
    Atlas atlas(file, 512);
    const int skins = candy && highlight == Highlight::Night ? 3 : 2;
    for (int k = 0; k < skins; ++k)
        atlas.add(w, h, [k, candy, cap, highlight](cairo_t* cr, int cw, int ch) {
            if (candy) {
                const bool night = k == 1 && highlight == Highlight::Night;
                const bool frost = k == 2;
                const bool menu = highlight == Highlight::Night;
                uint32_t top = !k ? (menu ? 0xFF1A3866 : 0xFF1F4274) : night ? 0xFF0B1226 : 0xFFC8283A;
                uint32_t bottom = !k ? (menu ? 0xFF0C1528 : 0xFF0E1A33) : night ? 0xFF04070F : 0xFF7A1420;
                if (frost) {
                    top = 0xFFE4EAF2;
                    bottom = 0xFFC4CEDA;
                }
                const uint32_t rim = night ? kHollyRed : frost ? 0xFF9AA6B6 : 0xFFFFFFFF;
                const uint32_t gloss = night ? 0x00FFFFFF : frost ? 0x28FFFFFF : 0x0CFFFFFF;
                panel(cr, 1, 2, cw - 2, ch - 4, (ch - 4) / 2.0, top, bottom, rim, 3, gloss);
                // Holly on both ends, inside the borders.
                const double leaf = cap * 0.22;
                for (int s = -1; s <= 1; s += 2) {
                    const double x = s < 0 ? cap * 0.5 : cw - cap * 0.5;
                    for (int side = -1; side <= 1; side += 2) {
                        cairo_save(cr);
                        cairo_translate(cr, x + side * leaf * 0.75, ch / 2.0);
                        cairo_rotate(cr, side * 0.5);
                        cairo_scale(cr, 1, 0.5);
                        cairo_arc(cr, 0, 0, leaf, 0, 2 * M_PI);
                        cairo_restore(cr);
                        setColor(cr, frost ? 0xFFA4B0A8 : kPine);
                        cairo_fill(cr);
                    }
                    cairo_arc(cr, x, ch / 2.0, leaf * 0.5, 0, 2 * M_PI);
                    setColor(cr, frost ? 0xFF9AA6B6 : k ? kGold : kHollyRed);
                    cairo_fill(cr);
                }
            } else {
                panel(cr, 1, 2, cw - 2, ch - 4, 8, k ? 0xFFFFFFFF : 0xFFEAF2FB, k ? 0xFFDDEBFA : 0xFFC8D8EA, k ? kHollyRed : 0xFF5A6A80, 2);
            }
        });
    return atlas.build();
}

TextureImage speechBubble(const char* file, bool withTail) {
    Atlas atlas(file, 512);
    // Borders used by the game: left 20, top 20, bottom 40, right 50 (the tail sits in the
    // bottom-right corner cell).
    atlas.add(256, 192, [withTail](cairo_t* cr, int w, int h) {
        const double bottom = withTail ? h - 26 : h - 4;
        const double r = 18, x0 = 3, y0 = 3, x1 = w - 3, y1 = bottom;
        // One outline: the rounded box, with the tail leaving its bottom edge near the right.
        cairo_new_path(cr);
        cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 1.5 * M_PI);
        cairo_arc(cr, x1 - r, y0 + r, r, 1.5 * M_PI, 2 * M_PI);
        cairo_arc(cr, x1 - r, y1 - r, r, 0, 0.5 * M_PI);
        if (withTail) {
            cairo_line_to(cr, w - 24, y1);
            cairo_line_to(cr, w - 12, h - 3);
            cairo_line_to(cr, w - 46, y1);
        }
        cairo_arc(cr, x0 + r, y1 - r, r, 0.5 * M_PI, M_PI);
        cairo_close_path(cr);
        fillAndOutline(cr, 0xFFFFFFFF, 0xFF1B2A4A, 3);
        snowCap(cr, 14, w - 52, 5, 5);
    });
    return atlas.build();
}

TextureImage speechArrow() {
    Atlas atlas("gfx/gui/game/speechArrow.tga");
    // 0: the hint box (borders 10 all round); 1: the arrow under it, pointing down.
    atlas.add(64, 48, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 2, 2, w - 4, h - 4, 9);
        fillAndOutline(cr, 0xFFFFFFFF, 0xFF40506A, 2.5);
    });
    atlas.add(32, 24, [](cairo_t* cr, int w, int h) {
        cairo_move_to(cr, 3, 2);
        cairo_line_to(cr, w - 3, 2);
        cairo_line_to(cr, w / 2.0, h - 2);
        cairo_close_path(cr);
        fillAndOutline(cr, 0xFFFFFFFF, 0xFF40506A, 2.5);
    });
    return atlas.build();
}

TextureImage square() {
    Atlas atlas("gfx/gui/game/square.tga");
    // Borders 20 all round.
    // Opaque: dialogs lie on it over the screen beneath them, which must not show through. A night
    // near black, without gloss: the grey (0xFF808080) heading of the player screens and the pure
    // red of the current player reach 4.5:1 only on so dark a ground, and the white texts of the
    // dialogs read on it all the more.
    atlas.add(96, 96, [](cairo_t* cr, int w, int h) {
        panel(cr, 2, 2, w - 4, h - 4, 16, 0xFF020308, 0xFF000000, kSnow, 3, 0x00FFFFFF);
        snowCap(cr, 12, w - 12, 4, 4);
    });
    return atlas.build();
}

TextureImage hudPanel() {
    Atlas atlas("gfx/gui/game/hud.tga");
    atlas.add(128, 64, [](cairo_t* cr, int w, int h) { panel(cr, 1, 1, w - 2, h - 2, 14, 0xE03C6EB4, 0xE01B2A4A, kSnow, 2); });
    return atlas.build();
}

// The bar along the top of the screen; score on the left, lives and hearts left of the centre,
// the level's progress in the middle, the title and the menu label on the right.
TextureImage hudBar() {
    Atlas atlas("gfx/gui/game/HUDbar.tga", 1024);
    atlas.add(800, 32, [](cairo_t* cr, int w, int h) {
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, w, 0);
        cairo_line_to(cr, w, h - 10);
        cairo_curve_to(cr, w - 40, h - 4, w - 80, h - 2, w - 120, h - 2);
        cairo_line_to(cr, 120, h - 2);
        cairo_curve_to(cr, 80, h - 2, 40, h - 4, 0, h - 10);
        cairo_close_path(cr);
        fillVertical(cr, 0, h, 0xF03C6EB4, 0xF01B2A4A);
        setColor(cr, kSnow);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // A garland of lights along the lower edge.
        const uint32_t bulbs[4] = {kHollyRed, kGold, 0xFF30C060, 0xFF40A0FF};
        for (int k = 0; k < 26; ++k) {
            const double x = 140 + k * 20.6;
            cairo_arc(cr, x, h - 3, 2.2, 0, 2 * M_PI);
            setColor(cr, bulbs[k % 4]);
            cairo_fill(cr);
        }
        // Slot for the progress bar.
        roundedRect(cr, w / 2.0 - 84, 3, 168, 16, 8);
        setColor(cr, 0x60000000);
        cairo_fill(cr);
    });
    return atlas.build();
}

TextureImage hudIcons() {
    Atlas atlas("gfx/gui/game/HUDicons.tga");
    // 0: lives, a small engine.
    atlas.add(24, 24, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 2, 9, 16, 9, 2);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 1);
        cairo_rectangle(cr, 3, 3, 7, 7);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 1);
        cairo_rectangle(cr, 13, 5, 3, 5);
        fillAndOutline(cr, 0xFF303440, 0xFF101010, 0.8);
        for (double x : {6.0, 14.0}) {
            cairo_arc(cr, x, 19, 3, 0, 2 * M_PI);
            fillAndOutline(cr, 0xFF303440, 0xFF101010, 0.8);
        }
        cairo_move_to(cr, 18, 18);
        cairo_line_to(cr, 22, 18);
        cairo_line_to(cr, 18, 12);
        cairo_close_path(cr);
        setColor(cr, kGold);
        cairo_fill(cr);
        (void)w;
        (void)h;
    });
    // 1: hearts.
    atlas.add(24, 24, [](cairo_t* cr, int w, int h) {
        heartPath(cr, w / 2.0, h / 2.0, 20);
        fillAndOutline(cr, 0xFFFF3050, 0xFFFFFFFF, 1.5);
    });
    return atlas.build();
}

TextureImage hudProgress() {
    // One texture of at most 256 pixels across: the bar crops its filling from a single quad, so
    // the picture must not be split into tiles. The two skins lie one under the other.
    Atlas atlas("gfx/gui/game/HUDprogress.tga", 256);
    // 0: the frame, 1: the filling (cropped from the left by the progress).
    atlas.add(164, 16, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 1, 1, w - 2, h - 2, 7);
        setColor(cr, 0xFFD8E4F0);
        cairo_fill_preserve(cr);
        setColor(cr, 0xFF1B2A4A);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
    atlas.add(160, 12, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 0, 0, w, h, 6);
        cairo_clip(cr);
        setColor(cr, 0xFF30B050);
        cairo_paint(cr);
        setColor(cr, 0xFF90E8A0);
        for (int x = -h; x < w + h; x += 12) {
            cairo_move_to(cr, x, h);
            cairo_line_to(cr, x + 5, h);
            cairo_line_to(cr, x + 5 + h, 0);
            cairo_line_to(cr, x + h, 0);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_rectangle(cr, 0, 0, w, h / 2.0);
        setColor(cr, 0x30FFFFFF);
        cairo_fill(cr);
    });
    return atlas.build();
}

TextureImage hudTouch() {
    Atlas atlas("gfx/gui/game/hud-touchscreen.tga");
    // 0: a round touch button, 1: the same pressed.
    for (int k = 0; k < 2; ++k)
        atlas.add(64, 64, [k](cairo_t* cr, int w, int h) {
            cairo_arc(cr, w / 2.0, h / 2.0, 28, 0, 2 * M_PI);
            fillRadial(cr, w / 2.0 - 8, h / 2.0 - 8, 40, k ? 0xFFFF8090 : 0xFFEAF2FB, k ? 0xFFB01828 : 0xFF8AA4C4);
            setColor(cr, 0xFF1B2A4A);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
            for (int b = -1; b <= 1; ++b) {
                roundedRect(cr, w / 2.0 - 12, h / 2.0 + b * 8 - 2, 24, 4, 2);
            }
            setColor(cr, 0xFF1B2A4A);
            cairo_fill(cr);
        });
    return atlas.build();
}

// Help pages: 0 how to play, 1 chain reactions, 2 the slow-down power-up.
void helpPresent(cairo_t* cr, double x, double y, int type) {
    cairo_save(cr);
    cairo_translate(cr, x - 12, y - 12);
    roundedRect(cr, 0, 0, 24, 24, 4);
    fillAndOutline(cr, kCargoColours[type], shade(kCargoColours[type], 0.4), 1.2);
    markerPath(cr, type, 12, 12, 5);
    setColor(cr, type == 7 ? 0xFF303030 : 0xFFFFFFFF);
    cairo_fill(cr);
    cairo_restore(cr);
}

void helpTrain(cairo_t* cr, double x, double y, std::initializer_list<int> slots) {
    int i = 0;
    for (int type : slots) {
        roundedRect(cr, x + i * 34 - 16, y - 16, 32, 32, 5);
        fillAndOutline(cr, 0xFF2F5DA8, 0xFF102040, 1.5);
        // The slot as the game draws it: a pad of its colour in a dark rim.
        roundedRect(cr, x + i * 34 - 11, y - 11, 22, 22, 4);
        fillAndOutline(cr, kCargoColours[type], 0xFF1C2026, 1.5);
        ++i;
    }
    roundedRect(cr, x + i * 34 - 16, y - 16, 40, 32, 6);
    fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 1.5);
}

TextureImage howToPlay() {
    Atlas atlas("xmas-edition/gfx/howtoplay.tga", 512);
    for (int page = 0; page < 3; ++page)
        atlas.add(256, 160, [page](cairo_t* cr, int w, int h) {
            panel(cr, 0, 0, w, h, 14, 0xFFDDEBFA, 0xFFA8C4E4, 0xFF1B2A4A, 3);
            // Rails.
            cairo_rectangle(cr, 8, 56, w - 16, 3);
            cairo_rectangle(cr, 8, 84, w - 16, 3);
            setColor(cr, 0xFF505A66);
            cairo_fill(cr);
            if (page == 0) {
                helpTrain(cr, 40, 71, {0, 3, 5});
                helpPresent(cr, 74, 71, 3);
                // The bow below shoots a present up into the middle wagon.
                cairo_arc(cr, 128, 138, 14, M_PI, 2 * M_PI);
                setColor(cr, 0xFF8A5A35);
                cairo_set_line_width(cr, 4);
                cairo_stroke(cr);
                helpPresent(cr, 108, 112, 5);
                cairo_move_to(cr, 118, 104);
                cairo_curve_to(cr, 118, 96, 110, 92, 108, 88);
                setColor(cr, 0xFF1B2A4A);
                cairo_set_line_width(cr, 2);
                const double dash[2] = {4, 3};
                cairo_set_dash(cr, dash, 2, 0);
                cairo_stroke(cr);
                cairo_set_dash(cr, nullptr, 0, 0);
                helpPresent(cr, 40, 71, 0);
            } else if (page == 1) {
                helpTrain(cr, 30, 71, {1, 1, 1, 4});
                for (int k = 0; k < 3; ++k) helpPresent(cr, 30 + k * 34, 71, 1);
                for (int k = 0; k < 6; ++k) {
                    starPath(cr, 40 + k * 18, 30 + (k % 2) * 8, 6, 2.5, 5);
                    setColor(cr, kGold);
                    cairo_fill(cr);
                }
                centredText(cr, "x3", 200, 34, 22);
                setColor(cr, kHollyRed);
                cairo_fill(cr);
            } else {
                helpTrain(cr, 60, 71, {2, 6});
                cairo_arc(cr, 200, 120, 18, 0, 2 * M_PI);
                fillAndOutline(cr, 0xFF3090A0, 0xFF104050, 2);
                cairo_arc(cr, 200, 120, 11, 0, 2 * M_PI);
                fillAndOutline(cr, kSnow, 0xFF303040, 1.5);
                cairo_move_to(cr, 200, 120);
                cairo_line_to(cr, 200, 112);
                cairo_move_to(cr, 200, 120);
                cairo_line_to(cr, 205, 123);
                setColor(cr, 0xFF303040);
                cairo_stroke(cr);
                for (int k = 0; k < 3; ++k) {
                    cairo_move_to(cr, 20 + k * 10, 64);
                    cairo_line_to(cr, 30 + k * 10, 71);
                    cairo_line_to(cr, 20 + k * 10, 78);
                }
                setColor(cr, 0x801B2A4A);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
        });
    return atlas.build();
}

}  // namespace

std::vector<TextureImage> guiArt() {
    return {menuFrames("gfx/gui/game/menu.tga", 256, 40, 0),
            menuFrames("gfx/gui/game/menuint.tga", 256, 40, 1),
            menuFrames("gfx/gui/game/menubool.tga", 256, 40, 2),
            speechBubble("gfx/gui/game/speechbubble.tga", true),
            speechBubble("gfx/gui/game/speechbubble-nobear.tga", false),
            speechArrow(),
            barFrames("gfx/gui/game/editbox.tga", 256, 36, false, 10),
            barFrames("gfx/gui/game/button.tga", 256, 44, true, 30, Highlight::Night),
            barFrames("gfx/gui/game/button-speech.tga", 256, 40, true, 20),
            square(),
            hudPanel(),
            hudBar(),
            hudIcons(),
            hudProgress(),
            hudTouch(),
            howToPlay()};
}

}  // namespace datagen
