// Photoshop documents ('8BPS', version 1, and the large-document version 2): the composite
// image stored at the end of the file, raw or PackBits-coded, in bitmap, grey, indexed, RGB,
// CMYK, multichannel, duotone and Lab modes of 1, 8, 16 or 32 bits. Layers are not read.
#include "platform/imaging/codecs/ImageDecoder.h"

#include "platform/ByteOrder.h"
#include "platform/imaging/PackBits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

enum Mode : std::uint16_t { kBitmap = 0, kGray = 1, kIndexed = 2, kRgb = 3, kCmyk = 4, kMulti = 7, kDuotone = 8, kLab = 9 };

struct PsdFile {
    int version = 1;
    std::uint16_t channels = 0;
    std::uint32_t width = 0, height = 0;
    std::uint16_t depth = 0, mode = 0;
    std::uint8_t palette[256][3] = {};
    std::uint64_t resourcesStart = 0, resourcesLength = 0;
    std::uint64_t imageData = 0;   // offset of the compression word
    double hRes = 0, vRes = 0;
    std::vector<std::uint8_t> icc;
};

bool ReadLayout(ByteSource& src, PsdFile* f) {
    ByteReader r(src);
    if (r.BE32() != '8BPS') return false;
    f->version = r.BE16();
    if (f->version != 1 && f->version != 2) return false;
    r.Skip(6);
    f->channels = r.BE16();
    f->height = r.BE32();
    f->width = r.BE32();
    f->depth = r.BE16();
    f->mode = r.BE16();
    if (r.Failed() || f->channels < 1 || f->channels > 56) return false;
    if (f->depth != 1 && f->depth != 8 && f->depth != 16 && f->depth != 32) return false;
    if (!DimensionsAcceptable(f->width, f->height)) return false;
    std::uint32_t colorLen = r.BE32();
    std::uint64_t colorStart = r.Pos();
    if (f->mode == kIndexed && colorLen >= 768) {
        std::uint8_t pal[768];
        r.Bytes(pal, 768);
        for (int i = 0; i < 256; ++i) {
            f->palette[i][2] = pal[i];
            f->palette[i][1] = pal[256 + i];
            f->palette[i][0] = pal[512 + i];
        }
    }
    r.Seek(colorStart + colorLen);
    f->resourcesLength = r.BE32();
    f->resourcesStart = r.Pos();
    r.Seek(f->resourcesStart + f->resourcesLength);
    std::uint64_t layerLen = f->version == 2 ? (std::uint64_t(r.BE32()) << 32) | r.BE32() : r.BE32();
    std::uint64_t layerStart = r.Pos();
    if (r.Failed() || layerLen > src.Size()) return false;
    f->imageData = layerStart + layerLen;
    return f->imageData + 2 <= src.Size();
}

// Resolution (1005) and colour profile (1039) from the image resources.
void ReadResources(ByteSource& src, PsdFile* f) {
    std::uint64_t pos = f->resourcesStart, end = f->resourcesStart + f->resourcesLength;
    while (pos + 12 <= end) {
        ByteReader r(src, pos);
        if (r.BE32() != '8BIM') break;
        std::uint16_t id = r.BE16();
        std::uint8_t nameLen = r.U8();
        r.Skip(nameLen + ((nameLen + 1) & 1 ? 1 : 0));
        std::uint32_t size = r.BE32();
        std::uint64_t data = r.Pos();
        if (r.Failed() || size > end - std::min(end, data)) break;
        if (id == 1005 && size >= 16) {
            std::uint8_t b[16];
            if (src.ReadAt(data, b, 16)) {
                double h = ReadBE32(b) / 65536.0, v = ReadBE32(b + 8) / 65536.0;
                if (ReadBE16(b + 4) == 2) h *= 2.54;
                if (ReadBE16(b + 12) == 2) v *= 2.54;
                if (h > 0 && v > 0) {
                    f->hRes = h;
                    f->vRes = v;
                }
            }
        } else if (id == 1039 && size > 128 && size < 64 * 1024 * 1024) {
            f->icc.resize(size);
            if (!src.ReadAt(data, f->icc.data(), size)) f->icc.clear();
        }
        pos = data + size + (size & 1);
    }
}

