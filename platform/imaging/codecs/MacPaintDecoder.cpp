// MacPaint documents: a 576 x 720 black-and-white picture, each of its 720 rows PackBits-coded
// to 72 bytes, after a 512-byte header (and a 128-byte MacBinary header in some copies).
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/ByteOrder.h"
#include "platform/imaging/PackBits.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kWidth = 576, kHeight = 720, kRowBytes = 72;

// Where the 512-byte header starts: 0, or 128 behind a MacBinary header naming 'PNTG'.
long HeaderStart(ByteSource& src) {
    std::uint8_t mb[128];
    if (src.ReadAt(0, mb, 128) && mb[0] == 0 && mb[1] > 0 && mb[1] <= 63 && std::memcmp(mb + 65, "PNTG", 4) == 0)
        return 128;
    std::uint8_t v[4];
    if (!src.ReadAt(0, v, 4)) return -1;
    std::uint32_t version = ReadBE32(v);
    return version <= 3 ? 0 : -1;
}

class MacPaintDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        long start = HeaderStart(src);
        return start >= 0 && src.Size() > std::uint64_t(start) + 512;
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        if (!Sniff(src)) return kBadMediaDataErr;
        info->width = kWidth;
        info->height = kHeight;
        info->codecType = 'PNTG';
        info->codecName = "MacPaint";
        info->depth = 1;
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        long start = HeaderStart(src);
        if (start < 0) return kBadMediaDataErr;
        std::uint64_t pos = std::uint64_t(start) + 512;
        std::uint64_t avail = src.Size() > pos ? src.Size() - pos : 0;
        // The coded picture is never larger than every row stored literally.
        std::vector<std::uint8_t> data(std::size_t(std::min<std::uint64_t>(avail, kHeight * (kRowBytes + 2))));
        std::size_t got = src.ReadSome(pos, data.data(), data.size());
        OSErr err = sink.Begin(kWidth, kHeight, PixelLayout::Gray8);
        if (err != noErr) return err;
        std::uint8_t bits[kRowBytes];
        std::uint8_t row[kWidth];
        std::size_t ip = 0;
        bool damaged = false;
        for (int y = 0; y < kHeight; ++y) {
            std::memset(bits, 0, sizeof bits);
            std::size_t produced = 0;
            ip += UnpackBits(data.data() + std::min(ip, got), got - std::min(ip, got), bits, kRowBytes, &produced);
            if (produced < kRowBytes) damaged = true;
            for (int x = 0; x < kWidth; ++x) row[x] = (bits[x >> 3] & (0x80 >> (x & 7))) ? 0 : 255;
            sink.Row(y, row);
        }
        return damaged && options.strict ? kBadMediaDataErr : noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewMacPaintDecoder() {
    return std::make_unique<MacPaintDecoder>();
}
