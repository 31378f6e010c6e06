// Art the game needs before and during loading: the progress bar, the mouse pointer, the studio
// logo, the language flags, the snow flake and the game logos.

#include <cmath>

#include "datagen/ArtBank.h"
#include "datagen/Canvas.h"
#include "datagen/Palette.h"

namespace datagen {

namespace {

// The loading bar is made before the loader, with the flag that halves a picture larger than a
// texture may be (256 pixels a side by default): both skins fit one 256 x 64 texture, so that it
// is shown as drawn.
TextureImage progressBar() {
    Atlas atlas("xmas-edition/gfx/gui/game/progressbar.tga", 256);
    atlas.add(256, 36, [](cairo_t* cr, int w, int h) {
        roundedRect(cr, 1, 1, w - 2, h - 2, 17);
        fillVertical(cr, 1, h - 1, kNightBlue, kDeepBlue);
        cairo_new_path(cr);
        roundedRect(cr, 1.5, 1.5, w - 3, h - 3, 17);
        setColor(cr, kSnow);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    });
    atlas.add(240, 20, [](cairo_t* cr, int w, int h) {
        // Candy-cane stripes on a red bar with a glossy top.
        roundedRect(cr, 0, 0, w, h, 10);
        cairo_clip(cr);
        setColor(cr, kHollyRed);
        cairo_paint(cr);
        setColor(cr, kSnow);
        for (int x = -h; x < w + h; x += 20) {
            cairo_move_to(cr, x, h);
            cairo_line_to(cr, x + 8, h);
            cairo_line_to(cr, x + 8 + h, 0);
            cairo_line_to(cr, x + h, 0);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_rectangle(cr, 0, 0, w, h / 2.0);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
        cairo_fill(cr);
    });
    return atlas.build();
}

TextureImage mousePointer() {
    Atlas atlas("gfx/gui/game/mousepointer.tga");
    // Skin 0: the arrow, its tip at (2, 2) of the picture; the origin adjustment puts the tip on the
    // sprite's position when the skin is drawn about its centre.
    atlas.add(32, 32, [](cairo_t* cr, int, int) {
        cairo_move_to(cr, 2, 2);
        cairo_line_to(cr, 2, 26);
        cairo_line_to(cr, 8.5, 20);
        cairo_line_to(cr, 13, 29);
        cairo_line_to(cr, 17, 27);
        cairo_line_to(cr, 12.5, 18.5);
        cairo_line_to(cr, 21, 18.5);
        cairo_close_path(cr);
        fillVertical(cr, 2, 29, kSnow, kIce);
        setColor(cr, kDeepBlue);
        cairo_set_line_width(cr, 1.6);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }, 14, 14);
    // Skin 1: the aiming cursor of the game, a ring with a cross.
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        const double c = w / 2.0;
        cairo_set_line_width(cr, 4);
        setColor(cr, 0xC0000000u);
        cairo_arc(cr, c, c, 10, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2);
        setColor(cr, kSnow);
        cairo_arc(cr, c, c, 10, 0, 2 * M_PI);
        cairo_stroke(cr);
        for (int k = 0; k < 4; ++k) {
            const double a = k * M_PI / 2;
            cairo_move_to(cr, c + std::cos(a) * 5, c + std::sin(a) * 5);
            cairo_line_to(cr, c + std::cos(a) * 15, c + std::sin(a) * 15);
        }
        cairo_stroke(cr);
        (void)h;
    });
    return atlas.build();
}

TextureImage studioLogo() {
    Atlas atlas("gfx/system/mvstudios.tga");
    atlas.add(512, 256, [](cairo_t* cr, int w, int h) {
        // A mountain under a crescent moon, and the studio's name.
        cairo_move_to(cr, w / 2.0 - 110, 150);
        cairo_line_to(cr, w / 2.0 - 30, 40);
        cairo_line_to(cr, w / 2.0 + 10, 95);
        cairo_line_to(cr, w / 2.0 + 45, 62);
        cairo_line_to(cr, w / 2.0 + 110, 150);
        cairo_close_path(cr);
        fillVertical(cr, 40, 150, kIce, kSkyBlue);
        cairo_new_path(cr);
        cairo_move_to(cr, w / 2.0 - 50, 68);
        cairo_line_to(cr, w / 2.0 - 30, 40);
        cairo_line_to(cr, w / 2.0 - 10, 68);
        cairo_line_to(cr, w / 2.0 - 20, 62);
        cairo_line_to(cr, w / 2.0 - 30, 72);
        cairo_line_to(cr, w / 2.0 - 40, 62);
        cairo_close_path(cr);
        setColor(cr, kSnow);
        cairo_fill(cr);
        cairo_arc(cr, w / 2.0 + 70, 45, 16, 0, 2 * M_PI);
        cairo_arc_negative(cr, w / 2.0 + 78, 40, 14, 2 * M_PI, 0);
        setColor(cr, kGold);
        cairo_fill(cr);
        centredText(cr, "MORVANE", w / 2.0, 188, 44);
        setColor(cr, kSnow);
        cairo_fill(cr);
        centredText(cr, "s t u d i o s", w / 2.0, 228, 24, "DejaVu Sans", false);
        setColor(cr, kIce);
        cairo_fill(cr);
        (void)h;
    });
    return atlas.build();
}

void stripes(cairo_t* cr, int w, int h, bool vertical, std::initializer_list<uint32_t> colours) {
    const int n = static_cast<int>(colours.size());
    int i = 0;
    for (uint32_t c : colours) {
        if (vertical) cairo_rectangle(cr, w * i / static_cast<double>(n), 0, w / static_cast<double>(n) + 0.5, h);
        else cairo_rectangle(cr, 0, h * i / static_cast<double>(n), w, h / static_cast<double>(n) + 0.5);
        setColor(cr, c);
        cairo_fill(cr);
        ++i;
    }
}

// The flags of the fifteen language codes, in the order the language screen reads them.
void flag(cairo_t* cr, int w, int h, int which) {
    const uint32_t red = 0xFFD52B1E, blue = 0xFF0A3A8C, white = 0xFFFFFFFF, green = 0xFF009246, yellow = 0xFFFFCE00,
                   black = 0xFF000000;
    switch (which) {
        case 0: {  // en: a union of crosses
            setColor(cr, 0xFF012169);
            cairo_paint(cr);
            cairo_set_line_width(cr, h * 0.2);
            setColor(cr, white);
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, w, h);
            cairo_move_to(cr, w, 0);
            cairo_line_to(cr, 0, h);
            cairo_stroke(cr);
            cairo_set_line_width(cr, h * 0.07);
            setColor(cr, 0xFFC8102E);
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, w, h);
            cairo_move_to(cr, w, 0);
            cairo_line_to(cr, 0, h);
            cairo_stroke(cr);
            setColor(cr, white);
            cairo_rectangle(cr, w / 2.0 - h * 0.17, 0, h * 0.34, h);
            cairo_rectangle(cr, 0, h / 2.0 - h * 0.17, w, h * 0.34);
            cairo_fill(cr);
            setColor(cr, 0xFFC8102E);
            cairo_rectangle(cr, w / 2.0 - h * 0.1, 0, h * 0.2, h);
            cairo_rectangle(cr, 0, h / 2.0 - h * 0.1, w, h * 0.2);
            cairo_fill(cr);
            break;
        }
        case 1: stripes(cr, w, h, true, {0xFF0055A4, white, 0xFFEF4135}); break;
        case 2: stripes(cr, w, h, false, {black, 0xFFDD0000, yellow}); break;
        case 3: stripes(cr, w, h, true, {green, white, 0xFFCE2B37}); break;
        case 4: stripes(cr, w, h, false, {0xFFAA151B, 0xFFF1BF00, 0xFFF1BF00, 0xFFAA151B}); break;
        case 5: stripes(cr, w, h, false, {white, 0xFF0039A6, red}); break;
        case 6: {  // he: two blue bands and a six-pointed star
            setColor(cr, white);
            cairo_paint(cr);
            setColor(cr, 0xFF0038B8);
            cairo_rectangle(cr, 0, h * 0.1, w, h * 0.15);
            cairo_rectangle(cr, 0, h * 0.75, w, h * 0.15);
            cairo_fill(cr);
            cairo_set_line_width(cr, h * 0.045);
            const double r = h * 0.2;
            for (int t = 0; t < 2; ++t) {
                for (int k = 0; k < 3; ++k) {
                    const double a = t * M_PI / 3 + k * 2 * M_PI / 3 - M_PI / 2;
                    if (k == 0) cairo_move_to(cr, w / 2.0 + r * std::cos(a), h / 2.0 + r * std::sin(a));
                    else cairo_line_to(cr, w / 2.0 + r * std::cos(a), h / 2.0 + r * std::sin(a));
                }
                cairo_close_path(cr);
            }
            cairo_stroke(cr);
            break;
        }
        case 7: {  // el: nine stripes and a cross in the canton
            for (int i = 0; i < 9; ++i) {
                setColor(cr, i % 2 ? white : 0xFF0D5EAF);
                cairo_rectangle(cr, 0, h * i / 9.0, w, h / 9.0 + 0.5);
                cairo_fill(cr);
            }
            setColor(cr, 0xFF0D5EAF);
            cairo_rectangle(cr, 0, 0, h * 5 / 9.0, h * 5 / 9.0);
            cairo_fill(cr);
            setColor(cr, white);
            cairo_rectangle(cr, h * 2 / 9.0, 0, h / 9.0, h * 5 / 9.0);
            cairo_rectangle(cr, 0, h * 2 / 9.0, h * 5 / 9.0, h / 9.0);
            cairo_fill(cr);
            break;
        }
        case 8: stripes(cr, w, h, false, {white, 0xFFDC143C}); break;
        case 9: stripes(cr, w, h, true, {0xFF002B7F, 0xFFFCD116, 0xFFCE1126}); break;
        case 10: {  // pt: green and red with a golden sphere
            setColor(cr, 0xFF006600);
            cairo_rectangle(cr, 0, 0, w * 0.4, h);
            cairo_fill(cr);
            setColor(cr, 0xFFFF0000);
            cairo_rectangle(cr, w * 0.4, 0, w * 0.6, h);
            cairo_fill(cr);
            cairo_arc(cr, w * 0.4, h / 2.0, h * 0.22, 0, 2 * M_PI);
            setColor(cr, yellow);
            cairo_fill(cr);
            cairo_arc(cr, w * 0.4, h / 2.0, h * 0.12, 0, 2 * M_PI);
            setColor(cr, white);
            cairo_fill(cr);
            break;
        }
        case 11:  // ja: a red disc
            setColor(cr, white);
            cairo_paint(cr);
            cairo_arc(cr, w / 2.0, h / 2.0, h * 0.3, 0, 2 * M_PI);
            setColor(cr, 0xFFBC002D);
            cairo_fill(cr);
            break;
        case 12: {  // ko: a red and blue circle with four bar groups
            setColor(cr, white);
            cairo_paint(cr);
            const double cx = w / 2.0, cy = h / 2.0, r = h * 0.25;
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, std::atan2(2.0, 3.0));
            cairo_arc(cr, 0, 0, r, M_PI, 2 * M_PI);
            setColor(cr, 0xFFCD2E3A);
            cairo_fill(cr);
            cairo_arc(cr, 0, 0, r, 0, M_PI);
            setColor(cr, 0xFF0047A0);
            cairo_fill(cr);
            cairo_arc(cr, -r / 2, 0, r / 2, 0, 2 * M_PI);
            setColor(cr, 0xFFCD2E3A);
            cairo_fill(cr);
            cairo_arc(cr, r / 2, 0, r / 2, 0, 2 * M_PI);
            setColor(cr, 0xFF0047A0);
            cairo_fill(cr);
            cairo_restore(cr);
            setColor(cr, black);
            cairo_set_line_width(cr, h * 0.035);
            for (int q = 0; q < 4; ++q) {
                const double a = std::atan2(2.0, 3.0) + q * M_PI / 2 + (q % 2 ? 0 : 0) + M_PI / 4 - M_PI / 4;
                const double angle = (q == 0 ? -1 : q == 1 ? 1 : q == 2 ? 1 : -1) * std::atan2(2.0, 3.0) + (q >= 2 ? M_PI : 0);
                (void)a;
                cairo_save(cr);
                cairo_translate(cr, cx, cy);
                cairo_rotate(cr, angle);
                for (int b = 0; b < 3; ++b) {
                    const double x = r * 1.35 + b * h * 0.06;
                    cairo_move_to(cr, x, -h * 0.1);
                    cairo_line_to(cr, x, h * 0.1);
                }
                cairo_stroke(cr);
                cairo_restore(cr);
            }
            break;
        }
        case 13: {  // cs: white and red with a blue wedge
            stripes(cr, w, h, false, {white, 0xFFD7141A});
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, w / 2.0, h / 2.0);
            cairo_line_to(cr, 0, h);
            cairo_close_path(cr);
            setColor(cr, 0xFF11457E);
            cairo_fill(cr);
            break;
        }
        case 14: stripes(cr, w, h, false, {0xFFAE1C28, white, 0xFF21468B}); break;
        default: break;
    }
    (void)blue;
    (void)red;
}