int BaseChannels(std::uint16_t mode) {
    switch (mode) {
    case kRgb: case kLab: return 3;
    case kCmyk: return 4;
    default: return 1;
    }
}

std::uint8_t To8(const std::uint8_t* p, int depth) {
    if (depth == 16) return p[0];
    if (depth == 32) {
        std::uint32_t bits = ReadBE32(p);
        float v;
        std::memcpy(&v, &bits, 4);
        if (!(v > 0)) return 0;
        return v >= 1 ? 255 : std::uint8_t(std::lround(v * 255));
    }
    return p[0];
}

class PhotoshopDecoder : public ImageDecoder {
public:
    bool Sniff(ByteSource& src) override {
        std::uint8_t b[6];
        return src.ReadAt(0, b, 6) && ReadBE32(b) == '8BPS' && (ReadBE16(b + 4) == 1 || ReadBE16(b + 4) == 2);
    }

    OSErr ReadInfo(ByteSource& src, std::uint32_t imageIndex, DecodedImageInfo* info) override {
        if (imageIndex != 1) return paramErr;
        PsdFile f;
        if (!ReadLayout(src, &f)) return kBadMediaDataErr;
        ReadResources(src, &f);
        info->width = std::int32_t(f.width);
        info->height = std::int32_t(f.height);
        info->codecType = '8BPS';
        info->codecName = "Photoshop";
        info->hasAlpha = f.channels > BaseChannels(f.mode) && f.mode != kMulti;
        info->pixelFormat = 0;
        switch (f.mode) {
        case kBitmap: info->depth = 1; break;
        case kIndexed: info->depth = 8; break;
        case kCmyk: info->depth = 32; info->pixelFormat = 'cmyk'; break;
        case kRgb: case kLab:
            if (f.depth == 16) {
                info->depth = 48;
                info->pixelFormat = 'b48r';
            } else {
                info->depth = info->hasAlpha ? 32 : 24;
            }
            break;
        default: info->depth = 40; break;
        }
        if (f.hRes > 0) {
            info->hRes = f.hRes;
            info->vRes = f.vRes;
            info->hasResolution = true;
        }
        info->iccProfile = f.icc;
        return noErr;
    }

