#include "platform/imaging/Picture.h"

#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/PackBits.h"
#include "platform/imaging/codecs/ImageDecoder.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Bounds-checked reading of a picture's bytes.
struct Cursor {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    bool failed = false;

    bool Has(std::size_t n) const { return !failed && pos <= size && size - pos >= n; }
    std::uint8_t U8() {
        if (!Has(1)) return Fail(), 0;
        return data[pos++];
    }
    std::uint16_t U16() {
        if (!Has(2)) return Fail(), 0;
        std::uint16_t v = ReadBE16(data + pos);
        pos += 2;
        return v;
    }
    std::uint32_t U32() {
        if (!Has(4)) return Fail(), 0;
        std::uint32_t v = ReadBE32(data + pos);
        pos += 4;
        return v;
    }
    Rect R() {
        Rect r;
        r.top = std::int16_t(U16());
        r.left = std::int16_t(U16());
        r.bottom = std::int16_t(U16());
        r.right = std::int16_t(U16());
        return r;
    }
    void Skip(std::size_t n) {
        if (!Has(n)) Fail();
        else pos += n;
    }
    const std::uint8_t* Here() const { return data + pos; }
    void Fail() { failed = true; }
};

// Data length of the opcodes whose length is fixed or self-described, for skipping them.
// Answers false for an opcode that cannot be skipped safely.
bool SkipOpcode(Cursor& c, std::uint16_t op, int version) {
    if (op >= 0x8100) {
        c.Skip(c.U32());
        return !c.failed;
    }
    if (op >= 0x8000) return true;
    if (op >= 0x7F00) {
        c.Skip(254);
        return !c.failed;
    }
    if (op >= 0x0100) {
        if (op == 0x0C00) c.Skip(24);
        else if (op == 0x02FF) c.Skip(2);
        else c.Skip(std::size_t(op >> 8) * 2);
        return !c.failed;
    }
    switch (op) {
    case 0x00: case 0x17: case 0x18: case 0x19: case 0x1C: case 0x1E: case 0xFF:
        return true;
    case 0x01: {
        std::uint16_t n = c.U16();
        if (n < 2) return false;
        c.Skip(n - 2u);
        return !c.failed;
    }
    case 0x02: case 0x09: case 0x0A: case 0x10: case 0x20:
        c.Skip(8);
        return !c.failed;
    case 0x03: case 0x05: case 0x08: case 0x0D: case 0x15: case 0x16: case 0xA0:
        c.Skip(2);
        return !c.failed;
    case 0x04:
        c.Skip(1);
        return !c.failed;
    case 0x06: case 0x07: case 0x0B: case 0x0C: case 0x0E: case 0x0F: case 0x21:
        c.Skip(4);
        return !c.failed;
    case 0x11:
        c.Skip(version == 1 ? 1 : 2);
        return !c.failed;
    case 0x1A: case 0x1B: case 0x1D: case 0x1F: case 0x22:
        c.Skip(6);
        return !c.failed;
    case 0x23:
        c.Skip(2);
        return !c.failed;
    case 0x28:
        c.Skip(4);
        c.Skip(c.U8());
        return !c.failed;
    case 0x29: case 0x2A:
        c.Skip(1);
        c.Skip(c.U8());
        return !c.failed;
    case 0x2B:
        c.Skip(2);
        c.Skip(c.U8());
        return !c.failed;
    case 0xA1:
        c.Skip(2);
        c.Skip(c.U16());
        return !c.failed;
    default:
        break;
    }
    if ((op >= 0x24 && op <= 0x27) || (op >= 0x2C && op <= 0x2F) || (op >= 0x92 && op <= 0x97) ||
        (op >= 0x9C && op <= 0x9F) || (op >= 0xA2 && op <= 0xAF)) {
        c.Skip(c.U16());
        return !c.failed;
    }
    if (op >= 0x30 && op <= 0x37) { c.Skip(8); return !c.failed; }
    if (op >= 0x38 && op <= 0x3F) return true;
    if (op >= 0x40 && op <= 0x47) { c.Skip(8); return !c.failed; }
    if (op >= 0x48 && op <= 0x4F) return true;
    if (op >= 0x50 && op <= 0x57) { c.Skip(8); return !c.failed; }
    if (op >= 0x58 && op <= 0x5F) return true;
    if (op >= 0x60 && op <= 0x67) { c.Skip(12); return !c.failed; }
    if (op >= 0x68 && op <= 0x6F) { c.Skip(4); return !c.failed; }
    if ((op >= 0x70 && op <= 0x77) || (op >= 0x80 && op <= 0x87)) {
        std::uint16_t n = c.U16();
        if (n < 2) return false;
        c.Skip(n - 2u);
        return !c.failed;
    }
    if ((op >= 0x78 && op <= 0x7F) || (op >= 0x88 && op <= 0x8F)) return true;
    if (op >= 0xB0 && op <= 0xCF) return true;
    if (op >= 0xD0 && op <= 0xFE) {
        c.Skip(c.U32());
        return !c.failed;
    }
    if (op == 0x12 || op == 0x13 || op == 0x14) return false;  // pixel patterns: not skipped
    return false;
}

