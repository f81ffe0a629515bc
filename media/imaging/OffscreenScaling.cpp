#include "foundation/interface/FitRect.h"
#include "media/imaging/Offscreen.h"

GWorldPtr OffscreenScaledCopy(GWorldPtr source, const Rect* size, OSType pixelFormat) {
    if (!source) return nullptr;
    Rect r = GetPortBounds(source);
    OffsetRect(&r, -r.left, -r.top);
    if (size) {
        Point topLeft{size->top, size->left}, bottomRight{size->bottom, size->right};
        FitRectInRect(&r, topLeft, bottomRight, kFitShrinkOnly);
        OffsetRect(&r, -r.left, -r.top);
    }
    GWorldPtr out = nullptr;
    OSType format = pixelFormat ? pixelFormat : GetGWorldPixelFormat(source);
    if (NewGWorldFromFormat(&out, format, &r) != noErr) return nullptr;
    if (OffscreenDrawImage(source, out, nullptr, nullptr, 1) != noErr) {
        DisposeGWorld(out);
        return nullptr;
    }
    return out;
}

OSErr OffscreenToPicture(GWorldPtr world, const Rect* size, Fixed resolution, PicHandle* out) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!world || !GetGWorldSurface(world)) return kPictureRecordErr;
    GWorldPtr recorded = world;
    GWorldPtr scaled = nullptr;
    if (size) {
        Rect target{0, 0, std::int16_t(size->bottom - size->top), std::int16_t(size->right - size->left)};
        Rect r = GetPortBounds(world);
        OffsetRect(&r, -r.left, -r.top);
        if (!EqualRect(&target, &r)) {
            scaled = OffscreenScaledCopy(world, &target, k32BGRAPixelFormat);
            if (!scaled) return kPictureRecordErr;
            recorded = scaled;
        }
    }
    PixelView v = GetGWorldPixels(recorded);
    LockPixels(recorded);
    OSErr err = RecordPixelsPicture(v.base, v.width, v.height, v.rowBytes, resolution, out);
    UnlockPixels(recorded);
    if (scaled) DisposeGWorld(scaled);
    if (err != noErr || !*out) {
        *out = nullptr;
        return kPictureRecordErr;
    }
    return noErr;
}