TextureImage languageFlags() {
    Atlas atlas("gfx/system/languageflags.tga", 420);
    for (int i = 0; i < 15; ++i)
        atlas.add(80, 56, [i](cairo_t* cr, int w, int h) {
            cairo_save(cr);
            roundedRect(cr, 1, 1, w - 2, h - 2, 5);
            cairo_clip(cr);
            cairo_translate(cr, 1, 1);
            flag(cr, w - 2, h - 2, i);
            cairo_restore(cr);
            // A soft sheen and a thin frame.
            roundedRect(cr, 1, 1, w - 2, h - 2, 5);
            cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 0, 0, h);
            cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.25);
            cairo_pattern_add_color_stop_rgba(sheen, 0.5, 1, 1, 1, 0.0);
            cairo_pattern_add_color_stop_rgba(sheen, 1, 0, 0, 0, 0.15);
            cairo_set_source(cr, sheen);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(sheen);
            setColor(cr, 0xCC1B2A4A);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        });
    return atlas.build();
}

// The flakes fall over the menus' picture, behind the screens' texts and items: small and half
// see-through.
TextureImage snowFlake() {
    Atlas atlas("xmas-edition/gfx/snowflake.tga");
    atlas.add(32, 32, [](cairo_t* cr, int w, int h) {
        setColor(cr, 0x26FFFFFF);
        snowCrystal(cr, w / 2.0, h / 2.0, 14, 4);
        setColor(cr, 0x80F8FBFF);
        snowCrystal(cr, w / 2.0, h / 2.0, 13.5, 2);
    });
    return atlas.build();
}

