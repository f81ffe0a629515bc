#include "media/imaging/Offscreen.h"

#include "platform/Handles.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

OSErr OffscreenNew(GWorldPtr* out, OSType pixelFormat, const Rect* bounds) {
    return NewGWorldFromFormat(out, pixelFormat, bounds);
}

// Paints the whole world in a colour (8-bit worlds take the colour's grey level).
static void Fill(GWorldPtr world, const RGBColor& c) {
    PixelView v = GetGWorldPixels(world);
    LockPixels(world);
    if (v.depth == 32 && v.format != k32CMYKPixelFormat) {
        std::uint8_t px[4] = {std::uint8_t(c.blue >> 8), std::uint8_t(c.green >> 8), std::uint8_t(c.red >> 8), 0xFF};
        for (std::int32_t y = 0; y < v.height; ++y)
            for (std::int32_t x = 0; x < v.width; ++x) std::memcpy(v.base + y * v.rowBytes + x * 4, px, 4);
    } else if (v.depth == 8) {
        std::uint8_t g = std::uint8_t(((c.red >> 8) * 299 + (c.green >> 8) * 587 + (c.blue >> 8) * 114 + 500) / 1000);
        for (std::int32_t y = 0; y < v.height; ++y) std::memset(v.base + y * v.rowBytes, g, std::size_t(v.width));
    }
    UnlockPixels(world);
}

OSErr OffscreenNewFilled(GWorldPtr* out, OSType pixelFormat, const Rect* bounds, const RGBColor* color) {
    OSErr err = NewGWorldFromFormat(out, pixelFormat, bounds);
    if (err != noErr) return err == paramErr ? err : OSErr(memFullErr);
    Fill(*out, color ? *color : RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
    return noErr;
}

OSErr OffscreenFromRGB24(GWorldPtr* out, std::int32_t width, std::int32_t height, const std::uint8_t* bytes) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!bytes || width <= 0 || height <= 0 || width > kMaxWorldSide || height > kMaxWorldSide) return paramErr;
    Rect r{0, 0, std::int16_t(height), std::int16_t(width)};
    OSErr err = NewGWorldFromFormat(out, k32ARGBPixelFormat, &r);
    if (err != noErr) return err;
    PixelView v = GetGWorldPixels(*out);
    LockPixels(*out);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* s = bytes + std::size_t(y) * std::size_t(width) * 3;
        std::uint8_t* d = v.base + y * v.rowBytes;
        for (std::int32_t x = 0; x < width; ++x, s += 3, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 0;
        }
    }
    UnlockPixels(*out);
    return noErr;
}

void OffscreenWriteRows(GWorldPtr world, const std::uint8_t* bytes, std::int32_t rowLength, std::int32_t rowCount) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base || !bytes || rowLength <= 0 || rowCount <= 0) return;
    std::int32_t rows = std::min(rowCount, v.height);
    std::int32_t length = std::min<std::int32_t>(rowLength, v.rowBytes);
    bool argb = v.depth == 32 && v.format == k32ARGBPixelFormat;
    LockPixels(world);
    for (std::int32_t y = 0; y < rows; ++y) {
        const std::uint8_t* s = bytes + std::size_t(y) * std::size_t(rowLength);
        std::uint8_t* d = v.base + y * v.rowBytes;
        if (!argb) {
            std::memcpy(d, s, std::size_t(length));
            continue;
        }
        // Alpha, red, green, blue in the source; our words keep blue first.
        for (std::int32_t x = 0; x + 3 < length; x += 4) {
            d[x] = s[x + 3];
            d[x + 1] = s[x + 2];
            d[x + 2] = s[x + 1];
            d[x + 3] = s[x];
        }
    }
    UnlockPixels(world);
}

OSErr DisposeGWorldCallback(void*, GWorldPtr world) {
    if (world) DisposeGWorld(world);
    return noErr;
}

std::int16_t OffscreenGetPixelSize(GWorldPtr world) {
    return GetGWorldDepth(world);
}

GWorldPtr OffscreenCropCopy(GWorldPtr source, const Rect* rect, OSType pixelFormat) {
    if (!source || !rect || EmptyRect(rect)) return nullptr;
    Rect bounds{0, 0, std::int16_t(rect->bottom - rect->top), std::int16_t(rect->right - rect->left)};
    OSType format = pixelFormat ? pixelFormat : GetGWorldPixelFormat(source);
    GWorldPtr out = nullptr;
    if (NewGWorldFromFormat(&out, format, &bounds) != noErr) return nullptr;
    PixelView s = GetGWorldPixels(source), d = GetGWorldPixels(out);
    Rect port = GetPortBounds(source);
    int bytes = s.depth / 8;
    if (s.depth != d.depth || bytes < 1) {
        DisposeGWorld(out);
        return nullptr;
    }
    LockPixels(source);
    LockPixels(out);
    for (std::int32_t y = 0; y < d.height; ++y) {
        std::int32_t sy = rect->top - port.top + y;
        if (sy < 0 || sy >= s.height) continue;
        for (std::int32_t x = 0; x < d.width; ++x) {
            std::int32_t sx = rect->left - port.left + x;
            if (sx < 0 || sx >= s.width) continue;
            std::memcpy(d.base + y * d.rowBytes + x * bytes, s.base + sy * s.rowBytes + sx * bytes, std::size_t(bytes));
        }
    }
    UnlockPixels(out);
    UnlockPixels(source);
    return out;
}

OSErr OffscreenCrop(GWorldPtr* out, GWorldPtr source, const Rect* rect) {
    if (!out) return paramErr;
    *out = OffscreenCropCopy(source, rect, 0);
    return *out ? OSErr(noErr) : OSErr(memFullErr);
}

