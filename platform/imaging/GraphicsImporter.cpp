#include "platform/imaging/GraphicsImporter.h"

#include "platform/Handles.h"
#include "platform/imaging/codecs/ByteSource.h"
#include "platform/imaging/codecs/ImageDecoder.h"
#include "platform/imaging/codecs/RowResampler.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <optional>

namespace {

const GraphicsImporterComponentInfo kImporters[] = {
    {'JPEG', 'appl', "JFIF", "jpg jpeg jpe jfif", "libjpeg-turbo", NewJpegDecoder},
    {'JPG ', 'appl', "JPEG", "jpg", "libjpeg-turbo", NewJpegDecoder},
    {'JFIF', 'appl', "JPEG", "jfif", "libjpeg-turbo", NewJpegDecoder},
    {'PNGf', 'appl', "PNG", "png", "libpng", NewPngDecoder},
    {'PNG ', 'appl', "PNG", "png", "libpng", NewPngDecoder},
    {'TIFF', 'appl', "TIFF", "tif tiff", "libtiff", NewTiffDecoder},
    {'TIF ', 'appl', "TIFF", "tif", "libtiff", NewTiffDecoder},
    {'GIFf', 'appl', "GIF", "gif", "giflib", NewGifDecoder},
    {'GIF ', 'appl', "GIF", "gif", "giflib", NewGifDecoder},
    {'BMPf', 'appl', "BMP", "bmp dib", "own BMP reader", NewBmpDecoder},
    {'BMP ', 'appl', "BMP", "bmp", "own BMP reader", NewBmpDecoder},
    {'8BPS', 'appl', "Photoshop", "psd psb", "own Photoshop composite reader", NewPhotoshopDecoder},
    {'PSD ', 'appl', "Photoshop", "psd", "own Photoshop composite reader", NewPhotoshopDecoder},
    {'PICT', 'appl', "PICT", "pict pct pic", "own picture reader", NewPictDecoder},
    {'PCT ', 'appl', "PICT", "pct", "own picture reader", NewPictDecoder},
    {'SGI ', 'appl', "SGI", "sgi rgb rgba bw", "own SGI reader", NewSgiDecoder},
    {'RGB ', 'appl', "SGI", "rgb", "own SGI reader", NewSgiDecoder},
    {'TPIC', 'appl', "Targa", "tga", "own Targa reader", NewTargaDecoder},
    {'TGA ', 'appl', "Targa", "tga", "own Targa reader", NewTargaDecoder},
    {'PNTG', 'appl', "MacPaint", "mac pntg", "own MacPaint reader", NewMacPaintDecoder},
    {'MAC ', 'appl', "MacPaint", "mac", "own MacPaint reader", NewMacPaintDecoder},
    {'jp2 ', 'appl', "JPEG 2000", "jp2 j2k jpf", "openjpeg", NewJpeg2000Decoder},
    {'JP2 ', 'appl', "JPEG 2000", "jp2", "openjpeg", NewJpeg2000Decoder},
    {'J2K ', 'appl', "JPEG 2000", "j2k j2c", "openjpeg", NewJpeg2000Decoder},
    {'qtif', 'appl', "QuickTime Image", "qtif qti", "own atom reader with libjpeg-turbo and libpng", NewQuickTimeImageDecoder},
    {'QTIF', 'appl', "QuickTime Image", "qtif", "own atom reader with libjpeg-turbo and libpng", NewQuickTimeImageDecoder},
    {'QTI ', 'appl', "QuickTime Image", "qti", "own atom reader with libjpeg-turbo and libpng", NewQuickTimeImageDecoder},
};

}  // namespace

struct GraphicsImporterRec {
    const GraphicsImporterComponentInfo* component = nullptr;
    std::unique_ptr<ImageDecoder> decoder;
    std::unique_ptr<ByteSource> source;
    std::uint32_t index = 1;
    std::optional<DecodedImageInfo> info;
    OSErr infoErr = noErr;
    std::optional<Rect> bounds;
    GWorldPtr world = nullptr;
    std::int32_t mode = ditherCopy;
    bool lenient = false;
};

int CountGraphicsImporterComponents() {
    return int(sizeof kImporters / sizeof kImporters[0]);
}

const GraphicsImporterComponentInfo* GetGraphicsImporterComponent(int index) {
    if (index < 0 || index >= CountGraphicsImporterComponents()) return nullptr;
    return &kImporters[index];
}