    OSErr Decode(ByteSource& src, std::uint32_t imageIndex, const DecodeOptions& options,
                 RowSink& sink) override {
        if (imageIndex != 1) return paramErr;
        PsdFile f;
        if (!ReadLayout(src, &f)) return kBadMediaDataErr;
        ByteReader r(src, f.imageData);
        std::uint16_t compression = r.BE16();
        if (compression != 0 && compression != 1) return kBadMediaDataErr;
        int base = BaseChannels(f.mode);
        int used = std::min<int>(f.channels, base + 1);
        bool hasAlpha = f.channels > base && f.mode != kMulti;
        bool keepAlpha = options.wantAlpha && hasAlpha;
        std::uint64_t rowBytes = f.depth == 1 ? (f.width + 7) / 8 : std::uint64_t(f.width) * (f.depth / 8);
        // Where each stored row of the channels we use starts, and how long it is; they come
        // first in the file, so the rows of the other channels need not be counted.
        std::uint64_t allRows = std::uint64_t(f.channels) * f.height;
        std::uint64_t rows = std::uint64_t(used) * f.height;
        std::vector<std::uint64_t> offsets;
        std::vector<std::uint32_t> lengths;
        try {
            offsets.resize(std::size_t(rows));
            if (compression == 1) lengths.resize(std::size_t(rows));
        } catch (...) {
            return memFullErr;
        }
        if (compression == 0) {
            for (std::uint64_t i = 0; i < rows; ++i) offsets[i] = f.imageData + 2 + i * rowBytes;
        } else {
            int countBytes = f.version == 2 ? 4 : 2;
            std::uint64_t at = f.imageData + 2 + allRows * countBytes;
            std::vector<std::uint8_t> table(std::size_t(rows) * countBytes);
            if (!src.ReadAt(f.imageData + 2, table.data(), table.size())) return kBadMediaDataErr;
            for (std::uint64_t i = 0; i < rows; ++i) {
                lengths[i] = countBytes == 4 ? ReadBE32(&table[i * 4]) : ReadBE16(&table[i * 2]);
                offsets[i] = at;
                at += lengths[i];
            }
        }
        PixelLayout layout;
        if (f.mode == kCmyk) layout = PixelLayout::CMYK32;
        else if (base == 1 && f.mode != kIndexed && f.mode != kBitmap && !keepAlpha) layout = PixelLayout::Gray8;
        else layout = keepAlpha ? PixelLayout::BGRA32 : PixelLayout::BGRX32;
        OSErr err = sink.Begin(std::int32_t(f.width), std::int32_t(f.height), layout);
        if (err != noErr) return err;
        std::vector<std::uint8_t> planes(std::size_t(used) * rowBytes), packed;
        std::vector<std::uint8_t> out(std::size_t(f.width) * LayoutBytesPerPixel(layout));
        bool damaged = false;
        for (std::uint32_t y = 0; y < f.height; ++y) {
            for (int c = 0; c < used; ++c) {
                std::uint8_t* plane = &planes[std::size_t(c) * rowBytes];
                std::memset(plane, 0, rowBytes);
                std::uint64_t i = std::uint64_t(c) * f.height + y;
                if (compression == 0) {
                    if (!src.ReadAt(offsets[i], plane, rowBytes)) damaged = true;
                } else {
                    std::uint32_t len = std::min<std::uint64_t>(lengths[i], rowBytes * 2 + 16);
                    packed.resize(len);
                    std::size_t produced = 0;
                    if (!src.ReadAt(offsets[i], packed.data(), len)) damaged = true;
                    else UnpackBits(packed.data(), len, plane, rowBytes, &produced);
                    if (produced < rowBytes) damaged = true;
                }
            }
            if (damaged) break;
            int step = f.depth == 1 ? 0 : f.depth / 8;
            for (std::uint32_t x = 0; x < f.width; ++x) {
                auto ch = [&](int c) { return To8(&planes[std::size_t(c) * rowBytes + std::size_t(x) * step], f.depth); };
                if (layout == PixelLayout::Gray8) {
                    out[x] = ch(0);
                    continue;
                }
                std::uint8_t* o = &out[std::size_t(x) * 4];
                switch (f.mode) {
                case kBitmap: {
                    bool black = planes[x >> 3] & (0x80 >> (x & 7));
                    o[0] = o[1] = o[2] = black ? 0 : 255;
                    break;
                }
                case kIndexed: {
                    std::uint8_t idx = planes[x];
                    std::memcpy(o, f.palette[idx], 3);
                    break;
                }
                case kCmyk:
                    // Photoshop stores CMYK inverted (255 = no ink).
                    for (int k = 0; k < 4; ++k) o[k] = std::uint8_t(255 - ch(k));
                    continue;
                case kRgb:
                    o[2] = ch(0);
                    o[1] = ch(1);
                    o[0] = ch(2);
                    break;
                case kLab: {
                    double L = ch(0) * 100.0 / 255, A = ch(1) - 128.0, B = ch(2) - 128.0;
                    double fy = (L + 16) / 116, fx = fy + A / 500, fz = fy - B / 200;
                    auto finv = [](double t) { return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29); };
                    double X = 0.9642 * finv(fx), Y = finv(fy), Z = 0.8249 * finv(fz);
                    double rl = 3.1339 * X - 1.6169 * Y - 0.4906 * Z;
                    double gl = -0.9788 * X + 1.9161 * Y + 0.0335 * Z;
                    double bl = 0.0719 * X - 0.2290 * Y + 1.4052 * Z;
                    auto enc = [](double v) {
                        v = std::clamp(v, 0.0, 1.0);
                        v = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
                        return std::uint8_t(std::lround(v * 255));
                    };
                    o[2] = enc(rl);
                    o[1] = enc(gl);
                    o[0] = enc(bl);
                    break;
                }
                default:
                    o[0] = o[1] = o[2] = ch(0);
                    break;
                }
                o[3] = keepAlpha ? ch(base) : 0xFF;
            }
            sink.Row(std::int32_t(y), out.data());
        }
        return damaged && options.strict ? kBadMediaDataErr : noErr;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> NewPhotoshopDecoder() {
    return std::make_unique<PhotoshopDecoder>();
}