OSErr OffscreenDrawImage(GWorldPtr source, GWorldPtr destination, const Rect* srcRect, const Rect* dstRect,
                         int quality) {
    cairo_surface_t* s = GetGWorldSurface(source);
    cairo_surface_t* d = GetGWorldSurface(destination);
    if (!s || !d) return paramErr;
    Rect sp = GetPortBounds(source), dp = GetPortBounds(destination);
    Rect sr = srcRect ? *srcRect : sp, dr = dstRect ? *dstRect : dp;
    if (EmptyRect(&sr) || EmptyRect(&dr)) return noErr;
    double sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    double dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    LockPixels(source);
    LockPixels(destination);
    cairo_t* cr = cairo_create(d);
    cairo_rectangle(cr, dr.left - dp.left, dr.top - dp.top, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, dr.left - dp.left, dr.top - dp.top);
    cairo_scale(cr, dw / sw, dh / sh);
    cairo_set_source_surface(cr, s, -(sr.left - sp.left), -(sr.top - sp.top));
    cairo_filter_t filter = dw == sw && dh == sh ? CAIRO_FILTER_NEAREST
                            : quality == 0       ? CAIRO_FILTER_GOOD
                            : quality == 1       ? CAIRO_FILTER_GOOD
                                                 : CAIRO_FILTER_BEST;
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    UnlockPixels(destination);
    UnlockPixels(source);
    return noErr;
}

void OffscreenDrawToWindow(GWorldPtr source, GWorldPtr destination, const Rect* srcRect, const Rect* dstRect) {
    if (!source || !destination) return;
    OffscreenDrawImage(source, destination, srcRect, dstRect, 1);
}

OSErr OffscreenInvert(GWorldPtr world, const Rect* rect) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base) return memFullErr;
    Rect port = GetPortBounds(world);
    Rect r = rect ? *rect : port;
    Rect area;
    if (!SectRect(&r, &port, &area)) return noErr;
    int bytes = v.depth / 8;
    LockPixels(world);
    for (std::int32_t y = area.top - port.top; y < area.bottom - port.top; ++y) {
        std::uint8_t* row = v.base + y * v.rowBytes;
        for (std::int32_t x = area.left - port.left; x < area.right - port.left; ++x) {
            std::uint8_t* p = row + x * std::max(bytes, 1);
            if (v.depth == 32) {
                p[0] = std::uint8_t(~p[0]);
                p[1] = std::uint8_t(~p[1]);
                p[2] = std::uint8_t(~p[2]);
                if (v.format == k32CMYKPixelFormat) p[3] = std::uint8_t(~p[3]);
            } else if (bytes >= 1) {
                for (int k = 0; k < bytes; ++k) p[k] = std::uint8_t(~p[k]);
            }
        }
    }
    UnlockPixels(world);
    return noErr;
}

OSErr OffscreenFrame(GWorldPtr world, const RGBColor* color) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base) return memFullErr;
    if (v.depth != 32 || v.format == k32CMYKPixelFormat || !color) return noErr;
    std::uint8_t px[4] = {std::uint8_t(color->blue >> 8), std::uint8_t(color->green >> 8), std::uint8_t(color->red >> 8), 0xFF};
    LockPixels(world);
    for (std::int32_t x = 0; x < v.width; ++x) {
        std::memcpy(v.base + x * 4, px, 4);
        std::memcpy(v.base + (v.height - 1) * v.rowBytes + x * 4, px, 4);
    }
    for (std::int32_t y = 0; y < v.height; ++y) {
        std::memcpy(v.base + y * v.rowBytes, px, 4);
        std::memcpy(v.base + y * v.rowBytes + (v.width - 1) * 4, px, 4);
    }
    UnlockPixels(world);
    return noErr;
}

void OffscreenForEachPixel(GWorldPtr world, OffscreenPixelProc proc, void* refCon) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base || !proc || v.depth != 32 || v.format == k32CMYKPixelFormat) return;
    LockPixels(world);
    for (std::int32_t y = 0; y < v.height; ++y) {
        const std::uint8_t* p = v.base + y * v.rowBytes;
        for (std::int32_t x = 0; x < v.width; ++x, p += 4) proc(refCon, x, y, p[2], p[1], p[0], p[3]);
    }
    UnlockPixels(world);
}

void PictureGetFrame(PicHandle picture, Rect* frame) {
    if (!frame) return;
    Rect r;
    if (GetPictureFrame(picture, &r)) *frame = r;
}

OSErr PictureToOffscreen(PicHandle picture, OSType pixelFormat, const Rect* finalRect, const RGBColor* background,
                         GWorldPtr* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!picture || !*picture) return paramErr;
    Rect frame;
    if (!GetPictureFrame(picture, &frame)) return paramErr;
    OffsetRect(&frame, -frame.left, -frame.top);
    if (EmptyRect(&frame)) return kPictureEmptyFrameErr;
    GWorldPtr world = nullptr;
    OSErr err = OffscreenNewFilled(&world, pixelFormat, &frame, background);
    if (err != noErr) return err == paramErr ? err : OSErr(memFullErr);
    if (GetGWorldSurface(world)) {
        // The picture's frame, wherever it lies, maps onto the whole world.
        DrawPicture(picture, world, &frame);
    }
    if (finalRect && !EmptyRect(finalRect) && !EqualRect(finalRect, &frame)) {
        Rect r = *finalRect;
        OffsetRect(&r, -r.left, -r.top);
        err = UpdateGWorldBounds(world, &r, true);
        if (err != noErr) {
            DisposeGWorld(world);
            return memFullErr;
        }
    }
    *out = world;
    return noErr;
}
