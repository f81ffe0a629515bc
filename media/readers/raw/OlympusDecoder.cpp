#include "media/readers/raw/OlympusDecoder.h"

#include "media/kinds/KindInfo.h"
#include "media/metadata/MetaFile.h"
#include "media/imaging/Offscreen.h"

#include <algorithm>

namespace {

// Bytes of one 32-bit pixel in memory: blue, green, red, alpha.
constexpr int kB = 0, kG = 1, kR = 2, kA = 3;

// Strips larger than this are damage: no camera of these models wrote one.
constexpr UInt32 kMaxStripBytes = 64u << 20;

void Progress(int every, int column) {
    const KindReadingState& reading = KindReading();
    if (reading.callback && column % every == 0) reading.callback(1, 0, 0, reading.refCon);
}

// Fills the grey pixels in order; a strip that holds more samples than the picture has pixels
// stops at the last pixel.
class GreyWriter {
public:
    explicit GreyWriter(const PixelView& v, bool interlaced) : v_(v), interlaced_(interlaced) {}
    bool Put(std::uint8_t value) {
        if (row_ >= v_.height) return false;
        std::uint8_t* p = v_.base + std::size_t(row_) * v_.rowBytes + std::size_t(column_) * 4;
        p[kB] = p[kG] = p[kR] = value;
        p[kA] = 0;
        if (++column_ == v_.width) {
            column_ = 0;
            row_ += interlaced_ ? 2 : 1;
            if (interlaced_ && row_ >= v_.height && (row_ & 1) == 0) row_ = 1;
        }
        return true;
    }

private:
    PixelView v_;
    bool interlaced_;
    std::int32_t row_ = 0, column_ = 0;
};

using Unpacker = void (*)(const std::vector<std::uint8_t>& strip, GreyWriter& writer, int byteSelect);

void Unpack16(const std::vector<std::uint8_t>& strip, GreyWriter& writer, int byteSelect) {
    for (std::size_t i = 0; i + 1 < strip.size(); i += 2)
        if (!writer.Put(strip[i + (byteSelect ? 1 : 0)])) return;
}

void Unpack12(const std::vector<std::uint8_t>& strip, GreyWriter& writer, int) {
    for (std::size_t i = 0; i + 2 < strip.size(); i += 3) {
        if (!writer.Put(strip[i])) return;
        if (!writer.Put(std::uint8_t((((strip[i + 1] & 0x0F) << 8) | strip[i + 2]) >> 4))) return;
    }
}

OSErr Decode(const FSSpec* spec, GWorldPtr* out, const OlympusRawInput& input, int pattern, int byteSelect,
             Unpacker unpack, bool interlaced) {
    if (!out) return paramErr;
    *out = nullptr;
    if (input.width == 0 || input.height == 0 || input.width > UInt32(kMaxWorldSide) || input.height > UInt32(kMaxWorldSide))
        return kBadMediaDataErr;
    Rect bounds{0, 0, std::int16_t(input.height), std::int16_t(input.width)};
    GWorldPtr world = nullptr;
    if (OSErr err = OffscreenNew(&world, 32, &bounds)) return err;
    MetaReader file;
    OSErr err = file.Open(spec);
    if (err == noErr) {
        LockPixels(world);
        GreyWriter writer(GetGWorldPixels(world), interlaced);
        const std::size_t strips = std::min(input.stripOffsets.size(), input.stripByteCounts.size());
        std::vector<std::uint8_t> strip;
        for (std::size_t s = 0; s < strips && err == noErr; ++s) {
            Progress(1, 0);
            if (input.stripByteCounts[s] > kMaxStripBytes) {
                err = kBadMediaDataErr;
                break;
            }
            err = file.ReadVector(input.stripOffsets[s], input.stripByteCounts[s], &strip);
            if (err == noErr) unpack(strip, writer, byteSelect);
        }
        UnlockPixels(world);
    }
    if (err == noErr) {
        if (pattern == 1) BayerInterpolateRGGB(world);
        else BayerInterpolateBGGR(world);
        OlympusBalanceRedBlue(world);
        *out = world;
    } else {
        DisposeGWorld(world);
    }
    return err;
}

// Bilinear demosaic in place, column by column; neighbours are read as they are rewritten.
// redOnEven: red sites where x and y are even (pattern 1), else where both are odd.
void Interpolate(GWorldPtr world, bool redOnEven) {
    PixelView v = GetGWorldPixels(world);
    if (v.width < 3 || v.height < 3 || v.depth != 32) return;
    LockPixels(world);
    auto px = [&](int x, int y) { return v.base + std::size_t(y) * v.rowBytes + std::size_t(x) * 4; };
    for (int x = 1; x <= v.width - 2; ++x) {
        Progress(500, x);
        for (int y = 1; y <= v.height - 2; ++y) {
            std::uint8_t* p = px(x, y);
            const bool xEven = (x & 1) == 0, yEven = (y & 1) == 0;
            const bool redSite = redOnEven ? (xEven && yEven) : (!xEven && !yEven);
            const bool blueSite = redOnEven ? (!xEven && !yEven) : (xEven && yEven);
            auto diag = [&](int c) { return (px(x - 1, y - 1)[c] + px(x + 1, y - 1)[c] + px(x - 1, y + 1)[c] + px(x + 1, y + 1)[c]) / 4; };
            auto cross = [&](int c) { return (px(x - 1, y)[c] + px(x + 1, y)[c] + px(x, y - 1)[c] + px(x, y + 1)[c]) / 4; };
            auto across = [&](int c) { return (px(x - 1, y)[c] + px(x + 1, y)[c]) / 2; };
            auto upDown = [&](int c) { return (px(x, y - 1)[c] + px(x, y + 1)[c]) / 2; };
            if (redSite) {
                p[kB] = std::uint8_t(diag(kB));
                p[kG] = std::uint8_t(cross(kG));
            } else if (blueSite) {
                p[kR] = std::uint8_t(diag(kR));
                p[kG] = std::uint8_t(cross(kG));
            } else {
                // A green site: in a row of red sites red lies left and right, blue above and below.
                const bool redRow = redOnEven ? yEven : !yEven;
                if (redRow) {
                    p[kR] = std::uint8_t(across(kR));
                    p[kB] = std::uint8_t(upDown(kB));
                } else {
                    p[kB] = std::uint8_t(across(kB));
                    p[kR] = std::uint8_t(upDown(kR));
                }
            }
        }
    }
    UnlockPixels(world);
}

}  // namespace