// The target of one pixel image: a 32-bit buffer of the frame's size.
struct Canvas {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;
    Rect frame{};
};

// Copies src (w x h, 32-bit BGRX) from srcRect (in its own bounds coordinates) onto dstRect
// (picture coordinates), nearest pixel, marking drawn pixels opaque. `skipWhite` leaves white
// pixels out (the 'or' transfer modes of bit maps).
void Blit(Canvas& cv, const std::uint8_t* src, std::int32_t sw, std::int32_t sh, const Rect& bounds,
          const Rect& srcRect, const Rect& dstRect, bool skipWhite) {
    if (!cv.pixels) return;
    std::int32_t sl = std::max<std::int32_t>(srcRect.left - bounds.left, 0);
    std::int32_t st = std::max<std::int32_t>(srcRect.top - bounds.top, 0);
    std::int32_t sr = std::min<std::int32_t>(srcRect.right - bounds.left, sw);
    std::int32_t sb = std::min<std::int32_t>(srcRect.bottom - bounds.top, sh);
    if (sr <= sl || sb <= st) return;
    std::int32_t dw = std::int32_t(dstRect.right) - dstRect.left;
    std::int32_t dh = std::int32_t(dstRect.bottom) - dstRect.top;
    if (dw <= 0 || dh <= 0) return;
    // The source column of every target column, worked out once instead of for every pixel.
    std::vector<std::int32_t> sourceColumn(static_cast<std::size_t>(dw));
    for (std::int32_t x = 0; x < dw; ++x)
        sourceColumn[std::size_t(x)] = sl + std::int32_t(std::int64_t(x) * (sr - sl) / dw);
    for (std::int32_t y = 0; y < dh; ++y) {
        std::int32_t cy = dstRect.top - cv.frame.top + y;
        if (cy < 0 || cy >= cv.height) continue;
        std::int32_t syy = st + std::int32_t(std::int64_t(y) * (sb - st) / dh);
        const std::uint8_t* srow = src + std::size_t(syy) * std::size_t(sw) * 4;
        std::uint8_t* drow = cv.pixels + cy * cv.stride;
        for (std::int32_t x = 0; x < dw; ++x) {
            std::int32_t cx = dstRect.left - cv.frame.left + x;
            if (cx < 0 || cx >= cv.width) continue;
            const std::uint8_t* p = srow + std::size_t(sourceColumn[std::size_t(x)]) * 4;
            if (skipWhite && p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) continue;
            std::uint8_t* d = drow + std::ptrdiff_t(cx) * 4;
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
            d[3] = 0xFF;
        }
    }
}

struct PixMapHeader {
    std::uint16_t rowBytes = 0;
    bool isPixMap = false;
    Rect bounds{};
    std::uint16_t packType = 0;
    std::uint16_t pixelSize = 1;
    std::uint16_t cmpCount = 1;
    std::uint8_t table[256][3];
};

