// PNG through libpng, read as a stream so that a large image is never held whole (except an
// interlaced one, whose passes have to be combined).
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct PngState {
    ByteSource* src = nullptr;
    std::uint64_t pos = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool strict = true;
    // Facts after the header.
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    bool hasAlpha = false;
    PixelLayout layout = PixelLayout::BGRX32;
    int passes = 1;

    ~PngState() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

void ReadData(png_structp png, png_bytep out, png_size_t n) {
    auto* s = static_cast<PngState*>(png_get_io_ptr(png));
    if (!s->src->ReadAt(s->pos, out, n)) png_error(png, "truncated");
    s->pos += n;
}

void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp) {
    auto* s = static_cast<PngState*>(png_get_error_ptr(png));
    (void)s;
}

bool Create(PngState& s, ByteSource& src, bool strict) {
    s.src = &src;
    s.strict = strict;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (!s.png) return false;
    s.info = png_create_info_struct(s.png);
    if (!s.info) return false;
    png_set_read_fn(s.png, &s, ReadData);
    // Bound what a hostile file can make libpng allocate for its ancillary chunks.
    png_set_chunk_malloc_max(s.png, 16 * 1024 * 1024);
    if (!strict) png_set_crc_action(s.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    return true;
}

// Reads the header and, when `transforms`, sets the output to our pixel layouts.
bool ReadHeader(PngState& s, bool transforms, bool wantAlpha) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_read_info(s.png, s.info);
    png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, &s.interlace,
                 nullptr, nullptr);
    s.hasAlpha = (s.colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(s.png, s.info, PNG_INFO_tRNS);
    if (!transforms) return true;
    if (!DimensionsAcceptable(s.width, s.height)) return false;
    png_set_expand(s.png);
    png_set_strip_16(s.png);
    bool gray = !(s.colorType & PNG_COLOR_MASK_COLOR) && s.colorType != PNG_COLOR_TYPE_PALETTE;
    bool keepAlpha = wantAlpha && s.hasAlpha;
    if (gray && !keepAlpha) {
        if (s.colorType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(s.png);
        s.layout = PixelLayout::Gray8;
    } else {
        if (gray) png_set_gray_to_rgb(s.png);
        png_set_bgr(s.png);
        if (keepAlpha) {
            s.layout = PixelLayout::BGRA32;
        } else {
            if (s.colorType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(s.png);
            png_set_filler(s.png, 0xFF, PNG_FILLER_AFTER);
            s.layout = PixelLayout::BGRX32;
        }
    }
    s.passes = png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    return png_get_rowbytes(s.png, s.info) ==
           std::size_t(s.width) * std::size_t(LayoutBytesPerPixel(s.layout));
}

bool ReadRowsStreaming(PngState& s, std::uint8_t* row, RowSink& sink) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    for (png_uint_32 y = 0; y < s.height; ++y) {
        png_read_row(s.png, row, nullptr);
        sink.Row(std::int32_t(y), row);
    }
    return true;
}

bool ReadRowsInterlaced(PngState& s, std::uint8_t* image, std::size_t rowBytes) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    for (int pass = 0; pass < s.passes; ++pass)
        for (png_uint_32 y = 0; y < s.height; ++y)
            png_read_row(s.png, image + std::size_t(y) * rowBytes, nullptr);
    return true;
}

class PngDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t b[8];
        return src.ReadAt(0, b, 8) && png_sig_cmp(b, 0, 8) == 0;
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        if (!Sniff(src)) return kBadMediaDataErr;
        PngState s;
        if (!Create(s, src, true) || !ReadHeader(s, false, false)) return kBadMediaDataErr;
        if (!DimensionsAcceptable(s.width, s.height)) return kBadMediaDataErr;
        info->width = std::int32_t(s.width);
        info->height = std::int32_t(s.height);
        info->codecType = 'png ';
        info->codecName = "PNG";
        info->hasAlpha = s.hasAlpha;
        int bits = s.bitDepth > 8 ? 8 : s.bitDepth;
        switch (s.colorType) {
        case PNG_COLOR_TYPE_PALETTE:
            info->depth = std::int16_t(s.bitDepth);
            break;
        case PNG_COLOR_TYPE_GRAY:
            info->depth = s.hasAlpha ? 32 : std::int16_t(32 + bits);
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
        case PNG_COLOR_TYPE_RGB_ALPHA:
            info->depth = 32;
            break;
        default:
            info->depth = s.hasAlpha ? 32 : 24;
            break;
        }
        png_uint_32 xppu = 0, yppu = 0;
        int unit = 0;
        if (png_get_pHYs(s.png, s.info, &xppu, &yppu, &unit) && unit == PNG_RESOLUTION_METER &&
            xppu > 0 && yppu > 0) {
            info->hRes = xppu * 0.0254;
            info->vRes = yppu * 0.0254;
            info->hasResolution = true;
        }
        png_charp name = nullptr;
        int compression = 0;
        png_bytep profile = nullptr;
        png_uint_32 profileLen = 0;
        if (png_get_iCCP(s.png, s.info, &name, &compression, &profile, &profileLen) && profile &&
            profileLen > 0)
            info->iccProfile.assign(profile, profile + profileLen);
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        if (!Sniff(src)) return kBadMediaDataErr;
        PngState s;
        if (!Create(s, src, options.strict) || !ReadHeader(s, true, options.wantAlpha))
            return kBadMediaDataErr;
        std::size_t rowBytes = std::size_t(s.width) * LayoutBytesPerPixel(s.layout);
        OSErr err = sink.Begin(std::int32_t(s.width), std::int32_t(s.height), s.layout);
        if (err != noErr) return err;
        if (s.passes <= 1) {
            std::vector<std::uint8_t> row(rowBytes);
            if (!ReadRowsStreaming(s, row.data(), sink)) return kBadMediaDataErr;
            return noErr;
        }
        if (std::int64_t(s.width) * s.height > kMaxBufferedPixels) return memFullErr;
        std::vector<std::uint8_t> image;
        try {
            image.assign(rowBytes * s.height, 0);
        } catch (...) {
            return memFullErr;
        }
        bool ok = ReadRowsInterlaced(s, image.data(), rowBytes);
        if (!ok && options.strict) return kBadMediaDataErr;
        for (png_uint_32 y = 0; y < s.height; ++y) sink.Row(std::int32_t(y), image.data() + y * rowBytes);
        return ok ? noErr : kBadMediaDataErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewPngDecoder() {
    return std::make_unique<PngDecoder>();
}
