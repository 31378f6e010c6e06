#include "support/LegibilityCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/QelGraphics.h"
#include "media/Skin.h"

namespace {

int channelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// Pixels that differ by less are taken as unchanged (rounding of blended shadows and rims).
constexpr int kInkThreshold = 24;
// The colour the third drawing gives the texts' fill, and how close a pixel must come to it.
constexpr uint32_t kKeyColour = 0xFFFF00FF;
constexpr int kKeyTolerance = 60;

struct IntBox {
    int left, top, right, bottom;
};

IntBox clampBox(const PixelBox& b, int width, int height, int grow) {
    return IntBox{std::clamp(int(std::floor(b.left)) - grow, 0, width), std::clamp(int(std::floor(b.top)) - grow, 0, height),
                  std::clamp(int(std::ceil(b.right)) + grow, 0, width),
                  std::clamp(int(std::ceil(b.bottom)) + grow, 0, height)};
}

// Distance between two boxes: negative when they overlap (by the smaller of the two overlaps).
float separation(const PixelBox& a, const PixelBox& b) {
    const float dx = std::max(a.left - b.right, b.left - a.right);
    const float dy = std::max(a.top - b.bottom, b.top - a.bottom);
    return std::max(dx, dy);
}

std::string boxText(const PixelBox& b) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "(%.0f,%.0f)-(%.0f,%.0f)", b.left, b.top, b.right, b.bottom);
    return buffer;
}

// Whether the part of the figure within 'gap' of the text's box lies under an opaque panel drawn
// after the figure.
bool hiddenByCover(const TextTrace& trace, size_t figureIndex, const PixelBox& text, float gap) {
    const PixelBox& f = trace.figures[figureIndex].box;
    const PixelBox near{std::max(f.left, text.left - gap), std::max(f.top, text.top - gap), std::min(f.right, text.right + gap),
                        std::min(f.bottom, text.bottom + gap)};
    for (const TracedCover& cover : trace.covers)
        if (cover.figuresBefore > figureIndex && cover.box.left <= near.left && cover.box.top <= near.top &&
            cover.box.right >= near.right && cover.box.bottom >= near.bottom)
            return true;
    return false;
}

