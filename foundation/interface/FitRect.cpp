#include "foundation/interface/FitRect.h"

#include "platform/ByteOrder.h"

#include <cmath>
#include <cstdlib>

namespace {

std::int16_t Clamp16(double v) {
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return std::int16_t(v);
}

// Places a width x height rectangle centred in the frame (halves rounded toward zero).
void Centre(Rect* r, long width, long height, Point tl, Point br) {
    long frameW = long(br.h) - tl.h, frameH = long(br.v) - tl.v;
    long dh = (frameW - width) / 2 + tl.h;
    long dv = (frameH - height) / 2 + tl.v;
    r->left = Clamp16(double(dh));
    r->top = Clamp16(double(dv));
    r->right = Clamp16(double(dh + width));
    r->bottom = Clamp16(double(dv + height));
}

}  // namespace

short FitRectInRect(Rect* rect, Point tl, Point br, short mode) {
    if (!rect) return 100;
    long width = long(rect->right) - rect->left, height = long(rect->bottom) - rect->top;
    if (width <= 0) width = 1;
    if (height <= 0) height = 1;
    double w = double(long(br.h) - tl.h) / double(width);
    double h = double(long(br.v) - tl.v) / double(height);
    double s = 1.0;
    bool roundUp = false;
    switch (mode) {
    case kFitShrinkOnly: s = (w < 1 || h < 1) ? std::min(w, h) : 1.0; break;
    case kFitInside: s = std::min(w, h); break;
    case kFitFill: s = std::max(w, h); roundUp = true; break;
    case kFitWidth: s = w; break;
    case kFitHeight: s = h; break;
    case kFitGrowOnly: s = (w < 1 || h < 1) ? std::max(w, h) : 1.0; roundUp = true; break;
    default: s = 1.0; break;
    }
    if (s < 0) s = 0;
    double pct = mode >= 1 && mode <= 6 ? (roundUp ? std::ceil(s * 100) : std::floor(s * 100)) : 100;
    long newW = long(std::min(double(width) * s, 32767.0));
    long newH = long(std::min(double(height) * s, 32767.0));
    if (newW == 0) newW = 1;
    if (newH == 0) newH = 1;
    Centre(rect, newW, newH, tl, br);
    return Clamp16(pct);
}

short ScaleRectInRect(Rect* rect, Point tl, Point br, short percent, short viewMode) {
    if (!rect) return 100;
    long width = long(rect->right) - rect->left, height = long(rect->bottom) - rect->top;
    *rect = Rect{0, 0, Clamp16(double(height)), Clamp16(double(width))};
    switch (viewMode) {
    case 1: return FitRectInRect(rect, tl, br, 0);
    case 2: return FitRectInRect(rect, tl, br, kFitShrinkOnly);
    case 4: return FitRectInRect(rect, tl, br, kFitWidth);
    case 5: return FitRectInRect(rect, tl, br, kFitHeight);
    case 6: return FitRectInRect(rect, tl, br, kFitFill);
    case 7: return FitRectInRect(rect, tl, br, kFitInside);
    case 8:
        *rect = Rect{tl.v, tl.h, br.v, br.h};
        return 100;
    default:
        rect->right = Clamp16(std::trunc(double(rect->right) * (percent * 0.01)));
        rect->bottom = Clamp16(std::trunc(double(rect->bottom) * (percent * 0.01)));
        FitRectInRect(rect, tl, br, 0);
        return percent;
    }
}

void FitRectInRectAt(Rect* rect, Point tl, Point br, Point* offset) {
    if (!rect || !offset) return;
    if (rect->left >= tl.h && rect->top >= tl.v && rect->right <= br.h && rect->bottom <= br.v) {
        *offset = Point{0, 0};
        return;
    }
    FitRectInRect(rect, tl, br, 0);
    long halfH = ((long(rect->right) - rect->left) - (long(br.h) - tl.h)) / 2;
    long halfV = ((long(rect->bottom) - rect->top) - (long(br.v) - tl.v)) / 2;
    auto clamp = [](long v, long half) { return v < -half ? -half : (v > half ? half : v); };
    offset->h = halfH < 0 ? 0 : std::int16_t(clamp(offset->h, halfH));
    offset->v = halfV < 0 ? 0 : std::int16_t(clamp(offset->v, halfV));
    OffsetRect(rect, offset->h, offset->v);
}

bool PointsNear(Point a, Point b, short tolerance) {
    return std::abs(long(a.h) - b.h) <= tolerance && std::abs(long(a.v) - b.v) <= tolerance;
}

OSErr GetPictFrame(Handle picture, Rect* frame) {
    if (!picture || !*picture || !frame) return paramErr;
    if (GetHandleSize(picture) < 10) return paramErr;
    const char* p = *picture;
    frame->top = std::int16_t(ReadBE16(p + 2));
    frame->left = std::int16_t(ReadBE16(p + 4));
    frame->bottom = std::int16_t(ReadBE16(p + 6));
    frame->right = std::int16_t(ReadBE16(p + 8));
    return noErr;
}

void RECTToMacRect(const RECT* in, Rect* out) {
    if (!in || !out) return;
    out->top = Clamp16(in->top);
    out->left = Clamp16(in->left);
    out->bottom = Clamp16(in->bottom);
    out->right = Clamp16(in->right);
}

void MacRectToRECT(const Rect* in, RECT* out) {
    if (!in || !out) return;
    *out = RECT{in->left, in->top, in->right, in->bottom};
}

void ColorRefToRGBColor(std::uint32_t colour, RGBColor* rgb) {
    if (rgb) *rgb = ColorRefToRGBColor(colour);
}

std::uint32_t RGBColorToColorRef(const RGBColor* rgb, std::uint32_t* colour) {
    std::uint32_t c = rgb ? RGBColorToColorRef(*rgb) : 0;
    if (colour) *colour = c;
    return c;
}
