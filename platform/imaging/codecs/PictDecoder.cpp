// QuickDraw picture files, with or without the 512-byte file header: the picture is drawn at
// its frame size over white.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

#include <cstring>

namespace {

constexpr std::uint64_t kMaxPictureBytes = 256ull * 1024 * 1024;

class PictDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t head[kPictFileHeaderSize + 16];
        std::size_t got = src.ReadSome(0, head, sizeof head);
        return PictureStartInFile(head, got) >= 0;
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        const std::uint8_t* data;
        std::size_t size;
        if (!Picture(src, &data, &size)) return kBadMediaDataErr;
        PictureFacts facts;
        if (ExaminePicture(data, size, &facts) != noErr) return kBadMediaDataErr;
        std::int32_t w = std::int32_t(facts.frame.right) - facts.frame.left;
        std::int32_t h = std::int32_t(facts.frame.bottom) - facts.frame.top;
        if (w <= 0 || h <= 0) return kBadMediaDataErr;
        info->width = w;
        info->height = h;
        info->codecType = 'qdrw';
        info->codecName = "QuickDraw";
        info->hRes = FixedToDouble(facts.hRes);
        info->vRes = FixedToDouble(facts.vRes);
        info->hasResolution = facts.version == 2;
        int px = facts.maxPixelSize;
        info->depth = px == 0 || px >= 24 ? 32 : std::int16_t(px);
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        const std::uint8_t* data;
        std::size_t size;
        if (!Picture(src, &data, &size)) return kBadMediaDataErr;
        Rect frame;
        if (!GetPictureFrameBytes(data, size, &frame)) return kBadMediaDataErr;
        std::int32_t w = std::int32_t(frame.right) - frame.left;
        std::int32_t h = std::int32_t(frame.bottom) - frame.top;
        if (w <= 0 || h <= 0) return kBadMediaDataErr;
        if (std::int64_t(w) * h > kMaxBufferedPixels) return memFullErr;
        std::vector<std::uint8_t> pixels;
        try {
            pixels.assign(std::size_t(w) * h * 4, 0xFF);
        } catch (...) {
            return memFullErr;
        }
        OSErr err = RenderPicture(data, size, pixels.data(), w, h, std::ptrdiff_t(w) * 4);
        if (err != noErr && options.strict) return err;
        err = sink.Begin(w, h, PixelLayout::BGRX32);
        if (err != noErr) return err;
        for (std::int32_t y = 0; y < h; ++y) sink.Row(y, &pixels[std::size_t(y) * w * 4]);
        return noErr;
    }

private:
    static bool Picture(ByteSource& src, const std::uint8_t** data, std::size_t* size) {
        const std::uint8_t* all = src.Contents(kMaxPictureBytes);
        if (!all) return false;
        long start = PictureStartInFile(all, std::size_t(src.Size()));
        if (start < 0) return false;
        *data = all + start;
        *size = std::size_t(src.Size()) - std::size_t(start);
        return true;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewPictDecoder() {
    return std::make_unique<PictDecoder>();
}