const GraphicsImporterComponentInfo* FindGraphicsImporterComponent(OSType subtype) {
    for (const auto& c : kImporters)
        if (c.subtype == subtype) return &c;
    return nullptr;
}

OSErr OpenGraphicsImporter(OSType subtype, GraphicsImportComponent* out) {
    if (!out) return paramErr;
    *out = nullptr;
    const GraphicsImporterComponentInfo* c = FindGraphicsImporterComponent(subtype);
    if (!c) return kNoImporterForTypeErr;
    auto* gi = new (std::nothrow) GraphicsImporterRec;
    if (!gi) return memFullErr;
    gi->component = c;
    gi->decoder = c->makeDecoder();
    *out = gi;
    return noErr;
}

void CloseGraphicsImporter(GraphicsImportComponent gi) {
    delete gi;
}

OSType GraphicsImportGetSubtype(GraphicsImportComponent gi) {
    return gi && gi->component ? gi->component->subtype : OSType(0);
}

static void ResetData(GraphicsImportComponent gi) {
    gi->source.reset();
    gi->info.reset();
    gi->infoErr = noErr;
    gi->index = 1;
    gi->bounds.reset();
}

OSErr GraphicsImportSetDataFile(GraphicsImportComponent gi, const std::string& path) {
    if (!gi) return paramErr;
    ResetData(gi);
    OSErr err = noErr;
    gi->source = ByteSource::OpenFile(path, &err);
    return gi->source ? OSErr(noErr) : err;
}

OSErr GraphicsImportSetDataHandle(GraphicsImportComponent gi, Handle data) {
    if (!gi) return paramErr;
    ResetData(gi);
    if (data) gi->source = ByteSource::FromHandle(data);
    return noErr;
}

// The facts of the selected image, read once.
static OSErr Facts(GraphicsImportComponent gi, const DecodedImageInfo** info) {
    if (!gi || !gi->source) return paramErr;
    if (!gi->info && gi->infoErr == noErr) {
        DecodedImageInfo facts;
        OSErr err = gi->decoder->ReadInfo(*gi->source, gi->index, &facts);
        if (err == noErr) gi->info = std::move(facts);
        else gi->infoErr = err;
    }
    if (!gi->info) return gi->infoErr;
    *info = &*gi->info;
    return noErr;
}

OSErr GraphicsImportValidate(GraphicsImportComponent gi, bool* valid) {
    if (!gi || !valid) return paramErr;
    *valid = false;
    if (!gi->source) return paramErr;
    if (!gi->decoder->Sniff(*gi->source)) return noErr;
    const DecodedImageInfo* info;
    *valid = Facts(gi, &info) == noErr;
    return noErr;
}

OSErr GraphicsImportGetImageCount(GraphicsImportComponent gi, std::uint32_t* count) {
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    *count = info->imageCount;
    return noErr;
}

OSErr GraphicsImportSetImageIndex(GraphicsImportComponent gi, std::uint32_t index) {
    if (!gi || index < 1) return paramErr;
    if (index != gi->index) {
        gi->index = index;
        gi->info.reset();
        gi->infoErr = noErr;
        gi->bounds.reset();
    }
    return noErr;
}

OSErr GraphicsImportGetImageDescriptionRec(GraphicsImportComponent gi, ImageDescriptionRec* desc) {
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    desc->desc = MakeImageDescription(info->codecType, info->codecName.c_str(), info->width, info->height,
                                      info->hRes, info->vRes, info->depth);
    desc->pixelFormatExtension = info->pixelFormat;
    return noErr;
}

OSErr GraphicsImportGetImageDescription(GraphicsImportComponent gi, ImageDescriptionHandle* desc) {
    if (!desc) return paramErr;
    *desc = nullptr;
    ImageDescriptionRec rec;
    OSErr err = GraphicsImportGetImageDescriptionRec(gi, &rec);
    if (err != noErr) return err;
    *desc = NewImageDescriptionHandle(rec);
    return *desc ? noErr : memFullErr;
}

OSErr GraphicsImportGetNaturalBounds(GraphicsImportComponent gi, Rect* bounds) {
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    if (info->width > kMaxWorldSide || info->height > kMaxWorldSide) {
        // A Rect cannot hold the size: answer the largest that keeps the proportions.
        double scale = double(kMaxWorldSide) / std::max(info->width, info->height);
        SetRect(bounds, 0, 0, std::max(1, int(info->width * scale)), std::max(1, int(info->height * scale)));
        return noErr;
    }
    SetRect(bounds, 0, 0, info->width, info->height);
    return noErr;
}

