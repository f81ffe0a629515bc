#include "window/bars/ToolbarImageFilters.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t Pack(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b; }

double HueToChannel(double m1, double m2, double hue) {
    if (hue < 0) hue += 360;
    if (hue >= 360) hue -= 360;
    if (hue < 60) return m1 + (m2 - m1) * hue / 60;
    if (hue < 180) return m2;
    if (hue < 240) return m1 + (m2 - m1) * (240 - hue) / 60;
    return m1;
}

std::uint8_t ToByte(double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

}  // namespace

HlsColour RgbToHls(std::uint8_t r8, std::uint8_t g8, std::uint8_t b8) {
    const double r = r8 / 255.0, g = g8 / 255.0, b = b8 / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    HlsColour c;
    c.l = (mx + mn) / 2;
    if (mx == mn) return c;  // grey: no hue, no saturation
    const double d = mx - mn;
    c.s = c.l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) c.h = (g - b) / d;
    else if (g == mx) c.h = 2 + (b - r) / d;
    else c.h = 4 + (r - g) / d;
    c.h *= 60;
    if (c.h < 0) c.h += 360;
    return c;
}

void HlsToRgb(const HlsColour& c, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) {
    if (c.s == 0) {
        *r = *g = *b = ToByte(c.l);
        return;
    }
    const double m2 = c.l <= 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double m1 = 2 * c.l - m2;
    *r = ToByte(HueToChannel(m1, m2, c.h + 120));
    *g = ToByte(HueToChannel(m1, m2, c.h));
    *b = ToByte(HueToChannel(m1, m2, c.h - 120));
}

bool C32BitImageProcessor::ProcessPixels(std::vector<std::uint32_t>* pixels) const {
    if (!pixels) return false;
    for (std::uint32_t& p : *pixels) {
        const std::uint32_t rgb = p & 0xFFFFFF;
        if (keepTransparent_ && rgb == transparent_) continue;
        p = (p & 0xFF000000) | (ProcessPixel(rgb) & 0xFFFFFF);
    }
    return true;
}

std::uint32_t CImageGrayer::ProcessPixel(std::uint32_t rgb) const {
    const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    const std::uint8_t grey = std::uint8_t((3 * r + 6 * g + b) / 10);
    return Pack(grey, grey, grey);
}

std::uint32_t CImageHigh::ProcessPixel(std::uint32_t rgb) const {
    HlsColour c = RgbToHls(std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb));
    c.l = std::clamp(c.l + delta_, 0.0, 1.0);
    std::uint8_t r, g, b;
    HlsToRgb(c, &r, &g, &b);
    return Pack(r, g, b);
}

bool ProcessImageChain(std::vector<std::uint32_t>* pixels, const std::vector<const C32BitImageProcessor*>& chain) {
    for (const C32BitImageProcessor* p : chain) {
        if (!p || !p->ProcessPixels(pixels)) return false;
    }
    return true;
}

void MakeNormalToolbarPixels(std::vector<std::uint32_t>* pixels) {
    const CImageHigh lighter(0.04);
    ProcessImageChain(pixels, {&lighter, &lighter});
}

void MakeDisabledToolbarPixels(std::vector<std::uint32_t>* pixels) {
    const CImageGrayer grey;
    const CImageHigh lighter(0.08);
    ProcessImageChain(pixels, {&grey, &lighter, &lighter, &lighter});
}