void DefaultTable(PixMapHeader& pm) {
    // Without a table: white for 0, black for the last entry, grey between.
    int n = 1 << std::min<int>(pm.pixelSize, 8);
    for (int i = 0; i < 256; ++i) {
        int v = n > 1 ? 255 - std::min(i, n - 1) * 255 / (n - 1) : 255;
        pm.table[i][0] = pm.table[i][1] = pm.table[i][2] = std::uint8_t(v);
    }
}

bool ReadColorTable(Cursor& c, PixMapHeader& pm) {
    c.U32();  // seed
    std::uint16_t flags = c.U16();
    std::int16_t size = std::int16_t(c.U16());
    if (c.failed || size < -1 || size > 255) return false;
    for (int i = 0; i <= size; ++i) {
        std::uint16_t value = c.U16();
        std::uint16_t r = c.U16(), g = c.U16(), b = c.U16();
        if (c.failed) return false;
        int index = (flags & 0x8000) ? i : (value & 0xFF);
        pm.table[index][0] = std::uint8_t(b >> 8);
        pm.table[index][1] = std::uint8_t(g >> 8);
        pm.table[index][2] = std::uint8_t(r >> 8);
    }
    return true;
}

// Reads the rows of a pixel image into 32-bit pixels (w x h). `direct` for direct pixels.
bool ReadPixelRows(Cursor& c, const PixMapHeader& pm, bool packed, std::vector<std::uint8_t>& out,
                   std::int32_t w, std::int32_t h) {
    std::size_t rowBytes = pm.rowBytes & 0x3FFF;
    if (rowBytes == 0) return false;
    std::size_t unpackedLen = rowBytes;
    int ps = pm.pixelSize;
    bool planar = false;
    if (ps == 32 && rowBytes >= 8 && (pm.packType == 0 || pm.packType == 4)) {
        planar = true;
        unpackedLen = std::size_t(w) * pm.cmpCount;
    } else if (ps == 32 && pm.packType == 2) {
        unpackedLen = std::size_t(w) * 3;
    }
    if (std::size_t(w) * std::max(1, ps) / 8 > rowBytes && !planar && pm.packType != 2) return false;
    std::vector<std::uint8_t> line(std::max(unpackedLen, rowBytes) + 4, 0);
    for (std::int32_t y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0);
        bool unpackedRow = rowBytes < 8 || !packed || pm.packType == 1 || pm.packType == 2;
        if (unpackedRow) {
            if (!c.Has(unpackedLen)) return false;
            std::memcpy(line.data(), c.Here(), unpackedLen);
            c.Skip(unpackedLen);
        } else {
            std::size_t count = rowBytes > 250 ? c.U16() : c.U8();
            if (c.failed || !c.Has(count)) return false;
            std::size_t produced = 0;
            if (ps == 16 && (pm.packType == 0 || pm.packType == 3))
                UnpackBitsWords(c.Here(), count, line.data(), unpackedLen, &produced);
            else
                UnpackBits(c.Here(), count, line.data(), unpackedLen, &produced);
            c.Skip(count);
        }
        std::uint8_t* o = out.data() + std::size_t(y) * std::size_t(w) * 4;
        for (std::int32_t x = 0; x < w; ++x, o += 4) {
            if (planar) {
                int base = pm.cmpCount >= 4 ? 1 : 0;
                o[2] = line[std::size_t(base) * w + x];
                o[1] = line[std::size_t(base + 1) * w + x];
                o[0] = line[std::size_t(base + 2) * w + x];
            } else if (ps == 32 && pm.packType == 2) {
                o[2] = line[std::size_t(x) * 3];
                o[1] = line[std::size_t(x) * 3 + 1];
                o[0] = line[std::size_t(x) * 3 + 2];
            } else if (ps == 32) {
                o[2] = line[std::size_t(x) * 4 + 1];
                o[1] = line[std::size_t(x) * 4 + 2];
                o[0] = line[std::size_t(x) * 4 + 3];
            } else if (ps == 16) {
                std::uint16_t v = ReadBE16(&line[std::size_t(x) * 2]);
                auto five = [](int f) { return std::uint8_t((f << 3) | (f >> 2)); };
                o[2] = five((v >> 10) & 31);
                o[1] = five((v >> 5) & 31);
                o[0] = five(v & 31);
            } else if (ps == 1 || ps == 2 || ps == 4 || ps == 8) {
                std::size_t bit = std::size_t(x) * ps;
                int index = (line[bit / 8] >> (8 - ps - int(bit % 8))) & ((1 << ps) - 1);
                o[0] = pm.table[index][0];
                o[1] = pm.table[index][1];
                o[2] = pm.table[index][2];
            } else {
                return false;
            }
            o[3] = 0xFF;
        }
    }
    return true;
}

