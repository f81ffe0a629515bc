// Windows and OS/2 bitmaps (BMP): 1, 4, 8, 16, 24 and 32 bits a pixel, uncompressed, with
// bit-field masks, or run-length coded (RLE8, RLE4).
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <algorithm>
#include <cstring>

namespace {

struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;   // negative: rows stored top-down
    std::uint16_t bpp = 0;
    std::uint32_t compression = 0;
    double hRes = 0, vRes = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::uint8_t palette[256][3] = {};
    int paletteSize = 0;
    bool topDown = false;
};

enum : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

bool ReadHeader(ByteSource& src, BmpHeader* h) {
    ByteReader r(src);
    if (r.U8() != 'B' || r.U8() != 'M') return false;
    r.LE32();
    r.LE32();
    h->dataOffset = r.LE32();
    h->headerSize = r.LE32();
    if (h->headerSize == 12) {
        h->width = r.LE16();
        h->height = std::int16_t(r.LE16());
        r.LE16();
        h->bpp = r.LE16();
    } else if (h->headerSize >= 40 && h->headerSize <= 256) {
        h->width = std::int32_t(r.LE32());
        h->height = std::int32_t(r.LE32());
        r.LE16();
        h->bpp = r.LE16();
        h->compression = r.LE32();
        r.LE32();
        std::int32_t xppm = std::int32_t(r.LE32()), yppm = std::int32_t(r.LE32());
        std::uint32_t used = r.LE32();
        r.LE32();
        if (xppm > 0 && yppm > 0) {
            h->hRes = xppm * 0.0254;
            h->vRes = yppm * 0.0254;
        }
        if (h->compression == kBitFields || h->compression == kAlphaBitFields) {
            // Masks follow the 40-byte header, or are part of a larger one.
            int n = h->compression == kAlphaBitFields || h->headerSize >= 56 ? 4 : 3;
            for (int i = 0; i < n; ++i) h->masks[i] = r.LE32();
        } else if (h->headerSize >= 56) {
            for (int i = 0; i < 4; ++i) h->masks[i] = r.LE32();
        }
        h->paletteSize = int(used);
    } else {
        return false;
    }
    if (r.Failed()) return false;
    if (h->height < 0) {
        if (h->height == INT32_MIN) return false;
        h->height = -h->height;
        h->topDown = true;
    }
    if (!DimensionsAcceptable(h->width, h->height)) return false;
    switch (h->bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (h->compression == kRle8 && h->bpp != 8) return false;
    if (h->compression == kRle4 && h->bpp != 4) return false;
    if (h->compression != kRgb && h->compression != kRle8 && h->compression != kRle4 &&
        h->compression != kBitFields && h->compression != kAlphaBitFields)
        return false;
    if (h->compression == kBitFields || h->compression == kAlphaBitFields) {
        if (h->bpp != 16 && h->bpp != 32) return false;
    } else if (h->bpp == 16) {
        h->masks[0] = 0x7C00;
        h->masks[1] = 0x03E0;
        h->masks[2] = 0x001F;
    } else if (h->bpp == 32) {
        h->masks[0] = 0x00FF0000;
        h->masks[1] = 0x0000FF00;
        h->masks[2] = 0x000000FF;
    }
    if (h->bpp <= 8) {
        int entries = h->paletteSize > 0 && h->paletteSize <= 256 ? h->paletteSize : (1 << h->bpp);
        int entryBytes = h->headerSize == 12 ? 3 : 4;
        ByteReader p(src, 14 + std::uint64_t(h->headerSize) +
                              ((h->compression == kBitFields && h->headerSize == 40) ? 12 : 0));
        for (int i = 0; i < entries; ++i) {
            std::uint8_t e[4] = {0, 0, 0, 0};
            if (!p.Bytes(e, std::size_t(entryBytes))) break;
            h->palette[i][0] = e[0];
            h->palette[i][1] = e[1];
            h->palette[i][2] = e[2];
        }
        h->paletteSize = entries;
    }
    return true;
}

// Value of a masked field scaled to 8 bits.
std::uint8_t Field(std::uint32_t v, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = __builtin_ctz(mask);
    std::uint32_t max = mask >> shift;
    return std::uint8_t(std::uint64_t((v & mask) >> shift) * 255 / max);
}

class BmpDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        BmpHeader h;
        return ReadHeader(src, &h);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        BmpHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        info->width = h.width;
        info->height = h.height;
        info->codecType = 'WRLE';
        info->codecName = "BMP";
        info->depth = std::int16_t(h.bpp);
        info->hasAlpha = h.masks[3] != 0;
        if (h.hRes > 0) {
            info->hRes = h.hRes;
            info->vRes = h.vRes;
            info->hasResolution = true;
        }
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        BmpHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        if (h.compression == kRle8 || h.compression == kRle4) return DecodeRle(src, h, options, sink);
        bool keepAlpha = options.wantAlpha && h.masks[3] != 0;
        OSErr err = sink.Begin(h.width, h.height, keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32);
        if (err != noErr) return err;
        std::uint64_t stride = ((std::uint64_t(h.width) * h.bpp + 31) / 32) * 4;
        std::vector<std::uint8_t> in(stride), out(std::size_t(h.width) * 4);
        bool damaged = false;
        for (std::int32_t y = 0; y < h.height; ++y) {
            std::int32_t stored = h.topDown ? y : h.height - 1 - y;
            std::fill(in.begin(), in.end(), 0);
            if (!src.ReadAt(h.dataOffset + std::uint64_t(stored) * stride, in.data(), in.size())) {
                // The data ends here: the rows so far are what the file has.
                damaged = true;
                break;
            }
            for (std::int32_t x = 0; x < h.width; ++x) {
                std::uint8_t* o = &out[std::size_t(x) * 4];
                o[3] = 0xFF;
                if (h.bpp <= 8) {
                    std::size_t bit = std::size_t(x) * h.bpp;
                    int idx = (in[bit / 8] >> (8 - h.bpp - int(bit % 8))) & ((1 << h.bpp) - 1);
                    if (idx >= h.paletteSize) idx = 0;
                    o[0] = h.palette[idx][0];
                    o[1] = h.palette[idx][1];
                    o[2] = h.palette[idx][2];
                } else if (h.bpp == 24) {
                    std::memcpy(o, &in[std::size_t(x) * 3], 3);
                } else {
                    std::uint32_t v = h.bpp == 16 ? std::uint32_t(in[x * 2] | (in[x * 2 + 1] << 8))
                                                  : std::uint32_t(in[x * 4] | (in[x * 4 + 1] << 8) |
                                                                  (in[x * 4 + 2] << 16) | (std::uint32_t(in[x * 4 + 3]) << 24));
                    o[2] = Field(v, h.masks[0]);
                    o[1] = Field(v, h.masks[1]);
                    o[0] = Field(v, h.masks[2]);
                    if (keepAlpha) o[3] = Field(v, h.masks[3]);
                }
            }
            sink.Row(y, out.data());
        }
        return damaged && options.strict ? kBadMediaDataErr : noErr;
    }

