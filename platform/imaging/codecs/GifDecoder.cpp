// GIF through giflib. Each image of the file counts as one image; an image is drawn on the
// file's logical screen filled with the background colour (or left transparent).
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/imaging/GWorld.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

struct Input {
    ByteSource* src;
    std::uint64_t pos = 0;
};

int ReadInput(GifFileType* gif, GifByteType* buf, int n) {
    auto* in = static_cast<Input*>(gif->UserData);
    if (n <= 0) return 0;
    std::size_t got = in->src->ReadSome(in->pos, buf, std::size_t(n));
    in->pos += got;
    return int(got);
}

class GifFile {
public:
    explicit GifFile(ByteSource& src) : input_{&src} {
        int err = 0;
        gif_ = DGifOpen(&input_, ReadInput, &err);
    }
    ~GifFile() {
        int err = 0;
        if (gif_) DGifCloseFile(gif_, &err);
    }
    GifFileType* get() const { return gif_; }

private:
    Input input_;
    GifFileType* gif_ = nullptr;
};

// Skips the data blocks that follow an extension or an image's first code block.
bool SkipExtensionBlocks(GifFileType* gif, GifByteType* block) {
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
    return true;
}

bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block) {
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    }
    return true;
}

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    ColorMapObject* map = nullptr;
};

class GifDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t b[6];
        return src.ReadAt(0, b, 6) && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (!Sniff(src)) return kBadMediaDataErr;
        GifFile file(src);
        GifFileType* gif = file.get();
        if (!gif || !DimensionsAcceptable(gif->SWidth, gif->SHeight)) return kBadMediaDataErr;
        std::uint32_t count = 0;
        bool transparency = false;
        for (;;) {
            GifRecordType type;
            if (DGifGetRecordType(gif, &type) == GIF_ERROR) break;
            if (type == TERMINATE_RECORD_TYPE) break;
            if (type == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) break;
                if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1)) transparency = true;
                if (!SkipExtensionBlocks(gif, block)) break;
            } else if (type == IMAGE_DESC_RECORD_TYPE) {
                if (DGifGetImageDesc(gif) == GIF_ERROR) break;
                ++count;
                if (!SkipImageData(gif)) break;
            }
        }
        if (count == 0) return kBadMediaDataErr;
        if (imageIndex < 1 || imageIndex > count) return paramErr;
        info->width = gif->SWidth;
        info->height = gif->SHeight;
        info->codecType = 'gif ';
        info->codecName = "GIF";
        info->imageCount = count;
        info->hasAlpha = transparency;
        info->depth = 8;
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (!Sniff(src)) return kBadMediaDataErr;
        GifFile file(src);
        GifFileType* gif = file.get();
        if (!gif || !DimensionsAcceptable(gif->SWidth, gif->SHeight)) return kBadMediaDataErr;
        if (std::int64_t(gif->SWidth) * gif->SHeight > kMaxBufferedPixels) return memFullErr;
        const int sw = gif->SWidth, sh = gif->SHeight;
        std::uint32_t seen = 0;
        int transparent = -1;
        for (;;) {
            GifRecordType type;
            if (DGifGetRecordType(gif, &type) == GIF_ERROR) return kBadMediaDataErr;
            if (type == TERMINATE_RECORD_TYPE) return kBadMediaDataErr;
            if (type == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return kBadMediaDataErr;
                if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                    transparent = (block[1] & 1) ? block[4] : -1;
                if (!SkipExtensionBlocks(gif, block)) return kBadMediaDataErr;
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE) continue;
            if (DGifGetImageDesc(gif) == GIF_ERROR) return kBadMediaDataErr;
            if (++seen < imageIndex) {
                transparent = -1;
                if (!SkipImageData(gif)) return kBadMediaDataErr;
                continue;
            }
            Frame fr;
            fr.left = gif->Image.Left;
            fr.top = gif->Image.Top;
            fr.width = gif->Image.Width;
            fr.height = gif->Image.Height;
            fr.interlaced = gif->Image.Interlace;
            fr.transparent = transparent;
            fr.map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
            if (!fr.map || fr.width <= 0 || fr.height <= 0 || fr.width > 65535 || fr.height > 65535)
                return kBadMediaDataErr;
            return DrawFrame(gif, fr, sw, sh, options, sink);
        }
    }

private:
    static OSErr DrawFrame(GifFileType* gif, const Frame& fr, int sw, int sh, const DecodeOptions& options,
                           RowSink& sink) {
        std::vector<GifPixelType> line(std::size_t(fr.width));
        std::vector<std::uint8_t> screen;
        bool keepAlpha = options.wantAlpha && fr.transparent >= 0;
        // The logical screen starts as the background colour, or transparent.
        std::uint8_t bg[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        if (keepAlpha) {
            bg[3] = 0;
        } else if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount &&
                   gif->SBackGroundColor != fr.transparent) {
            const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
            bg[0] = c.Blue;
            bg[1] = c.Green;
            bg[2] = c.Red;
        }
        try {
            screen.resize(std::size_t(sw) * sh * 4);
        } catch (...) {
            return memFullErr;
        }
        for (std::size_t i = 0; i < screen.size(); i += 4) std::memcpy(&screen[i], bg, 4);
        // Rows of an interlaced image come in four passes.
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        int passes = fr.interlaced ? 4 : 1;
        bool ok = true;
        for (int p = 0; p < passes && ok; ++p) {
            int start = fr.interlaced ? kStart[p] : 0, step = fr.interlaced ? kStep[p] : 1;
            for (int y = start; y < fr.height; y += step) {
                if (DGifGetLine(gif, line.data(), fr.width) == GIF_ERROR) {
                    ok = false;
                    break;
                }
                int sy = fr.top + y;
                if (sy < 0 || sy >= sh) continue;
                std::uint8_t* out = &screen[std::size_t(sy) * sw * 4];
                for (int x = 0; x < fr.width; ++x) {
                    int sx = fr.left + x;
                    if (sx < 0 || sx >= sw) continue;
                    int idx = line[std::size_t(x)];
                    if (idx == fr.transparent) continue;
                    if (idx >= fr.map->ColorCount) idx = 0;
                    const GifColorType& c = fr.map->Colors[idx];
                    std::uint8_t* o = out + std::size_t(sx) * 4;
                    o[0] = c.Blue;
                    o[1] = c.Green;
                    o[2] = c.Red;
                    o[3] = 0xFF;
                }
            }
        }
        if (!ok && options.strict) return kBadMediaDataErr;
        OSErr err = sink.Begin(sw, sh, keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32);
        if (err != noErr) return err;
        for (int y = 0; y < sh; ++y) sink.Row(y, &screen[std::size_t(y) * sw * 4]);
        return noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewGifDecoder() {
    return std::make_unique<GifDecoder>();
}
