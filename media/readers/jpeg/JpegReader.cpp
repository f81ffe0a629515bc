#include "media/readers/jpeg/JpegReader.h"

#include "foundation/interface/FitRect.h"
#include "foundation/interface/PixelAccess.h"
#include "media/imaging/ImageDescColor.h"
#include "media/readers/graphics/GraphicsImporterHandler.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <cstring>

namespace {

// A JPEG importer of our own for the file, decoding leniently.
OSErr OpenLenient(const FSSpec* spec, GraphicsImportComponent* gi) {
    OSErr err = OpenGraphicsImporter('JPEG', gi);
    if (err != noErr) return err;
    err = GraphicsImportSetDataFile(*gi, spec->path);
    if (err != noErr) {
        CloseGraphicsImporter(*gi);
        *gi = nullptr;
        return err;
    }
    GraphicsImportSetLenient(*gi, true);
    return noErr;
}

OSErr Draw(GraphicsImportComponent gi, SInt32 size, GWorldPtr* out) {
    Rect bounds;
    OSErr err = GraphicsImportGetNaturalBounds(gi, &bounds);
    if (err != noErr) return err;
    if (size > 0 && size != kKindDisplaySize) {
        std::int16_t side = std::int16_t(std::min<SInt32>(size, kMaxWorldSide));
        FitRectInRect(&bounds, Point{0, 0}, Point{side, side}, kFitShrinkOnly);
        OffsetRect(&bounds, -bounds.left, -bounds.top);
    }
    err = NewGWorldFromFormat(out, k32BGRAPixelFormat, &bounds);
    if (err != noErr) return err;
    GraphicsImportSetBoundsRect(gi, &bounds);
    GraphicsImportSetGWorld(gi, *out);
    err = GraphicsImportDraw(gi);
    GraphicsImportSetGWorld(gi, nullptr);
    if (err != noErr) {
        DisposeGWorld(*out);
        *out = nullptr;
    }
    return err;
}

void SetPString(StringPtr out, const char* text) {
    std::size_t n = std::min<std::size_t>(std::strlen(text), 31);
    out[0] = static_cast<unsigned char>(n);
    std::memcpy(out + 1, text, n);
}

}  // namespace

OSErr JpegReaderGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata, SInt32 size) {
    if (!spec || !info) return paramErr;
    GraphicsImportComponent gi = nullptr;
    OSErr err = OpenLenient(spec, &gi);
    if (err != noErr) return err;
    ImageDescriptionRec desc;
    err = GraphicsImportGetImageDescriptionRec(gi, &desc);
    if (err != noErr) {
        CloseGraphicsImporter(gi);
        return err;
    }
    std::int32_t w = 0, h = 0;
    GraphicsImportGetImageSize(gi, &w, &h);
    info->width = UInt32(w);
    info->height = UInt32(h);
    info->pages = 1;
    OSType space = 0;
    ImageDescGetColorSpace(desc, nullptr, &space);
    info->colorSpace = space;
    // Four-component images are CMYK and decoded as such.
    info->depth = space == 'RGB ' ? 24 : space == 'CMYK' ? 32 : 8;
    SetPString(info->encoding, "Photo * JPEG");
    info->resolution = UInt32(std::max(desc.desc.hRes, desc.desc.vRes) >> 16);
    if (info->resolution == 0) info->resolution = 72;
    info->compression = ImageMemoryRatio(info->dataSize, info->width, info->height, info->depth);
    Handle profile = nullptr;
    ImporterReadMetadata(spec, 'JPEG', info, metadata, &profile, nullptr);
    if (profile) DisposeHandle(profile);
    if (offscreen && !*offscreen) err = Draw(gi, size, offscreen);
    CloseGraphicsImporter(gi);
    return err;
}

OSErr JpegReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size) {
    if (!spec || !offscreen) return paramErr;
    *offscreen = nullptr;
    GraphicsImportComponent gi = nullptr;
    OSErr err = OpenLenient(spec, &gi);
    if (err != noErr) return err;
    err = Draw(gi, size, offscreen);
    CloseGraphicsImporter(gi);
    return err;
}
