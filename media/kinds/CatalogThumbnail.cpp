#include "media/kinds/CatalogThumbnail.h"

#include "foundation/interface/FitRect.h"
#include "media/imaging/ColorMatching.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindInfo.h"
#include "platform/Handles.h"
#include "platform/imaging/ImageCompression.h"

#include <algorithm>
#include <cstring>
#include <vector>

void ThumbnailSharpen(GWorldPtr world) {
    PixelView v = GetGWorldPixels(world);
    if (!v.base || v.depth != 32 || v.format == k32CMYKPixelFormat || v.width < 3 || v.height < 3) return;
    LockPixels(world);
    // Three rows of the original are enough: the one above, the current one and the one below.
    std::vector<std::uint8_t> above(std::size_t(v.width) * 4), current(above.size()), below(above.size());
    std::memcpy(current.data(), v.base, current.size());
    std::memcpy(above.data(), v.base, above.size());
    for (std::int32_t y = 0; y < v.height; ++y) {
        std::int32_t next = std::min(y + 1, v.height - 1);
        std::memcpy(below.data(), v.base + next * v.rowBytes, below.size());
        std::uint8_t* out = v.base + y * v.rowBytes;
        for (std::int32_t x = 0; x < v.width; ++x) {
            std::int32_t left = std::max(x - 1, 0), right = std::min(x + 1, v.width - 1);
            for (int c = 0; c < 3; ++c) {
                int sum = 7 * current[x * 4 + c] - current[left * 4 + c] - current[right * 4 + c] -
                          above[x * 4 + c] - below[x * 4 + c];
                int value = (sum + (sum >= 0 ? 1 : -1)) / 3;
                out[x * 4 + c] = std::uint8_t(std::clamp(value, 0, 255));
            }
        }
        above.swap(current);
        current.swap(below);
    }
    UnlockPixels(world);
}

RGBColor KindThumbnailSampleColor(GWorldPtr world) {
    PixelView v = GetGWorldPixels(world);
    RGBColor black{0, 0, 0};
    if (!v.base || v.depth != 32 || v.format == k32CMYKPixelFormat) return black;
    std::vector<UInt32> bins(16 * 16 * 16, 0);
    bool any = false;
    LockPixels(world);
    for (std::int32_t y = 0; y < v.height; ++y) {
        const std::uint8_t* p = v.base + y * v.rowBytes;
        for (std::int32_t x = 0; x < v.width; ++x, p += 4) {
            int r = p[2], g = p[1], b = p[0];
            if ((r > 0xE0 && g > 0xE0 && b > 0xE0) || (r < 0x20 && g < 0x20 && b < 0x20)) continue;
            ++bins[std::size_t((r >> 4) * 256 + (g >> 4) * 16 + (b >> 4))];
            any = true;
        }
    }
    UnlockPixels(world);
    if (!any) return black;
    std::size_t best = 0;
    for (std::size_t i = 1; i < bins.size(); ++i)
        if (bins[i] > bins[best]) best = i;  // red-major order; the first of equal counts stays
    auto channel = [](std::size_t index) { return std::uint16_t((index << 4) * 0x101); };
    return RGBColor{channel(best / 256), channel((best / 16) % 16), channel(best % 16)};
}

UInt32 KindSampleColorPack(const RGBColor& c) {
    return 0xFFu | (UInt32(c.blue >> 12) << 8) | (UInt32(c.green >> 12) << 16) | (UInt32(c.red >> 12) << 24);
}

bool ColorFromPackedBytes(UInt32 packed, RGBColor* color) {
    if (!color) return false;
    if ((packed & 0xFF) != 0xFF) {
        *color = RGBColor{0, 0, 0};
        return false;
    }
    color->blue = std::uint16_t(((packed >> 8) & 0xF) << 12);
    color->green = std::uint16_t(((packed >> 16) & 0xF) << 12);
    color->red = std::uint16_t(((packed >> 24) & 0xF) << 12);
    return true;
}

OSErr KindThumbnailOffscreen(GWorldPtr offscreen, PicHandle picture, SInt32 size, TransformCode orientation,
                             Handle profile, GWorldPtr* out, short* percentOut) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!offscreen && !(picture && *picture)) return noErr;
    Rect source;
    if (picture && *picture) {
        SetRect(&source, 0, 0, 0, 0);
        PictureGetFrame(picture, &source);
    } else {
        source = GetPortBounds(offscreen);
    }
    Rect fitted = source;
    short percent = 100;
    if (size > 0 && size != kKindDisplaySize) {
        std::int16_t side = std::int16_t(std::min<SInt32>(size, kMaxWorldSide));
        percent = FitRectInRect(&fitted, Point{0, 0}, Point{side, side}, kFitShrinkOnly);
    }
    OffsetRect(&fitted, -fitted.left, -fitted.top);
    if (EmptyRect(&fitted)) return kPictureEmptyFrameErr;
    GWorldPtr world = nullptr;
    OSErr err;
    if (offscreen) {
        err = OffscreenNew(&world, k32BGRAPixelFormat, &fitted);
        if (err != noErr) return err;
        Rect from = GetPortBounds(offscreen);
        // Very wide sources lose an odd right edge so that their width is even.
        if (from.right - from.left > 2000 && ((from.right - from.left) & 1)) from.right -= 1;
        OffscreenDrawImage(offscreen, world, &from, &fitted, 1);
        if (profile) {
            const KindReadingState& reading = KindReading();
            PixMapColorMatch(world, profile, nullptr, 'dply', nullptr, reading.callback, reading.refCon);
        }
    } else {
        RGBColor background = KindEngineGlobals().thumbBackground;
        err = PictureToOffscreen(picture, k32BGRAPixelFormat, &fitted, &background, &world);
        if (err != noErr) return err;
    }
    if (orientation != kTransformNone) ApplyOrientation(&world, orientation);
    if (percent < 50) ThumbnailSharpen(world);
    if (percentOut) *percentOut = percent;
    *out = world;
    return noErr;
}

OSErr KindMakeCatalogThumbnail(GWorldPtr offscreen, PicHandle picture, SInt32 size, TransformCode orientation,
                               Handle profile, UInt32* sampleColor, PicHandle* thumbnail) {
    if (!thumbnail) return paramErr;
    *thumbnail = nullptr;
    if (sampleColor) *sampleColor = 0;
    GWorldPtr world = nullptr;
    OSErr err = KindThumbnailOffscreen(offscreen, picture, size, orientation, profile, &world, nullptr);
    if (err != noErr || !world) return err;
    if (sampleColor) *sampleColor = KindSampleColorPack(KindThumbnailSampleColor(world));
    // The picture holds the image compressed as JPEG at high quality; should compression
    // fail, it holds the pixels themselves.
    ImageDescriptionRec desc;
    std::vector<std::uint8_t> jpeg;
    err = CompressImage(world, nullptr, codecHighQuality, 'jpeg', 24, kThumbnailResolution, &desc, &jpeg);
    if (err == noErr) err = RecordCompressedPicture(desc, jpeg.data(), jpeg.size(), kThumbnailResolution, thumbnail);
    if (err != noErr) err = OffscreenToPicture(world, nullptr, kThumbnailResolution, thumbnail);
    DisposeGWorld(world);
    return err;
}