OSErr GraphicsImportGetImageSize(GraphicsImportComponent gi, std::int32_t* width, std::int32_t* height) {
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    if (width) *width = info->width;
    if (height) *height = info->height;
    return noErr;
}

OSErr GraphicsImportGetColorSyncProfile(GraphicsImportComponent gi, Handle* profile) {
    if (!profile) return paramErr;
    *profile = nullptr;
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    if (info->iccProfile.empty()) return noErr;
    return PtrToHand(info->iccProfile.data(), profile, Size(info->iccProfile.size()));
}

bool GraphicsImportHasAlpha(GraphicsImportComponent gi) {
    const DecodedImageInfo* info;
    return Facts(gi, &info) == noErr && info->hasAlpha;
}

std::int32_t GraphicsImportDefaultGraphicsMode(GraphicsImportComponent gi) {
    return GraphicsImportHasAlpha(gi) ? graphicsModeStraightAlpha : srcCopy;
}

OSErr GraphicsImportSetBoundsRect(GraphicsImportComponent gi, const Rect* bounds) {
    if (!gi || !bounds) return paramErr;
    gi->bounds = *bounds;
    return noErr;
}

OSErr GraphicsImportGetBoundsRect(GraphicsImportComponent gi, Rect* bounds) {
    if (!gi || !bounds) return paramErr;
    if (gi->bounds) {
        *bounds = *gi->bounds;
        return noErr;
    }
    return GraphicsImportGetNaturalBounds(gi, bounds);
}

OSErr GraphicsImportSetGWorld(GraphicsImportComponent gi, GWorldPtr world) {
    if (!gi) return paramErr;
    gi->world = world;
    return noErr;
}

OSErr GraphicsImportSetGraphicsMode(GraphicsImportComponent gi, std::int32_t mode, const RGBColor*) {
    if (!gi) return paramErr;
    gi->mode = mode;
    return noErr;
}

void GraphicsImportSetLenient(GraphicsImportComponent gi, bool lenient) {
    if (gi) gi->lenient = lenient;
}

namespace {

bool IsAlphaMode(std::int32_t mode) {
    return mode >= graphicsModeStraightAlpha && mode <= graphicsModePreWhiteAlpha;
}

// Receives the decoder's rows and brings them to the target size: shrinking row by row, or
// (for a target larger than the image) keeping the image and scaling it at the end.
class TargetSink : public RowSink {
public:
    TargetSink(std::int32_t tw, std::int32_t th) : tw_(tw), th_(th) {}

    OSErr Begin(std::int32_t w, std::int32_t h, PixelLayout layout) override {
        layout_ = layout;
        bpp_ = LayoutBytesPerPixel(layout);
        srcW_ = w;
        srcH_ = h;
        enlarge_ = tw_ > w || th_ > h;
        // Shrink along each side as far as the target allows; what must grow is scaled at the end.
        std::int32_t bw = std::min(w, tw_), bh = std::min(h, th_);
        if (std::int64_t(bw) * bh > kMaxWorldPixels) return memFullErr;
        try {
            buffer_.assign(std::size_t(bw) * bh * bpp_, 0);
            if (layout == PixelLayout::BGRA32) premul_.resize(std::size_t(w) * 4);
        } catch (...) {
            return memFullErr;
        }
        bufW_ = bw;
        bufH_ = bh;
        return resampler_.Init(w, h, bw, bh, bpp_, buffer_.data(), std::ptrdiff_t(bw) * bpp_);
    }

    void Row(std::int32_t, const std::uint8_t* pixels) override {
        if (layout_ == PixelLayout::BGRA32) {
            // Shrink with premultiplied alpha so that transparent pixels do not bleed colour.
            for (std::int32_t x = 0; x < srcW_; ++x) {
                const std::uint8_t* p = pixels + x * 4;
                std::uint8_t* o = &premul_[std::size_t(x) * 4];
                int a = p[3];
                o[0] = std::uint8_t((p[0] * a + 127) / 255);
                o[1] = std::uint8_t((p[1] * a + 127) / 255);
                o[2] = std::uint8_t((p[2] * a + 127) / 255);
                o[3] = std::uint8_t(a);
            }
            resampler_.PushRow(premul_.data());
        } else {
            resampler_.PushRow(pixels);
        }
    }

