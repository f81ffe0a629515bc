#include "platform/imaging/ImageCompression.h"

#include "platform/Handles.h"
#include "platform/imaging/codecs/JpegCodec.h"

#include <cmath>

OSErr CompressImage(GWorldPtr world, const Rect* rect, std::uint32_t quality, OSType codec, std::int16_t depth,
                    Fixed resolution, ImageDescriptionRec* desc, std::vector<std::uint8_t>* data) {
    if (!desc || !data) return paramErr;
    if (codec != 'jpeg') return kNoDecompressorErr;
    PixelView v = GetGWorldPixels(world);
    if (!v.base || v.depth != 32 || v.format == k32CMYKPixelFormat) return paramErr;
    Rect port = GetPortBounds(world);
    Rect r = rect ? *rect : port;
    Rect area;
    if (!SectRect(&r, &port, &area)) return paramErr;
    std::int32_t w = area.right - area.left, h = area.bottom - area.top;
    const std::uint8_t* base = v.base + (area.top - port.top) * v.rowBytes + (area.left - port.left) * 4;
    int dpi = int(std::lround(FixedToDouble(resolution > 0 ? resolution : 72 << 16)));
    int q = JpegQualityFromCodecQuality(quality);
    OSErr err;
    LockPixels(world);
    if (depth == 40) {
        std::vector<std::uint8_t> grey(std::size_t(w) * h);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint8_t* p = base + y * v.rowBytes + x * 4;
                grey[std::size_t(y) * w + x] = std::uint8_t((p[2] * 299 + p[1] * 587 + p[0] * 114 + 500) / 1000);
            }
        err = JpegEncodeGray(grey.data(), w, h, w, q, dpi, data);
    } else {
        err = JpegEncodeBGRX(base, w, h, v.rowBytes, q, dpi, data);
    }
    UnlockPixels(world);
    if (err != noErr) return err;
    desc->desc = MakeImageDescription('jpeg', "Photo - JPEG", w, h, FixedToDouble(resolution), FixedToDouble(resolution),
                                      depth == 40 ? 40 : 24);
    desc->desc.spatialQuality = quality;
    desc->desc.dataSize = std::int32_t(data->size());
    desc->pixelFormatExtension = 0;
    return noErr;
}

OSErr CompressPicture(PicHandle source, PicHandle* out, std::uint32_t quality, OSType codec, std::int16_t depth) {
    if (!out) return paramErr;
    *out = nullptr;
    if (!source || !*source) return paramErr;
    if (codec != 'jpeg') return kNoDecompressorErr;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(*source);
    std::size_t size = std::size_t(GetHandleSize(source));
    PictureFacts facts;
    OSErr err = ExaminePicture(bytes, size, &facts);
    if (err != noErr) return err;
    Rect frame = facts.frame;
    OffsetRect(&frame, -frame.left, -frame.top);
    if (EmptyRect(&frame)) return paramErr;
    GWorldPtr world = nullptr;
    err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &frame);
    if (err != noErr) return err;
    PixelView v = GetGWorldPixels(world);
    for (std::int32_t y = 0; y < v.height; ++y)
        for (std::int32_t x = 0; x < v.width; ++x) *reinterpret_cast<std::uint32_t*>(v.base + y * v.rowBytes + x * 4) = 0xFFFFFFFF;
    err = DrawPicture(source, world, &frame);
    ImageDescriptionRec desc;
    std::vector<std::uint8_t> data;
    if (err == noErr) err = CompressImage(world, nullptr, quality, codec, depth, facts.hRes, &desc, &data);
    DisposeGWorld(world);
    if (err != noErr) return err;
    return RecordCompressedPicture(desc, data.data(), data.size(), facts.hRes, out);
}