// Reads a region (size word, bounds, data) and skips it.
bool SkipRegion(Cursor& c) {
    std::uint16_t n = c.U16();
    if (n < 10) return false;
    c.Skip(n - 2u);
    return !c.failed;
}

bool DoBitsOpcode(Cursor& c, std::uint16_t op, Canvas* cv, PictureFacts* facts) {
    PixMapHeader pm;
    bool direct = op == 0x9A || op == 0x9B;
    if (direct) c.U32();  // base address
    pm.rowBytes = c.U16();
    pm.isPixMap = direct || (pm.rowBytes & 0x8000);
    pm.bounds = c.R();
    if (pm.isPixMap) {
        c.U16();  // version
        pm.packType = c.U16();
        c.U32();  // pack size
        c.U32();  // h res
        c.U32();  // v res
        c.U16();  // pixel type
        pm.pixelSize = c.U16();
        pm.cmpCount = c.U16();
        c.U16();  // component size
        c.U32();  // plane bytes
        c.U32();  // table
        c.U32();  // reserved
        if (c.failed) return false;
        if (pm.pixelSize != 1 && pm.pixelSize != 2 && pm.pixelSize != 4 && pm.pixelSize != 8 &&
            pm.pixelSize != 16 && pm.pixelSize != 32)
            return false;
        if (pm.cmpCount < 1 || pm.cmpCount > 4) return false;
        DefaultTable(pm);
        if (!direct && !ReadColorTable(c, pm)) return false;
    } else {
        pm.pixelSize = 1;
        DefaultTable(pm);
    }
    Rect srcRect = c.R();
    Rect dstRect = c.R();
    std::uint16_t mode = c.U16();
    if (op == 0x91 || op == 0x99 || op == 0x9B)
        if (!SkipRegion(c)) return false;
    if (c.failed) return false;
    std::int32_t w = std::int32_t(pm.bounds.right) - pm.bounds.left;
    std::int32_t h = std::int32_t(pm.bounds.bottom) - pm.bounds.top;
    if (w <= 0 || h <= 0 || std::int64_t(w) * h > kMaxBufferedPixels) return false;
    std::vector<std::uint8_t> image;
    try {
        image.assign(std::size_t(w) * std::size_t(h) * 4, 0xFF);
    } catch (...) {
        return false;
    }
    bool packed = op == 0x98 || op == 0x99 || direct;
    if (!ReadPixelRows(c, pm, packed, image, w, h)) return false;
    if (facts) {
        facts->hasImage = true;
        facts->maxPixelSize = std::max<int>(facts->maxPixelSize, pm.pixelSize);
    }
    if (cv) Blit(*cv, image.data(), w, h, pm.bounds, srcRect, dstRect, pm.pixelSize == 1 && (mode & 0x3) == 1);
    return true;
}