    void Finish() { resampler_.Finish(); }

    PixelLayout layout_ = PixelLayout::BGRX32;
    int bpp_ = 4;
    std::int32_t tw_, th_;
    std::int32_t srcW_ = 0, srcH_ = 0;
    std::int32_t bufW_ = 0, bufH_ = 0;
    bool enlarge_ = false;
    std::vector<std::uint8_t> buffer_;  // premultiplied when the layout is BGRA32

private:
    RowResampler resampler_;
    std::vector<std::uint8_t> premul_;
};

// Converts one pixel of the buffer to the world's format.
inline void ToBgrx(PixelLayout l, const std::uint8_t* s, std::uint8_t* d) {
    switch (l) {
    case PixelLayout::Gray8:
        d[0] = d[1] = d[2] = s[0];
        break;
    case PixelLayout::CMYK32: {
        int k = 255 - s[3];
        d[2] = std::uint8_t((255 - s[0]) * k / 255);
        d[1] = std::uint8_t((255 - s[1]) * k / 255);
        d[0] = std::uint8_t((255 - s[2]) * k / 255);
        break;
    }
    default:
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        break;
    }
    d[3] = 0xFF;
}

// Copies (or blends) the buffer into the world at the target rectangle.
OSErr Place(const TargetSink& sink, GWorldPtr world, const Rect& target, bool blend) {
    PixelView v = GetGWorldPixels(world);
    Rect port = GetPortBounds(world);
    std::int32_t tw = std::int32_t(target.right) - target.left, th = std::int32_t(target.bottom) - target.top;
    // Enlarging goes through cairo from the image at its own size.
    std::vector<std::uint8_t> scaled;
    const std::uint8_t* buf = sink.buffer_.data();
    PixelLayout layout = sink.layout_;
    int bpp = sink.bpp_;
    if (sink.enlarge_) {
        cairo_surface_t* src = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sink.bufW_, sink.bufH_);
        cairo_surface_t* dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, tw, th);
        if (cairo_surface_status(src) != CAIRO_STATUS_SUCCESS || cairo_surface_status(dst) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(src);
            cairo_surface_destroy(dst);
            return memFullErr;
        }
        // Bring every layout to premultiplied 32-bit for cairo; CMYK and grey are converted.
        std::uint8_t* sp = cairo_image_surface_get_data(src);
        int ss = cairo_image_surface_get_stride(src);
        for (std::int32_t y = 0; y < sink.bufH_; ++y)
            for (std::int32_t x = 0; x < sink.bufW_; ++x) {
                const std::uint8_t* s = buf + (std::size_t(y) * sink.bufW_ + x) * bpp;
                std::uint8_t* d = sp + y * ss + x * 4;
                if (layout == PixelLayout::BGRA32) std::memcpy(d, s, 4);
                else ToBgrx(layout, s, d);
            }
        cairo_surface_mark_dirty(src);
        cairo_t* cr = cairo_create(dst);
        cairo_scale(cr, double(tw) / sink.bufW_, double(th) / sink.bufH_);
        cairo_set_source_surface(cr, src, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(dst);
        std::uint8_t* dp = cairo_image_surface_get_data(dst);
        int ds = cairo_image_surface_get_stride(dst);
        scaled.resize(std::size_t(tw) * th * 4);
        for (std::int32_t y = 0; y < th; ++y) std::memcpy(&scaled[std::size_t(y) * tw * 4], dp + y * ds, std::size_t(tw) * 4);
        cairo_surface_destroy(src);
        cairo_surface_destroy(dst);
        buf = scaled.data();
        layout = layout == PixelLayout::BGRA32 ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        bpp = 4;
    }
    LockPixels(world);
    for (std::int32_t y = 0; y < th; ++y) {
        std::int32_t wy = target.top - port.top + y;
        if (wy < 0 || wy >= v.height) continue;
        std::uint8_t* row = v.base + std::ptrdiff_t(wy) * v.rowBytes;
        for (std::int32_t x = 0; x < tw; ++x) {
            std::int32_t wx = target.left - port.left + x;
            if (wx < 0 || wx >= v.width) continue;
            const std::uint8_t* s = buf + (std::size_t(y) * tw + x) * bpp;
            if (v.depth == 32 && v.format != k32CMYKPixelFormat) {
                std::uint8_t* d = row + std::ptrdiff_t(wx) * 4;
                if (layout == PixelLayout::BGRA32 && blend) {
                    int inv = 255 - s[3];
                    for (int k = 0; k < 3; ++k) d[k] = std::uint8_t(s[k] + (d[k] * inv + 127) / 255);
                } else {
                    ToBgrx(layout, s, d);
                }
            } else if (v.format == k32CMYKPixelFormat) {
                std::uint8_t* d = row + std::ptrdiff_t(wx) * 4;
                if (layout == PixelLayout::CMYK32) {
                    std::memcpy(d, s, 4);
                } else {
                    std::uint8_t c[4];
                    ToBgrx(layout, s, c);
                    int k = 255 - std::max({c[0], c[1], c[2]});
                    auto ink = [&](int ch) { return k == 255 ? 0 : std::uint8_t((255 - ch - k) * 255 / (255 - k)); };
                    d[0] = ink(c[2]);
                    d[1] = ink(c[1]);
                    d[2] = ink(c[0]);
                    d[3] = std::uint8_t(k);
                }
            } else if (v.depth == 8) {
                std::uint8_t c[4];
                if (layout == PixelLayout::Gray8) c[0] = c[1] = c[2] = s[0];
                else ToBgrx(layout, s, c);
                row[wx] = std::uint8_t((c[2] * 299 + c[1] * 587 + c[0] * 114 + 500) / 1000);
            }
        }
    }
    UnlockPixels(world);
    return noErr;
}

}  // namespace