double channelLinear(uint32_t c) {
    const double s = double(c & 0xFF) / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(uint32_t argb) {
    return 0.2126 * channelLinear(argb >> 16) + 0.7152 * channelLinear(argb >> 8) + 0.0722 * channelLinear(argb);
}

double contrastRatio(double a, double b) {
    if (a < b) std::swap(a, b);
    return (a + 0.05) / (b + 0.05);
}

std::string utf8Of(WStringView text) { return wideToUtf8(text); }

std::string LegibilityFault::describe(const std::string& screen, const std::string& language) const {
    char figureText[64];
    std::string what;
    switch (kind) {
        case CONTRAST:
            std::snprintf(figureText, sizeof figureText, "contrast %.2f:1, needs %.1f:1", figure, required);
            what = figureText;
            break;
        case OVERLAP:
            std::snprintf(figureText, sizeof figureText, "%.0f px from ", figure);
            what = std::string(figureText) + other;
            break;
        case CUT:
            std::snprintf(figureText, sizeof figureText, "%.0f px from the ", figure);
            what = std::string(figureText) + other + " edge";
            break;
    }
    return "screen " + screen + " [" + language + "] \"" + utf8Of(text) + "\" at " + boxText(box) + ": " + what;
}

double LegibilityReport::worstContrastShare() const {
    double worst = 0;
    bool any = false;
    for (const TextReading& r : readings) {
        if (r.required <= 0 || r.inkPixels == 0) continue;
        const double share = r.contrast / r.required;
        if (!any || share < worst) worst = share;
        any = true;
    }
    return worst;
}

LegibilityReport checkLegibility(const TextTrace& trace, const LegibilityFrame& frame, const LegibilityRules& rules) {
    LegibilityReport report;
    const int w = frame.width, h = frame.height;
    std::vector<uint8_t> changed(size_t(w) * size_t(h), 0);
    for (size_t i = 0; i < changed.size(); ++i)
        changed[i] = channelDifference(frame.shown[i], frame.behind[i]) >= kInkThreshold ? 1 : 0;

    // Each pixel belongs to the last text drawn over it: a later text (a dialog's) covers the earlier
    // ones beneath it.
    std::vector<int> drawnBy(changed.size(), -1);
    for (size_t k = 0; k < trace.texts.size(); ++k) {
        const IntBox cell = clampBox(trace.texts[k].box, w, h, 0);
        for (int y = cell.top; y < cell.bottom; ++y)
            std::fill(drawnBy.begin() + long(size_t(y) * size_t(w)) + cell.left,
                      drawnBy.begin() + long(size_t(y) * size_t(w)) + cell.right, int(k));
    }

    // At least two pixels: one is still the antialiased blend at the smaller pictures.
    const int ring = std::max(2, int(std::lround(rules.ringWidth * rules.pixelsPerUnit)));
    struct Measured {
        const TracedText* text;
        PixelBox box;  // the ink's box, or the cell when no ink shows
    };
    std::vector<Measured> measured;

    for (size_t k = 0; k < trace.texts.size(); ++k) {
        const TracedText& t = trace.texts[k];
        // In the middle of a fade (the designed half black of a disabled caption apart): read once it
        // has arrived.
        if ((t.colour >> 24) < 0x20 || ((t.colour >> 24) < 0xE0 && !t.bInactive)) continue;
        // Blanks, symbols the fonts keep in the control positions (check marks, arrows) and a lone
        // sign drawn as a picture (a step of a level bar): no words.
        if (std::all_of(t.text.begin(), t.text.end(), [](char16_t c) { return c <= u' '; })) continue;
        if (t.text.size() == 1 && (t.text[0] == u'|' || t.text[0] == u'-')) continue;
        TextReading reading;
        reading.text = t.text;
        // Large text, and the caption of an item that cannot be used now, need less.
        reading.required = t.capHeight >= rules.largeCapHeight * rules.pixelsPerUnit || t.bInactive ? rules.largeContrast
                                                                                                  : rules.normalContrast;

        const IntBox cell = clampBox(t.box, w, h, 0);
        const int cw = std::max(0, cell.right - cell.left), ch = std::max(0, cell.bottom - cell.top);
        // The text's glyph pixels.
        std::vector<uint8_t> ink(size_t(cw) * size_t(ch), 0);
        std::vector<size_t> inkPixels;
        PixelBox inkBox{1e9f, 1e9f, -1e9f, -1e9f};
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                if (drawnBy[i] != int(k)) continue;
                if (!changed[i] && channelDifference(frame.keyed[i], kKeyColour) > kKeyTolerance) continue;
                ink[size_t(y - cell.top) * size_t(cw) + size_t(x - cell.left)] = 1;
                inkPixels.push_back(i);
                inkBox.left = std::min(inkBox.left, float(x));
                inkBox.top = std::min(inkBox.top, float(y));
                inkBox.right = std::max(inkBox.right, float(x + 1));
                inkBox.bottom = std::max(inkBox.bottom, float(y + 1));
            }
        reading.inkPixels = int(inkPixels.size());
        // Nothing or only a sliver of it shows: a screen above covers it.
        if (inkPixels.size() < 3 || inkBox.height() < 0.6f * t.capHeight) continue;
        reading.ink = inkBox;
        // The glyphs' fill: where the drawing in the key colour put it (an outline of the font's own
        // stays dark there, the antialiased edges are mixed with what lies behind).
        std::vector<size_t> core;
        for (size_t n = 0; n < inkPixels.size(); ++n)
            if (channelDifference(frame.keyed[inkPixels[n]], kKeyColour) <= kKeyTolerance) core.push_back(n);
        if (core.empty()) continue;
        // The text's colour is read where a glyph covers a pixel whole (thin strokes are mostly edge).
        std::vector<double> coreLuminance, wholeLuminance;
        for (size_t n : core) {
            coreLuminance.push_back(relativeLuminance(frame.shown[inkPixels[n]]));
            if (channelDifference(frame.keyed[inkPixels[n]], kKeyColour) <= 16) wholeLuminance.push_back(coreLuminance.back());
            const size_t i = inkPixels[n];
            ink[size_t(int(i / size_t(w)) - cell.top) * size_t(cw) + size_t(int(i % size_t(w)) - cell.left)] = 2;
        }
        if (wholeLuminance.size() >= 3) coreLuminance.swap(wholeLuminance);
        std::nth_element(coreLuminance.begin(), coreLuminance.begin() + long(coreLuminance.size() / 2), coreLuminance.end());
        reading.inkLuminance = coreLuminance[coreLuminance.size() / 2];

        // Around each pixel on the fill's edge, the best contrast within the ring: what lies behind,
        // the text's shadow or rim, or an outline of the font's own, past the antialiased blend of the
        // fill into them; not another text.
        std::vector<double> around;
        auto isCore = [&](int x, int y) {
            const int lx = x - cell.left, ly = y - cell.top;
            return lx >= 0 && ly >= 0 && lx < cw && ly < ch && ink[size_t(ly) * size_t(cw) + size_t(lx)] == 2;
        };
        for (size_t n : core) {
            const int x = int(inkPixels[n] % size_t(w)), y = int(inkPixels[n] / size_t(w));
            if (isCore(x - 1, y) && isCore(x + 1, y) && isCore(x, y - 1) && isCore(x, y + 1)) continue;
            double best = 0;
            bool seen = false;
            for (int dy = -ring; dy <= ring; ++dy)
                for (int dx = -ring; dx <= ring; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || isCore(nx, ny)) continue;
                    const size_t i = size_t(ny) * size_t(w) + size_t(nx);
                    if (changed[i] && drawnBy[i] != int(k)) continue;
                    best = std::max(best, contrastRatio(reading.inkLuminance, relativeLuminance(frame.shown[i])));
                    seen = true;
                }
            if (seen) around.push_back(best);
        }
        if (!around.empty()) {
            std::sort(around.begin(), around.end());
            const size_t at = std::min(around.size() - 1, size_t(double(around.size()) * (1.0 - rules.passingShare)));
            reading.contrast = around[at];
            if (reading.contrast < reading.required) {
                LegibilityFault f;
                f.kind = LegibilityFault::CONTRAST;
                f.text = t.text;
                f.figure = reading.contrast;
                f.required = reading.required;
                f.box = inkBox;
                report.faults.push_back(f);
            }
        }
        measured.push_back({&t, inkBox});
        report.readings.push_back(reading);
    }

    const float gap = rules.gap * rules.pixelsPerUnit;
    for (size_t i = 0; i < measured.size(); ++i) {
        const Measured& a = measured[i];
        for (size_t j = i + 1; j < measured.size(); ++j) {
            const Measured& b = measured[j];
            // The same line drawn again in the same place (a highlight over the caption) is one text.
            if (a.text->text == b.text->text && std::abs(a.text->box.left - b.text->box.left) < 2 &&
                std::abs(a.text->box.top - b.text->box.top) < 2)
                continue;
            const float apart = separation(a.box, b.box);
            if (apart < gap) {
                LegibilityFault f;
                f.kind = LegibilityFault::OVERLAP;
                f.text = a.text->text;
                f.figure = apart;
                f.other = "\"" + utf8Of(b.text->text) + "\" at " + boxText(b.box);
                f.box = a.box;
                report.faults.push_back(f);
            }
        }
        for (size_t n = 0; n < trace.figures.size(); ++n) {
            const TracedFigure& figure = trace.figures[n];
            if (figure.owner && figure.owner == a.text->owner) continue;
            const float apart = separation(a.box, figure.box);
            const float needed = (figure.bPainted ? rules.gap : rules.itemGap) * rules.pixelsPerUnit;
            if (figure.bPainted && apart < needed && hiddenByCover(trace, n, a.box, needed)) continue;
            if (apart < needed) {
                LegibilityFault f;
                f.kind = LegibilityFault::OVERLAP;
                f.text = a.text->text;
                f.figure = apart;
                f.other = utf8Of(figure.name) + " at " + boxText(figure.box);
                f.box = a.box;
                report.faults.push_back(f);
            }
        }
        // Cut by the picture's edge; an item's caption, which the layout places, also too close to it.
        const float margin = (a.text->owner ? rules.itemEdgeMargin : rules.edgeMargin) * rules.pixelsPerUnit;
        const PixelBox& p = frame.picture;
        const std::pair<float, const char*> edges[] = {{a.box.left - p.left, "left"},
                                                       {p.right - a.box.right, "right"},
                                                       {a.box.top - p.top, "top"},
                                                       {p.bottom - a.box.bottom, "bottom"}};
        for (const auto& [distance, name] : edges)
            if (distance < margin) {
                LegibilityFault f;
                f.kind = LegibilityFault::CUT;
                f.text = a.text->text;
                f.figure = distance;
                f.other = name;
                f.box = a.box;
                report.faults.push_back(f);
                break;
            }
    }
    return report;
}