bool DoCompressedOpcode(Cursor& c, Canvas* cv, PictureFacts* facts) {
    std::uint32_t length = c.U32();
    if (c.failed || !c.Has(length)) return false;
    Cursor d{c.Here(), length};
    c.Skip(length);
    d.U16();  // version
    Fixed matrix[9];
    for (auto& m : matrix) m = Fixed(d.U32());
    std::uint32_t matteSize = d.U32();
    d.R();        // matte rectangle
    d.U16();      // transfer mode
    Rect srcRect = d.R();
    d.U32();      // accuracy
    std::uint32_t maskSize = d.U32();
    d.Skip(matteSize);
    d.Skip(maskSize);
    if (d.failed) return false;
    ImageDescriptionRec desc;
    std::size_t used = 0;
    if (ImageDescriptionFromBytes(d.Here(), d.size - d.pos, &desc, &used) != noErr) return false;
    d.Skip(used);
    std::size_t dataSize = desc.desc.dataSize > 0 ? std::size_t(desc.desc.dataSize) : d.size - d.pos;
    if (!d.Has(dataSize)) dataSize = d.size - d.pos;
    if (facts) {
        facts->hasImage = true;
        if (!facts->compressedCodec) facts->compressedCodec = desc.desc.cType;
        facts->maxPixelSize = std::max<int>(facts->maxPixelSize, desc.desc.depth > 32 ? desc.desc.depth - 32 : desc.desc.depth);
    }
    if (!cv) return true;
    std::unique_ptr<ImageDecoder> dec;
    if (desc.desc.cType == 'jpeg') dec = NewJpegDecoder();
    else if (desc.desc.cType == 'png ') dec = NewPngDecoder();
    if (!dec) return true;  // a codec we do not have: the image is left out
    auto src = ByteSource::FromMemory(d.Here(), dataSize);
    BufferSink sink;
    DecodeOptions opts;
    opts.strict = false;
    if (dec->Decode(*src, 1, opts, sink) != noErr || sink.rowsDelivered == 0) return true;
    // Everything as 32-bit pixels.
    std::vector<std::uint8_t> bgrx;
    const std::uint8_t* pixels = sink.pixels.data();
    if (sink.layout == PixelLayout::Gray8) {
        bgrx.resize(std::size_t(sink.width) * sink.height * 4);
        for (std::size_t i = 0; i < std::size_t(sink.width) * sink.height; ++i) {
            bgrx[i * 4] = bgrx[i * 4 + 1] = bgrx[i * 4 + 2] = sink.pixels[i];
            bgrx[i * 4 + 3] = 0xFF;
        }
        pixels = bgrx.data();
    } else if (sink.layout == PixelLayout::CMYK32) {
        bgrx.resize(sink.pixels.size());
        for (std::size_t i = 0; i < bgrx.size(); i += 4) {
            int k = sink.pixels[i + 3];
            bgrx[i + 2] = std::uint8_t((255 - sink.pixels[i]) * (255 - k) / 255);
            bgrx[i + 1] = std::uint8_t((255 - sink.pixels[i + 1]) * (255 - k) / 255);
            bgrx[i + 0] = std::uint8_t((255 - sink.pixels[i + 2]) * (255 - k) / 255);
            bgrx[i + 3] = 0xFF;
        }
        pixels = bgrx.data();
    }
    // The matrix places the source rectangle: scale and translation (no rotation).
    double sx = FixedToDouble(matrix[0]), sy = FixedToDouble(matrix[4]);
    double tx = FixedToDouble(matrix[6]), ty = FixedToDouble(matrix[7]);
    if (!(sx > 0) || !(sy > 0)) sx = sy = 1;
    Rect dst;
    dst.left = std::int16_t(std::clamp(srcRect.left * sx + tx, -32768.0, 32767.0));
    dst.top = std::int16_t(std::clamp(srcRect.top * sy + ty, -32768.0, 32767.0));
    dst.right = std::int16_t(std::clamp(srcRect.right * sx + tx, -32768.0, 32767.0));
    dst.bottom = std::int16_t(std::clamp(srcRect.bottom * sy + ty, -32768.0, 32767.0));
    Rect bounds{0, 0, std::int16_t(sink.height), std::int16_t(sink.width)};
    // The description's size is the image's; a decoder that gave another size is scaled.
    Rect from = srcRect;
    if (desc.desc.width > 0 && desc.desc.height > 0 &&
        (desc.desc.width != sink.width || desc.desc.height != sink.height)) {
        from = bounds;
    }
    Blit(*cv, pixels, sink.width, sink.height, bounds, from, dst, false);
    return true;
}

