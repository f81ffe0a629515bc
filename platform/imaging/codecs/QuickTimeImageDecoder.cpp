// QuickTime Image files: atoms, among them 'idsc' (an image description) and 'idat' (the
// image data in the description's codec). JPEG, PNG and uncompressed ('raw ') data are read.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/ByteOrder.h"
#include "platform/imaging/ImageDescription.h"

#include <algorithm>
#include <cstring>

namespace {

struct QtifParts {
    ImageDescriptionRec desc;
    std::uint64_t dataOffset = 0, dataSize = 0;
    std::vector<std::uint8_t> icc;
};

bool FindParts(ByteSource& src, QtifParts* parts) {
    std::uint64_t pos = 0, end = src.Size();
    bool haveDesc = false, haveData = false;
    for (int guard = 0; guard < 1000 && pos + 8 <= end; ++guard) {
        std::uint8_t head[8];
        if (!src.ReadAt(pos, head, 8)) return false;
        std::uint64_t size = ReadBE32(head);
        OSType type = ReadBE32(head + 4);
        std::uint64_t bodyStart = pos + 8;
        if (size == 0) size = end - pos;
        if (size < 8 || size > end - pos) return false;
        std::uint64_t body = size - 8;
        if (type == 'idsc') {
            if (body < std::uint64_t(kImageDescriptionSize) || body > 1 << 20) return false;
            std::vector<std::uint8_t> b(static_cast<std::size_t>(body));
            if (!src.ReadAt(bodyStart, b.data(), b.size())) return false;
            if (ImageDescriptionFromBytes(b.data(), b.size(), &parts->desc, nullptr) != noErr) return false;
            haveDesc = true;
        } else if (type == 'idat') {
            parts->dataOffset = bodyStart;
            parts->dataSize = body;
            haveData = true;
        } else if (type == 'iicc' && body > 4 && body < (64u << 20)) {
            // Version and flags, then the profile.
            parts->icc.resize(std::size_t(body - 4));
            if (!src.ReadAt(bodyStart + 4, parts->icc.data(), parts->icc.size())) parts->icc.clear();
        }
        pos += size;
    }
    return haveDesc && haveData;
}

std::unique_ptr<ImageDecoder> InnerDecoder(OSType codec) {
    if (codec == 'jpeg') return NewJpegDecoder();
    if (codec == 'png ') return NewPngDecoder();
    return nullptr;
}

class QuickTimeImageDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        QtifParts parts;
        return FindParts(src, &parts);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        QtifParts p;
        if (!FindParts(src, &p)) return kBadMediaDataErr;
        const ImageDescription& d = p.desc.desc;
        if (d.width <= 0 || d.height <= 0) return kBadMediaDataErr;
        if (d.cType != 'raw ' && !InnerDecoder(d.cType)) return kNoDecompressorErr;
        info->width = d.width;
        info->height = d.height;
        info->codecType = d.cType;
        info->codecName.assign(reinterpret_cast<const char*>(d.name + 1), d.name[0]);
        info->depth = d.depth;
        info->hRes = FixedToDouble(d.hRes);
        info->vRes = FixedToDouble(d.vRes);
        info->hasResolution = d.hRes > 0 && d.vRes > 0;
        info->pixelFormat = p.desc.pixelFormatExtension;
        info->iccProfile = p.icc;
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        QtifParts p;
        if (!FindParts(src, &p)) return kBadMediaDataErr;
        const ImageDescription& d = p.desc.desc;
        if (d.width <= 0 || d.height <= 0) return kBadMediaDataErr;
        if (d.cType == 'raw ') return DecodeRaw(src, p, sink);
        auto inner = InnerDecoder(d.cType);
        if (!inner) return kNoDecompressorErr;
        std::vector<std::uint8_t> data(std::size_t(std::min<std::uint64_t>(p.dataSize, 512u << 20)));
        if (!src.ReadAt(p.dataOffset, data.data(), data.size())) return kBadMediaDataErr;
        auto view = ByteSource::FromMemory(data.data(), data.size());
        return inner->Decode(*view, 1, options, sink);
    }

private:
    // Uncompressed 24-bit (RGB) or 32-bit (ARGB) rows, each padded to an even length.
    static OSErr DecodeRaw(ByteSource& src, const QtifParts& p, RowSink& sink) {
        const ImageDescription& d = p.desc.desc;
        int bytes = d.depth == 24 ? 3 : d.depth == 32 ? 4 : 0;
        if (!bytes) return kNoDecompressorErr;
        std::uint64_t rowBytes = std::uint64_t(d.width) * bytes;
        rowBytes += rowBytes & 1;
        OSErr err = sink.Begin(d.width, d.height, PixelLayout::BGRX32);
        if (err != noErr) return err;
        std::vector<std::uint8_t> in(rowBytes), out(std::size_t(d.width) * 4);
        for (std::int32_t y = 0; y < d.height; ++y) {
            std::memset(in.data(), 0, in.size());
            if (std::uint64_t(y + 1) * rowBytes <= p.dataSize) src.ReadAt(p.dataOffset + y * rowBytes, in.data(), in.size());
            for (std::int32_t x = 0; x < d.width; ++x) {
                const std::uint8_t* s = &in[std::size_t(x) * bytes + (bytes == 4 ? 1 : 0)];
                out[std::size_t(x) * 4] = s[2];
                out[std::size_t(x) * 4 + 1] = s[1];
                out[std::size_t(x) * 4 + 2] = s[0];
                out[std::size_t(x) * 4 + 3] = 0xFF;
            }
            sink.Row(y, out.data());
        }
        return noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewQuickTimeImageDecoder() {
    return std::make_unique<QuickTimeImageDecoder>();
}
