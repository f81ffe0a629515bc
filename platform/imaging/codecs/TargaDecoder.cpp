// Truevision Targa (TGA): colour-mapped, true-colour and grey images, plain or run-length
// coded, stored from the bottom or from the top.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <algorithm>
#include <cstring>

namespace {

struct TgaHeader {
    std::uint8_t idLength, mapType, imageType;
    std::uint16_t mapFirst, mapLength;
    std::uint8_t mapEntryBits;
    std::uint16_t width, height;
    std::uint8_t bpp, descriptor;
};

bool ReadHeader(ByteSource& src, TgaHeader* h) {
    std::uint8_t b[18];
    if (!src.ReadAt(0, b, 18)) return false;
    h->idLength = b[0];
    h->mapType = b[1];
    h->imageType = b[2];
    h->mapFirst = std::uint16_t(b[3] | (b[4] << 8));
    h->mapLength = std::uint16_t(b[5] | (b[6] << 8));
    h->mapEntryBits = b[7];
    h->width = std::uint16_t(b[12] | (b[13] << 8));
    h->height = std::uint16_t(b[14] | (b[15] << 8));
    h->bpp = b[16];
    h->descriptor = b[17];
    if (h->mapType > 1 || h->width == 0 || h->height == 0) return false;
    int base = h->imageType & 7;
    if ((h->imageType & ~8) < 1 || (h->imageType & ~8) > 3) return false;
    if (base == 1) {
        if (h->mapType != 1 || h->bpp != 8 || h->mapLength == 0) return false;
        if (h->mapEntryBits != 15 && h->mapEntryBits != 16 && h->mapEntryBits != 24 && h->mapEntryBits != 32)
            return false;
    } else if (base == 2) {
        if (h->bpp != 15 && h->bpp != 16 && h->bpp != 24 && h->bpp != 32) return false;
    } else if (base == 3) {
        if (h->bpp != 8 && h->bpp != 16) return false;
    }
    return true;
}

void Expand(const std::uint8_t* p, int bits, std::uint8_t* o) {
    if (bits == 15 || bits == 16) {
        std::uint16_t v = std::uint16_t(p[0] | (p[1] << 8));
        auto five = [](int f) { return std::uint8_t((f << 3) | (f >> 2)); };
        o[2] = five((v >> 10) & 31);
        o[1] = five((v >> 5) & 31);
        o[0] = five(v & 31);
        o[3] = bits == 16 && !(v & 0x8000) ? 0 : 0xFF;
    } else {
        o[0] = p[0];
        o[1] = p[1];
        o[2] = p[2];
        o[3] = bits == 32 ? p[3] : 0xFF;
    }
}

class TargaDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        TgaHeader h;
        return ReadHeader(src, &h);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        TgaHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        info->width = h.width;
        info->height = h.height;
        info->codecType = 'tga ';
        info->codecName = "Targa";
        int alphaBits = h.descriptor & 0x0F;
        info->hasAlpha = alphaBits > 0 && (h.bpp == 32 || h.bpp == 16);
        int base = h.imageType & 7;
        info->depth = base == 1 ? 8 : base == 3 ? 40 : h.bpp == 15 ? 16 : std::int16_t(h.bpp);
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        TgaHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        if (std::int64_t(h.width) * h.height > kMaxBufferedPixels) return memFullErr;
        int base = h.imageType & 7;
        bool rle = h.imageType & 8;
        // Colour map, as 32-bit pixels.
        std::vector<std::uint8_t> map;
        std::uint64_t pos = 18 + std::uint64_t(h.idLength);
        if (h.mapType == 1) {
            int entryBytes = (h.mapEntryBits + 7) / 8;
            std::vector<std::uint8_t> raw(std::size_t(h.mapLength) * entryBytes);
            if (!src.ReadAt(pos, raw.data(), raw.size())) return kBadMediaDataErr;
            pos += raw.size();
            map.resize(std::size_t(h.mapLength) * 4);
            for (std::size_t i = 0; i < h.mapLength; ++i) Expand(&raw[i * entryBytes], h.mapEntryBits, &map[i * 4]);
        }
        int pixelBytes = (h.bpp + 7) / 8;
        std::size_t count = std::size_t(h.width) * h.height;
        // A file that cannot hold the pixels its header claims is refused before anything is
        // allocated (a run packet of 1 + pixelBytes bytes gives at most 128 pixels).
        std::uint64_t remaining = src.Size() > pos ? src.Size() - pos : 0;
        std::uint64_t most = rle ? remaining / std::uint64_t(1 + pixelBytes) * 128 : remaining / std::uint64_t(pixelBytes);
        if (options.strict && most < count) return kBadMediaDataErr;
        std::vector<std::uint8_t> raw;
        try {
            raw.assign(count * pixelBytes, 0);
        } catch (...) {
            return memFullErr;
        }
        bool damaged = false;
        if (!rle) {
            damaged = src.ReadSome(pos, raw.data(), raw.size()) != raw.size();
        } else {
            ByteReader r(src, pos);
            std::size_t done = 0;
            std::uint8_t px[4];
            while (done < count) {
                std::uint8_t head = r.U8();
                std::size_t n = std::size_t(head & 0x7F) + 1;
                if (r.Failed()) break;
                if (head & 0x80) {
                    r.Bytes(px, std::size_t(pixelBytes));
                    for (std::size_t i = 0; i < n && done < count; ++i, ++done)
                        std::memcpy(&raw[done * pixelBytes], px, std::size_t(pixelBytes));
                } else {
                    for (std::size_t i = 0; i < n && done < count; ++i, ++done)
                        r.Bytes(&raw[done * pixelBytes], std::size_t(pixelBytes));
                }
                if (r.Failed()) break;
            }
            damaged = done < count || r.Failed();
        }
        if (damaged && options.strict) return kBadMediaDataErr;
        bool keepAlpha = options.wantAlpha && (h.descriptor & 0x0F) && (h.bpp == 32 || h.bpp == 16);
        PixelLayout layout = base == 3 ? PixelLayout::Gray8 : keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        OSErr err = sink.Begin(h.width, h.height, layout);
        if (err != noErr) return err;
        bool topDown = h.descriptor & 0x20, rightToLeft = h.descriptor & 0x10;
        std::vector<std::uint8_t> out(std::size_t(h.width) * LayoutBytesPerPixel(layout));
        for (std::int32_t y = 0; y < h.height; ++y) {
            std::int32_t stored = topDown ? y : h.height - 1 - y;
            for (std::int32_t x = 0; x < h.width; ++x) {
                std::int32_t sx = rightToLeft ? h.width - 1 - x : x;
                const std::uint8_t* p = &raw[(std::size_t(stored) * h.width + sx) * pixelBytes];
                if (base == 3) {
                    out[std::size_t(x)] = h.bpp == 16 ? p[0] : p[0];
                    continue;
                }
                std::uint8_t* o = &out[std::size_t(x) * 4];
                if (base == 1) {
                    int idx = p[0] - h.mapFirst;
                    if (idx < 0 || idx >= h.mapLength) idx = 0;
                    std::memcpy(o, &map[std::size_t(idx) * 4], 4);
                } else {
                    Expand(p, h.bpp, o);
                }
                if (!keepAlpha) o[3] = 0xFF;
            }
            sink.Row(y, out.data());
        }
        return noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewTargaDecoder() {
    return std::make_unique<TargaDecoder>();
}