// Walks the opcodes; draws into the canvas when one is given.
OSErr Walk(const std::uint8_t* data, std::size_t size, Canvas* cv, PictureFacts* facts) {
    Cursor c{data, size};
    c.U16();
    Rect frame = c.R();
    if (c.failed) return kBadMediaDataErr;
    if (facts) facts->frame = frame;
    int version = 1;
    // Version opcode: 0x1101 (version 1) or 0x0011 0x02FF (version 2).
    if (c.Has(2) && c.data[c.pos] == 0x11 && c.data[c.pos + 1] == 0x01) {
        c.Skip(2);
    } else if (c.Has(4) && ReadBE16(c.Here()) == 0x0011 && ReadBE16(c.Here() + 2) == 0x02FF) {
        version = 2;
        c.Skip(4);
    } else {
        return kBadMediaDataErr;
    }
    if (facts) facts->version = version;
    for (int guard = 0; guard < 1000000; ++guard) {
        if (version == 2 && (c.pos & 1)) c.Skip(1);
        if (!c.Has(version == 2 ? 2 : 1)) return facts && facts->hasImage ? noErr : kBadMediaDataErr;
        std::uint16_t op = version == 2 ? c.U16() : c.U8();
        if (op == 0x00FF) return noErr;
        if (op == 0x0C00 && version == 2) {
            std::int16_t hv = std::int16_t(c.U16());
            c.U16();
            if (hv == -2) {
                Fixed h = Fixed(c.U32()), v = Fixed(c.U32());
                c.Skip(12);  // source rectangle, reserved
                if (facts && h > 0 && v > 0) {
                    facts->hRes = h;
                    facts->vRes = v;
                }
            } else {
                c.Skip(20);
            }
            if (c.failed) return kBadMediaDataErr;
            continue;
        }
        bool ok;
        if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 || op == 0x9A || op == 0x9B)
            ok = DoBitsOpcode(c, op, cv, facts);
        else if (op == 0x8200 && version == 2)
            ok = DoCompressedOpcode(c, cv, facts);
        else
            ok = SkipOpcode(c, op, version);
        if (!ok) return facts && facts->hasImage ? noErr : kBadMediaDataErr;
    }
    return kBadMediaDataErr;
}

void PutRect(std::vector<std::uint8_t>& v, std::int16_t t, std::int16_t l, std::int16_t b, std::int16_t r) {
    std::uint8_t x[8];
    WriteBE16(x, std::uint16_t(t));
    WriteBE16(x + 2, std::uint16_t(l));
    WriteBE16(x + 4, std::uint16_t(b));
    WriteBE16(x + 6, std::uint16_t(r));
    v.insert(v.end(), x, x + 8);
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t n) {
    v.push_back(std::uint8_t(n >> 8));
    v.push_back(std::uint8_t(n));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t n) {
    Put16(v, std::uint16_t(n >> 16));
    Put16(v, std::uint16_t(n));
}

// Size word, frame, version 2 opcode, extended header at the resolution, default hilite and a
// wide-open clip region: how every picture we write begins.
void BeginPicture(std::vector<std::uint8_t>& v, std::int16_t w, std::int16_t h, Fixed res) {
    Put16(v, 0);
    PutRect(v, 0, 0, h, w);
    Put16(v, 0x0011);
    Put16(v, 0x02FF);
    Put16(v, 0x0C00);
    Put16(v, 0xFFFE);
    Put16(v, 0);
    Put32(v, std::uint32_t(res));
    Put32(v, std::uint32_t(res));
    PutRect(v, 0, 0, h, w);
    Put32(v, 0);
    Put16(v, 0x001E);
    Put16(v, 0x0001);
    Put16(v, 10);
    PutRect(v, -32767, -32767, 32767, 32767);
}

