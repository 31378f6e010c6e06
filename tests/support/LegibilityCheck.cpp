#include "support/LegibilityCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "media/QelGraphics.h"

namespace {

int channelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// Pixels that differ by less are taken as unchanged (rounding of blended shadows and rims).
constexpr int kInkThreshold = 24;

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
        case INVISIBLE:
            what = "no glyph visible";
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

    const int ring = std::max(1, int(std::lround(rules.ringWidth * rules.pixelsPerUnit)));
    struct Measured {
        const TracedText* text;
        PixelBox box;  // the ink's box, or the cell when no ink shows
    };
    std::vector<Measured> measured;

    for (const TracedText& t : trace.texts) {
        if ((t.colour >> 24) < 0x20) continue;  // faded out: not meant to be read
        if (t.text.find_first_not_of(u" \t") == WString::npos) continue;
        TextReading reading;
        reading.text = t.text;
        reading.required =
            t.capHeight >= rules.largeCapHeight * rules.pixelsPerUnit ? rules.largeContrast : rules.normalContrast;

        const IntBox cell = clampBox(t.box, w, h, 0);
        const int cw = std::max(0, cell.right - cell.left), ch = std::max(0, cell.bottom - cell.top);
        // The text's glyph pixels, with their strength (how far they moved from what lies behind).
        std::vector<uint8_t> ink(size_t(cw) * size_t(ch), 0);
        std::vector<std::pair<int, double>> strengths;
        PixelBox inkBox{1e9f, 1e9f, -1e9f, -1e9f};
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                if (!changed[i]) continue;
                ink[size_t(y - cell.top) * size_t(cw) + size_t(x - cell.left)] = 1;
                strengths.emplace_back(channelDifference(frame.shown[i], frame.behind[i]),
                                       relativeLuminance(frame.shown[i]));
                inkBox.left = std::min(inkBox.left, float(x));
                inkBox.top = std::min(inkBox.top, float(y));
                inkBox.right = std::max(inkBox.right, float(x + 1));
                inkBox.bottom = std::max(inkBox.bottom, float(y + 1));
            }
        reading.inkPixels = int(strengths.size());
        const bool inPicture = t.box.left >= frame.picture.left && t.box.right <= frame.picture.right &&
                               t.box.top >= frame.picture.top && t.box.bottom <= frame.picture.bottom;
        if (strengths.size() < 3) {
            if (inPicture) {
                LegibilityFault f;
                f.kind = LegibilityFault::INVISIBLE;
                f.text = t.text;
                f.box = t.box;
                report.faults.push_back(f);
            }
            measured.push_back({&t, t.box});
            report.readings.push_back(reading);
            continue;
        }
        reading.ink = inkBox;
        // The glyphs' own colour: the median of their strongest third (the antialiased rims are mixed
        // with what lies behind).
        std::sort(strengths.begin(), strengths.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<double> core;
        for (size_t i = 0; i < std::max<size_t>(1, strengths.size() / 3); ++i) core.push_back(strengths[i].second);
        std::nth_element(core.begin(), core.begin() + long(core.size() / 2), core.end());
        reading.inkLuminance = core[core.size() / 2];

        // The pixels right around the glyphs that no glyph covers.
        std::vector<double> around;
        for (int y = cell.top - ring; y < cell.bottom + ring; ++y)
            for (int x = cell.left - ring; x < cell.right + ring; ++x) {
                if (x < 0 || y < 0 || x >= w || y >= h) continue;
                if (changed[size_t(y) * size_t(w) + size_t(x)]) continue;
                bool near = false;
                for (int dy = -ring; dy <= ring && !near; ++dy)
                    for (int dx = -ring; dx <= ring && !near; ++dx) {
                        const int lx = x + dx - cell.left, ly = y + dy - cell.top;
                        if (lx >= 0 && ly >= 0 && lx < cw && ly < ch && ink[size_t(ly) * size_t(cw) + size_t(lx)]) near = true;
                    }
                if (near) around.push_back(contrastRatio(reading.inkLuminance,
                                                         relativeLuminance(frame.shown[size_t(y) * size_t(w) + size_t(x)])));
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
        for (const TracedFigure& figure : trace.figures) {
            if (figure.owner && figure.owner == a.text->owner) continue;
            const float apart = separation(a.box, figure.box);
            if (apart < gap) {
                LegibilityFault f;
                f.kind = LegibilityFault::OVERLAP;
                f.text = a.text->text;
                f.figure = apart;
                f.other = utf8Of(figure.name) + " at " + boxText(figure.box);
                f.box = a.box;
                report.faults.push_back(f);
            }
        }
        // Cut by the picture's edge, or too close to it to be read comfortably.
        const float margin = rules.edgeMargin * rules.pixelsPerUnit;
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

TracedFrame traceFrame(QelGraphics* graphics, const std::function<void()>& draw) {
    TracedFrame f;
    TextTrace* before = TextTrace::active;
    TextTrace::active = &f.trace;
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
    f.trace.bHideTexts = true;
    draw();
    read(f.behind);
    f.trace.bHideTexts = false;
    f.trace.texts = texts;
    f.trace.figures = figures;
    TextTrace::active = before;
    const auto& v = graphics->viewport;
    f.picture = PixelBox{float(v.left), float(v.top), float(v.right), float(v.bottom)};
    return f;
}

LegibilityFrame TracedFrame::frame() const {
    return LegibilityFrame{width, height, shown.data(), behind.data(), picture};
}