TracedFrame traceFrame(QelGraphics* graphics, const std::function<void()>& draw, const PaintedFigures* painted) {
    TracedFrame f;
    TextTrace* before = TextTrace::active;
    TextTrace::active = &f.trace;
    f.trace.paintedFigures = painted;
    auto read = [&](std::vector<uint32_t>& into) {
        UINT w = 0, h = 0;
        graphics->dxDevice->GetBackBufferPixels(&w, &h, &into);
        f.width = int(w);
        f.height = int(h);
    };
    draw();
    read(f.shown);
    const std::vector<TracedText> texts = f.trace.texts;
    const std::vector<TracedFigure> figures = f.trace.figures;
    const std::vector<TracedCover> covers = f.trace.covers;
    f.trace.bHideTexts = true;
    draw();
    read(f.behind);
    f.trace.bHideTexts = false;
    f.trace.keyColour = kKeyColour;
    draw();
    read(f.keyed);
    f.trace.keyColour = 0;
    f.trace.texts = texts;
    f.trace.figures = figures;
    f.trace.covers = covers;
    TextTrace::active = before;
    const auto& v = graphics->viewport;
    f.picture = PixelBox{float(v.left), float(v.top), float(v.right), float(v.bottom)};
    return f;
}

LegibilityFrame TracedFrame::frame() const {
    return LegibilityFrame{width, height, shown.data(), behind.data(), keyed.data(), picture};
}

PaintedFigures loadPaintedFigures(const std::string& path, std::string& error) {
    PaintedFigures painted;
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return {};
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string skinName, name;
        int width = 0, height = 0;
        float left = 0, top = 0, right = 0, bottom = 0;
        if (!(fields >> skinName >> width >> height >> name >> left >> top >> right >> bottom) || width <= 0 || height <= 0 ||
            right <= left || bottom <= top) {
            error = path + ":" + std::to_string(number) + ": not a figure: " + line;
            return {};
        }
        auto* skin = qel && qel->pResourceManager
                         ? dynamic_cast<Skin*>(qel->pResourceManager->find(false, utf8ToWide(skinName)))
                         : nullptr;
        if (!skin) {
            error = path + ":" + std::to_string(number) + ": no skin " + skinName;
            return {};
        }
        // Skin pixels (y down, from the top-left corner) to the skin's local space (y up, centred).
        const float sx = skin->width / float(width), sy = skin->height / float(height);
        painted[skin].push_back(PaintedFigure{utf8ToWide(name),
                                              WorldRect{left * sx - skin->width / 2.0f, skin->height / 2.0f - top * sy,
                                                        right * sx - skin->width / 2.0f, skin->height / 2.0f - bottom * sy}});
    }
    return painted;
}