OSErr OlympusDecode16(const FSSpec* spec, GWorldPtr* out, const OlympusRawInput& input, int pattern, int byteSelect) {
    return Decode(spec, out, input, pattern, byteSelect, Unpack16, false);
}

OSErr OlympusDecode12(const FSSpec* spec, GWorldPtr* out, const OlympusRawInput& input, int pattern) {
    return Decode(spec, out, input, pattern, 0, Unpack12, true);
}

void BayerInterpolateRGGB(GWorldPtr world) {
    Interpolate(world, true);
}

void BayerInterpolateBGGR(GWorldPtr world) {
    Interpolate(world, false);
}

void OlympusBalanceRedBlue(GWorldPtr world) {
    PixelView v = GetGWorldPixels(world);
    if (v.width < 3 || v.height < 3 || v.depth != 32) return;
    LockPixels(world);
    for (int x = 1; x <= v.width - 2; ++x) {
        Progress(500, x);
        for (int y = 1; y <= v.height - 2; ++y) {
            std::uint8_t* p = v.base + std::size_t(y) * v.rowBytes + std::size_t(x) * 4;
            p[kR] = std::uint8_t(std::min(255, p[kR] * 3 / 2));
            p[kB] = std::uint8_t(std::min(255, p[kB] * 3 / 2));
        }
    }
    UnlockPixels(world);
}
