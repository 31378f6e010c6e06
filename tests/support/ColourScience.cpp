#include "support/ColourScience.h"

#include <algorithm>
#include <cmath>

namespace colour {

namespace {

constexpr double kPi = 3.14159265358979323846;

double toLinear(uint32_t channel) {
    const double c = double(channel & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint32_t toChannel(double linear) {
    const double v = std::clamp(linear, 0.0, 1.0);
    const double c = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return uint32_t(std::lround(c * 255.0));
}

double radians(double degrees) { return degrees * kPi / 180.0; }

// Machado et al. 2009, severity 1.0; rows give linear R, G, B.
constexpr double kMatrices[3][3][3] = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
};

}  // namespace

const char* name(Deficiency d) {
    switch (d) {
        case Deficiency::PROTANOPIA: return "protanopia";
        case Deficiency::DEUTERANOPIA: return "deuteranopia";
        default: return "tritanopia";
    }
}

Lab toLab(uint32_t rgb) {
    const double r = toLinear(rgb >> 16), g = toLinear(rgb >> 8), b = toLinear(rgb);
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    auto f = [](double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; };
    const double fx = f(x), fy = f(y), fz = f(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double deltaE2000(const Lab& x, const Lab& y) {
    const double c1 = std::hypot(x.a, x.b), c2 = std::hypot(y.a, y.b);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * x.a, a2 = (1.0 + g) * y.a;
    const double c1p = std::hypot(a1, x.b), c2p = std::hypot(a2, y.b);
    auto hue = [](double b, double a) {
        if (a == 0.0 && b == 0.0) return 0.0;
        const double h = std::atan2(b, a) * 180.0 / kPi;
        return h < 0.0 ? h + 360.0 : h;
    };
    const double h1 = hue(x.b, a1), h2 = hue(y.b, a2);
    const double dL = y.L - x.L, dC = c2p - c1p;
    double dh = 0.0;
    if (c1p * c2p != 0.0) {
        dh = h2 - h1;
        if (dh > 180.0) dh -= 360.0;
        else if (dh < -180.0) dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(c1p * c2p) * std::sin(radians(dh / 2.0));
    const double lMean = (x.L + y.L) / 2.0, cpMean = (c1p + c2p) / 2.0;
    double hMean = h1 + h2;
    if (c1p * c2p != 0.0) {
        if (std::abs(h1 - h2) <= 180.0) hMean = (h1 + h2) / 2.0;
        else hMean = h1 + h2 < 360.0 ? (h1 + h2 + 360.0) / 2.0 : (h1 + h2 - 360.0) / 2.0;
    }
    const double t = 1.0 - 0.17 * std::cos(radians(hMean - 30.0)) + 0.24 * std::cos(radians(2.0 * hMean)) +
                     0.32 * std::cos(radians(3.0 * hMean + 6.0)) - 0.20 * std::cos(radians(4.0 * hMean - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0));
    const double cp7 = std::pow(cpMean, 7.0);
    const double rc = 2.0 * std::sqrt(cp7 / (cp7 + std::pow(25.0, 7.0)));
    const double sl = 1.0 + 0.015 * (lMean - 50.0) * (lMean - 50.0) / std::sqrt(20.0 + (lMean - 50.0) * (lMean - 50.0));
    const double sc = 1.0 + 0.045 * cpMean, sh = 1.0 + 0.015 * cpMean * t;
    const double rt = -std::sin(radians(2.0 * dTheta)) * rc;
    const double l = dL / sl, c = dC / sc, h = dH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

uint32_t simulate(uint32_t rgb, Deficiency d) {
    const double in[3] = {toLinear(rgb >> 16), toLinear(rgb >> 8), toLinear(rgb)};
    const auto& m = kMatrices[int(d)];
    uint32_t out = 0;
    for (int row = 0; row < 3; ++row)
        out = (out << 8) | toChannel(m[row][0] * in[0] + m[row][1] * in[1] + m[row][2] * in[2]);
    return out;
}

double relativeLuminance(uint32_t rgb) { return 0.2126 * toLinear(rgb >> 16) + 0.7152 * toLinear(rgb >> 8) + 0.0722 * toLinear(rgb); }

double contrastRatio(uint32_t x, uint32_t y) {
    const double lx = relativeLuminance(x), ly = relativeLuminance(y);
    return (std::max(lx, ly) + 0.05) / (std::min(lx, ly) + 0.05);
}

}  // namespace colour