OSErr EndPicture(std::vector<std::uint8_t>& v, PicHandle* out) {
    if (v.size() & 1) v.push_back(0);
    Put16(v, 0x00FF);
    WriteBE16(v.data(), std::uint16_t(v.size() & 0xFFFF));
    Handle h = NewHandle(Size(v.size()));
    if (!h) return memFullErr;
    std::memcpy(*h, v.data(), v.size());
    *out = h;
    return noErr;
}

}  // namespace

bool GetPictureFrameBytes(const std::uint8_t* data, std::size_t size, Rect* frame) {
    if (!data || size < 10 || !frame) return false;
    frame->top = std::int16_t(ReadBE16(data + 2));
    frame->left = std::int16_t(ReadBE16(data + 4));
    frame->bottom = std::int16_t(ReadBE16(data + 6));
    frame->right = std::int16_t(ReadBE16(data + 8));
    return true;
}

bool GetPictureFrame(PicHandle pic, Rect* frame) {
    if (!pic || !*pic) return false;
    return GetPictureFrameBytes(reinterpret_cast<const std::uint8_t*>(*pic), std::size_t(GetHandleSize(pic)), frame);
}

OSErr RecordPixelsPicture(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                          std::ptrdiff_t stride, Fixed resolution, PicHandle* out) {
    if (!out) return paramErr;
    *out = nullptr;
    // A pixel map row holds at most 0x3FFE bytes.
    if (!pixels || width <= 0 || height <= 0 || width * 4 > 0x3FFE || height > 32767) return paramErr;
    std::vector<std::uint8_t> v;
    BeginPicture(v, std::int16_t(width), std::int16_t(height), resolution);
    std::uint16_t rowBytes = std::uint16_t(width * 4);
    Put16(v, 0x009A);
    Put32(v, 0x000000FF);
    Put16(v, std::uint16_t(rowBytes | 0x8000));
    PutRect(v, 0, 0, std::int16_t(height), std::int16_t(width));
    Put16(v, 0);       // version
    Put16(v, 4);       // pack type: component planes, PackBits
    Put32(v, 0);       // pack size
    Put32(v, std::uint32_t(resolution));
    Put32(v, std::uint32_t(resolution));
    Put16(v, 16);      // RGB direct
    Put16(v, 32);      // pixel size
    Put16(v, 3);       // components
    Put16(v, 8);       // component size
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    PutRect(v, 0, 0, std::int16_t(height), std::int16_t(width));
    PutRect(v, 0, 0, std::int16_t(height), std::int16_t(width));
    Put16(v, 0);       // source copy
    std::vector<std::uint8_t> planes(std::size_t(width) * 3);
    std::vector<std::uint8_t> packed;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* p = pixels + y * stride;
        for (std::int32_t x = 0; x < width; ++x) {
            planes[std::size_t(x)] = p[x * 4 + 2];
            planes[std::size_t(width) + x] = p[x * 4 + 1];
            planes[std::size_t(width) * 2 + x] = p[x * 4];
        }
        packed.clear();
        PackBits(planes.data(), planes.size(), &packed);
        if (rowBytes > 250) Put16(v, std::uint16_t(packed.size()));
        else v.push_back(std::uint8_t(packed.size()));
        v.insert(v.end(), packed.begin(), packed.end());
    }
    return EndPicture(v, out);
}