private:
    static OSErr DecodeRle(ByteSource& src, const BmpHeader& h, const DecodeOptions& options, RowSink& sink) {
        if (std::int64_t(h.width) * h.height > kMaxBufferedPixels) return memFullErr;
        std::vector<std::uint8_t> index;
        try {
            index.assign(std::size_t(h.width) * h.height, 0);
        } catch (...) {
            return memFullErr;
        }
        ByteReader r(src, h.dataOffset);
        std::int32_t x = 0, y = 0;  // y counts stored rows (bottom-up)
        bool done = false, damaged = false;
        auto put = [&](int v) {
            if (x < h.width && y < h.height) index[std::size_t(y) * h.width + x] = std::uint8_t(v);
            ++x;
        };
        while (!done) {
            std::uint8_t n = r.U8(), v = r.U8();
            if (r.Failed()) {
                damaged = true;
                break;
            }
            if (n > 0) {
                for (int i = 0; i < n; ++i)
                    put(h.compression == kRle8 ? v : (i & 1) ? (v & 0x0F) : (v >> 4));
                continue;
            }
            switch (v) {
            case 0: x = 0; ++y; break;
            case 1: done = true; break;
            case 2: x += r.U8(); y += r.U8(); break;
            default: {
                int count = v;
                int bytes = h.compression == kRle8 ? count : (count + 1) / 2;
                std::uint8_t buf[256];
                r.Bytes(buf, std::size_t(bytes));
                for (int i = 0; i < count; ++i)
                    put(h.compression == kRle8 ? buf[i] : (i & 1) ? (buf[i / 2] & 0x0F) : (buf[i / 2] >> 4));
                if (bytes & 1) r.U8();
                break;
            }
            }
            if (y >= h.height) done = true;
        }
        if (damaged && options.strict) return kBadMediaDataErr;
        OSErr err = sink.Begin(h.width, h.height, PixelLayout::BGRX32);
        if (err != noErr) return err;
        std::vector<std::uint8_t> out(std::size_t(h.width) * 4);
        for (std::int32_t row = 0; row < h.height; ++row) {
            std::int32_t stored = h.topDown ? row : h.height - 1 - row;
            for (std::int32_t i = 0; i < h.width; ++i) {
                int idx = index[std::size_t(stored) * h.width + i];
                if (idx >= h.paletteSize) idx = 0;
                std::uint8_t* o = &out[std::size_t(i) * 4];
                o[0] = h.palette[idx][0];
                o[1] = h.palette[idx][1];
                o[2] = h.palette[idx][2];
                o[3] = 0xFF;
            }
            sink.Row(row, out.data());
        }
        return noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewBmpDecoder() {
    return std::make_unique<BmpDecoder>();
}
