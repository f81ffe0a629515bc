// Silicon Graphics images (SGI, RGB): 1 to 4 channels of 8 or 16 bits, verbatim or run-length
// coded, rows stored from the bottom. The run-length form has a table of row offsets, so rows
// are read in any order.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/ByteOrder.h"
#include "platform/imaging/GWorld.h"

#include <algorithm>
#include <cstring>

namespace {

struct SgiHeader {
    std::uint8_t storage = 0, bpc = 1;
    std::uint16_t dimension = 0, xsize = 0, ysize = 0, zsize = 0;
};

bool ReadHeader(ByteSource& src, SgiHeader* h) {
    std::uint8_t b[12];
    if (!src.ReadAt(0, b, 12) || ReadBE16(b) != 474) return false;
    h->storage = b[2];
    h->bpc = b[3];
    h->dimension = ReadBE16(b + 4);
    h->xsize = ReadBE16(b + 6);
    h->ysize = ReadBE16(b + 8);
    h->zsize = ReadBE16(b + 10);
    if (h->storage > 1 || (h->bpc != 1 && h->bpc != 2) || h->dimension < 1 || h->dimension > 3) return false;
    if (h->dimension == 1) h->ysize = 1;
    if (h->dimension < 3) h->zsize = 1;
    return h->zsize >= 1 && DimensionsAcceptable(h->xsize, h->ysize);
}

class SgiDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        SgiHeader h;
        return ReadHeader(src, &h);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        SgiHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        info->width = h.xsize;
        info->height = h.ysize;
        info->codecType = 'SGI ';
        info->codecName = "SGI";
        info->hasAlpha = h.zsize == 2 || h.zsize >= 4;
        info->depth = h.zsize <= 2 ? (h.zsize == 2 ? 32 : 40) : h.zsize == 3 ? 24 : 32;
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        SgiHeader h;
        if (!ReadHeader(src, &h)) return kBadMediaDataErr;
        int channels = std::min<int>(h.zsize, 4);
        std::vector<std::uint32_t> starts, lengths;
        if (h.storage == 1) {
            // The tables hold a start and a length for every row of every channel; only the
            // channels we show are read, and a file too short to hold the tables is refused.
            std::uint64_t all = std::uint64_t(h.ysize) * h.zsize;
            if (src.Size() < 512 + all * 8) return kBadMediaDataErr;
            std::size_t n = std::size_t(h.ysize) * std::size_t(channels);
            std::vector<std::uint8_t> table(n * 4);
            starts.resize(n);
            lengths.resize(n);
            if (!src.ReadAt(512, table.data(), table.size())) return kBadMediaDataErr;
            for (std::size_t i = 0; i < n; ++i) starts[i] = ReadBE32(&table[i * 4]);
            if (!src.ReadAt(512 + all * 4, table.data(), table.size())) return kBadMediaDataErr;
            for (std::size_t i = 0; i < n; ++i) lengths[i] = ReadBE32(&table[i * 4]);
        }
        bool gray = channels <= 2;
        bool keepAlpha = options.wantAlpha && (channels == 2 || channels == 4);
        PixelLayout layout = gray && !keepAlpha ? PixelLayout::Gray8 : keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        OSErr err = sink.Begin(h.xsize, h.ysize, layout);
        if (err != noErr) return err;
        std::size_t rowBytes = std::size_t(h.xsize) * h.bpc;
        std::vector<std::uint8_t> planes(std::size_t(channels) * h.xsize, 0), line(rowBytes), packed;
        std::vector<std::uint8_t> out(std::size_t(h.xsize) * LayoutBytesPerPixel(layout));
        bool damaged = false;
        for (std::int32_t y = 0; y < h.ysize; ++y) {
            std::int32_t stored = h.ysize - 1 - y;
            for (int c = 0; c < channels; ++c) {
                std::fill(line.begin(), line.end(), 0);
                if (h.storage == 0) {
                    std::uint64_t off = 512 + (std::uint64_t(c) * h.ysize + stored) * rowBytes;
                    if (!src.ReadAt(off, line.data(), rowBytes)) damaged = true;
                } else {
                    std::size_t i = std::size_t(c) * h.ysize + stored;
                    std::uint32_t len = lengths[i];
                    if (len > rowBytes * 2 + 16) len = std::uint32_t(rowBytes * 2 + 16);
                    packed.resize(len);
                    if (!src.ReadAt(starts[i], packed.data(), len)) damaged = true;
                    else if (!Unpack(packed, h.bpc, line.data(), h.xsize)) damaged = true;
                }
                std::uint8_t* plane = &planes[std::size_t(c) * h.xsize];
                for (std::size_t x = 0; x < h.xsize; ++x) plane[x] = line[x * h.bpc];
            }
            for (std::size_t x = 0; x < h.xsize; ++x) {
                auto ch = [&](int c) { return planes[std::size_t(c) * h.xsize + x]; };
                if (layout == PixelLayout::Gray8) {
                    out[x] = ch(0);
                    continue;
                }
                std::uint8_t* o = &out[x * 4];
                if (gray) {
                    o[0] = o[1] = o[2] = ch(0);
                    o[3] = keepAlpha ? ch(1) : 0xFF;
                } else {
                    o[2] = ch(0);
                    o[1] = ch(1);
                    o[0] = ch(2);
                    o[3] = keepAlpha ? ch(3) : 0xFF;
                }
            }
            if (damaged) break;
            sink.Row(y, out.data());
        }
        return damaged && options.strict ? kBadMediaDataErr : noErr;
    }

private:
    // One coded row: a count (low 7 bits; 0 ends), copied when its top bit is set, else the
    // next value repeated. Values are bpc bytes.
    static bool Unpack(const std::vector<std::uint8_t>& in, int bpc, std::uint8_t* out, std::size_t pixels) {
        std::size_t ip = 0, op = 0;
        auto value = [&](std::uint8_t* dst) {
            if (ip + std::size_t(bpc) > in.size()) return false;
            std::memcpy(dst, &in[ip], std::size_t(bpc));
            ip += std::size_t(bpc);
            return true;
        };
        while (true) {
            std::uint8_t v[2];
            if (!value(v)) return false;
            int count = (bpc == 2 ? v[1] : v[0]) & 0x7F;
            bool literal = ((bpc == 2 ? v[1] : v[0]) & 0x80) != 0;
            if (count == 0) return true;
            if (literal) {
                for (int i = 0; i < count; ++i) {
                    std::uint8_t px[2];
                    if (!value(px)) return false;
                    if (op < pixels) std::memcpy(out + op * bpc, px, std::size_t(bpc));
                    ++op;
                }
            } else {
                std::uint8_t px[2];
                if (!value(px)) return false;
                for (int i = 0; i < count; ++i, ++op)
                    if (op < pixels) std::memcpy(out + op * bpc, px, std::size_t(bpc));
            }
        }
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewSgiDecoder() {
    return std::make_unique<SgiDecoder>();
}