OSErr RecordCompressedPicture(const ImageDescriptionRec& descIn, const std::uint8_t* data, std::size_t size,
                              Fixed resolution, PicHandle* out) {
    if (!out) return paramErr;
    *out = nullptr;
    std::int16_t w = descIn.desc.width, h = descIn.desc.height;
    if (!data || size == 0 || w <= 0 || h <= 0 || size > 0x7FFFFFFF) return paramErr;
    ImageDescriptionRec desc = descIn;
    desc.desc.dataSize = std::int32_t(size);
    std::vector<std::uint8_t> idsc;
    ImageDescriptionToBytes(desc, idsc);
    std::vector<std::uint8_t> v;
    BeginPicture(v, w, h, resolution);
    Put16(v, 0x8200);
    std::uint32_t length = 2 + 36 + 4 + 8 + 2 + 8 + 4 + 4 + std::uint32_t(idsc.size()) + std::uint32_t(size);
    Put32(v, length);
    Put16(v, 0);                       // version
    const std::uint32_t identity[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (std::uint32_t m : identity) Put32(v, m);
    Put32(v, 0);                       // matte size
    PutRect(v, 0, 0, 0, 0);            // matte rectangle
    Put16(v, 0x40);                    // dither copy
    PutRect(v, 0, 0, h, w);            // source rectangle
    Put32(v, 0);                       // accuracy
    Put32(v, 0);                       // mask size
    v.insert(v.end(), idsc.begin(), idsc.end());
    v.insert(v.end(), data, data + size);
    return EndPicture(v, out);
}

OSErr ExaminePicture(const std::uint8_t* data, std::size_t size, PictureFacts* facts) {
    if (!data || !facts) return paramErr;
    *facts = PictureFacts{};
    return Walk(data, size, nullptr, facts);
}

OSErr RenderPicture(const std::uint8_t* data, std::size_t size, std::uint8_t* pixels, std::int32_t width,
                    std::int32_t height, std::ptrdiff_t stride) {
    if (!data || !pixels) return paramErr;
    Canvas cv;
    cv.pixels = pixels;
    cv.width = width;
    cv.height = height;
    cv.stride = stride;
    if (!GetPictureFrameBytes(data, size, &cv.frame)) return kBadMediaDataErr;
    PictureFacts facts;
    return Walk(data, size, &cv, &facts);
}

OSErr DrawPicture(PicHandle pic, GWorldPtr world, const Rect* dstRect) {
    if (!pic || !*pic) return paramErr;
    cairo_surface_t* surface = GetGWorldSurface(world);
    if (!surface) return paramErr;
    Rect frame;
    if (!GetPictureFrame(pic, &frame) || EmptyRect(&frame)) return kBadMediaDataErr;
    std::int32_t fw = std::int32_t(frame.right) - frame.left, fh = std::int32_t(frame.bottom) - frame.top;
    if (std::int64_t(fw) * fh > kMaxBufferedPixels) return memFullErr;
    Rect dst = dstRect ? *dstRect : frame;
    if (EmptyRect(&dst)) return noErr;
    cairo_surface_t* layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fw, fh);
    if (cairo_surface_status(layer) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(layer);
        return memFullErr;
    }
    cairo_surface_flush(layer);
    // The layer starts transparent; drawn pixels come out opaque, so only they cover the world.
    OSErr err = RenderPicture(reinterpret_cast<const std::uint8_t*>(*pic), std::size_t(GetHandleSize(pic)),
                              cairo_image_surface_get_data(layer), fw, fh, cairo_image_surface_get_stride(layer));
    cairo_surface_mark_dirty(layer);
    Rect port = GetPortBounds(world);
    LockPixels(world);
    cairo_t* cr = cairo_create(surface);
    double dw = std::int32_t(dst.right) - dst.left, dh = std::int32_t(dst.bottom) - dst.top;
    // Only the destination is painted; inside it the picture's edge pixels reach the border.
    cairo_rectangle(cr, dst.left - port.left, dst.top - port.top, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, dst.left - port.left, dst.top - port.top);
    cairo_scale(cr, dw / fw, dh / fh);
    cairo_set_source_surface(cr, layer, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    UnlockPixels(world);
    cairo_surface_destroy(layer);
    return err;
}

long PictureStartInFile(const std::uint8_t* data, std::size_t size) {
    auto looksLikePicture = [&](std::size_t at) {
        if (size < at + 12) return false;
        const std::uint8_t* p = data + at + 10;
        return (p[0] == 0x11 && p[1] == 0x01) || (ReadBE16(p) == 0x0011 && size >= at + 14 && ReadBE16(p + 2) == 0x02FF);
    };
    if (looksLikePicture(0)) return 0;
    if (looksLikePicture(kPictFileHeaderSize)) return long(kPictFileHeaderSize);
    return -1;
}