OSErr GraphicsImportDraw(GraphicsImportComponent gi) {
    if (!gi || !gi->world) return paramErr;
    const DecodedImageInfo* info;
    OSErr err = Facts(gi, &info);
    if (err != noErr) return err;
    Rect target;
    err = GraphicsImportGetBoundsRect(gi, &target);
    if (err != noErr) return err;
    if (EmptyRect(&target)) return noErr;
    PixelView v = GetGWorldPixels(gi->world);
    if (!v.base || (v.depth != 32 && v.depth != 8)) return paramErr;
    std::int32_t tw = std::int32_t(target.right) - target.left, th = std::int32_t(target.bottom) - target.top;
    bool blend = IsAlphaMode(gi->mode);
    DecodeOptions options;
    options.wantWidth = tw;
    options.wantHeight = th;
    options.strict = !gi->lenient;
    options.wantAlpha = blend && info->hasAlpha && v.format != k32CMYKPixelFormat && v.depth == 32;
    TargetSink sink(tw, th);
    err = gi->decoder->Decode(*gi->source, gi->index, options, sink);
    if (err != noErr) return err;
    if (sink.buffer_.empty()) return kBadMediaDataErr;
    sink.Finish();
    return Place(sink, gi->world, target, blend);
}

static std::string LowerExtension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (auto& ch : ext) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return ext;
}

static bool NamesExtension(const char* list, const std::string& ext) {
    if (ext.empty()) return false;
    std::string all = std::string(" ") + list + " ";
    return all.find(" " + ext + " ") != std::string::npos;
}

static OSErr PickImporter(std::unique_ptr<ByteSource> source, const std::string& ext, GraphicsImportComponent* out) {
    // Importers whose extension matches come first; then any decoder that knows the bytes.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& c : kImporters) {
            if (pass == 0 && !NamesExtension(c.extensions, ext)) continue;
            auto decoder = c.makeDecoder();
            if (!decoder->Sniff(*source)) continue;
            auto* gi = new (std::nothrow) GraphicsImporterRec;
            if (!gi) return memFullErr;
            gi->component = &c;
            gi->decoder = std::move(decoder);
            gi->source = std::move(source);
            *out = gi;
            return noErr;
        }
    }
    return kNoDecompressorErr;
}

OSErr GetGraphicsImporterForFile(const std::string& path, GraphicsImportComponent* out) {
    if (!out) return paramErr;
    *out = nullptr;
    OSErr err = noErr;
    auto source = ByteSource::OpenFile(path, &err);
    if (!source) return err;
    return PickImporter(std::move(source), LowerExtension(path), out);
}

OSErr GetGraphicsImporterForHandle(Handle data, GraphicsImportComponent* out) {
    if (!out || !data) return paramErr;
    *out = nullptr;
    return PickImporter(ByteSource::FromHandle(data), {}, out);
}