void logoPainter(cairo_t* cr, int w, int h, bool holiday) {
    // The title on a rounded night-blue plaque with a little locomotive.
    roundedRect(cr, 8, 20, w - 16, h - 40, 40);
    fillVertical(cr, 20, h - 20, kSkyBlue, kNightBlue);
    setColor(cr, kSnow);
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    centredText(cr, "VESK DIRUZURI", w / 2.0 + 48, h / 2.0 - 4, 44);
    cairo_set_line_width(cr, 8);
    setColor(cr, kDeepBlue);
    cairo_stroke_preserve(cr);
    fillVertical(cr, h / 2.0 - 36, h / 2.0 + 24, kSnow, kIce);
    cairo_new_path(cr);
    // Locomotive on the left.
    const double x = 40, y = h / 2.0 + 30;
    cairo_rectangle(cr, x, y - 50, 70, 40);
    cairo_rectangle(cr, x + 50, y - 75, 36, 65);
    cairo_rectangle(cr, x + 10, y - 72, 14, 24);
    setColor(cr, kHollyRed);
    cairo_fill(cr);
    for (double wx : {x + 16, x + 44, x + 72}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, wx, y - 4, 11, 0, 2 * M_PI);
    }
    setColor(cr, kDeepBlue);
    cairo_fill(cr);
    cairo_rectangle(cr, x + 56, y - 68, 24, 18);
    setColor(cr, kGold);
    cairo_fill(cr);
    if (holiday) {
        // Snow on the plaque and a sprig of holly.
        setColor(cr, kSnow);
        for (int i = 0; i < 9; ++i) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 60 + i * (w - 120) / 8.0, 22, 14 + (i % 3) * 4, M_PI, 2 * M_PI);
        }
        cairo_fill(cr);
        for (int leaf = -1; leaf <= 1; leaf += 2) {
            cairo_save(cr);
            cairo_translate(cr, w - 70, h - 34);
            cairo_rotate(cr, leaf * 0.6);
            cairo_scale(cr, 1.0, 0.45);
            cairo_arc(cr, 0, -24, 24, 0, 2 * M_PI);
            cairo_restore(cr);
            setColor(cr, kPine);
            cairo_fill(cr);
        }
        for (int b = 0; b < 3; ++b) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, w - 80 + b * 10, h - 30 + (b == 1 ? -7 : 0), 7, 0, 2 * M_PI);
        }
        setColor(cr, kHollyRed);
        cairo_fill(cr);
        centredText(cr, "Holiday Edition", w / 2.0 + 48, h - 44, 20, "DejaVu Sans", false);
        setColor(cr, kGold);
        cairo_fill(cr);
    }
}

// The plaque is a figure of the picture (the game's loader names its skin 'skin'): the legibility
// checks hold the texts of the main menu, where it stands once the story has been told, clear of it.
TextureImage logoPicture(const char* file, const char* skin, bool holiday) {
    Atlas atlas(file);
    std::vector<FigureBox> figures;
    atlas.add(560, 180, [&](cairo_t* cr, int w, int h) {
        paintFigure(cr, figures, skin, w, h, "logo", [&](cairo_t* figure) { logoPainter(figure, w, h, holiday); });
    });
    TextureImage image = atlas.build();
    image.figures = std::move(figures);
    return image;
}

TextureImage logo() { return logoPicture("xmas-edition/gfx/logo.tga", "logo:0", false); }

TextureImage logoHoliday() { return logoPicture("xmas-edition/gfx/logo-holiday.tga", "logoHoliday:0", true); }

}  // namespace

std::vector<TextureImage> bootArt() {
    return {progressBar(), mousePointer(), studioLogo(), languageFlags(), snowFlake(), logo(), logoHoliday()};
}

}  // namespace datagen
