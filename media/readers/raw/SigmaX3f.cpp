#include "media/readers/raw/SigmaX3f.h"

#include "foundation/text/Unicode.h"
#include "media/imaging/Offscreen.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/MetaValueStore.h"
#include "media/readers/raw/RawReaderSupport.h"
#include "platform/ByteOrder.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// More directory entries or properties than this are damage.
constexpr UInt32 kMaxEntries = 4096;
constexpr UInt32 kMaxProperties = 65536;
constexpr std::size_t kMaxPropertyText = 511;

struct X3fImage {
    UInt32 offset = 0, length = 0;
    UInt32 columns = 0, rows = 0, rowSize = 0;
};

// A UTF-16 text of the property list's character data, from the unit index to its terminator.
std::string PropertyText(const std::vector<std::uint8_t>& chars, UInt32 index) {
    const std::size_t units = chars.size() / 2;
    std::u16string text;
    for (std::size_t i = index; i < units && text.size() < kMaxPropertyText; ++i) {
        char16_t c = char16_t(ReadLE16(chars.data() + 2 * i));
        if (c == 0) break;
        text.push_back(c);
    }
    std::string ansi = Utf16ToAnsi(text);
    if (ansi.size() > kMaxPropertyText) ansi.resize(kMaxPropertyText);
    return ansi;
}

void WalkProperties(const std::vector<std::uint8_t>& section, UserData metadata) {
    if (section.size() < 24 || std::memcmp(section.data(), "SECp", 4) != 0) return;
    const UInt32 count = ReadLE32(section.data() + 8);
    if (count > kMaxProperties) return;
    const std::size_t charsAt = 24 + std::size_t(count) * 8;
    if (charsAt > section.size()) return;
    const std::vector<std::uint8_t> chars(section.begin() + std::ptrdiff_t(charsAt), section.end());
    for (UInt32 i = 0; i < count; ++i) {
        const std::uint8_t* entry = section.data() + 24 + std::size_t(i) * 8;
        X3fApplyProperty(PropertyText(chars, ReadLE32(entry)), PropertyText(chars, ReadLE32(entry + 4)), metadata);
    }
}

OSErr ReadPreview(MetaReader& file, const X3fImage& image, GWorldPtr* out) {
    if (image.length < 28 || image.length - 28 < 4) return resNotFound;
    const std::uint64_t packedRow = std::uint64_t(image.columns) * 3;
    if (image.columns == 0 || image.rows == 0 || image.rowSize < packedRow ||
        std::uint64_t(image.rowSize) * image.rows > image.length - 28)
        return kBadMediaDataErr;
    if (image.columns > UInt32(kMaxWorldSide) || image.rows > UInt32(kMaxWorldSide)) return kBadMediaDataErr;
    std::vector<std::uint8_t> pixels;
    if (OSErr err = file.ReadVector(SInt64(image.offset) + 28, std::size_t(image.rowSize) * image.rows, &pixels))
        return err;
    // Packs the rows in place: columns x 3 bytes out of every row of rowSize bytes.
    for (UInt32 y = 1; y < image.rows; ++y)
        std::memmove(pixels.data() + y * packedRow, pixels.data() + std::size_t(y) * image.rowSize, packedRow);
    return OffscreenFromRGB24(out, std::int32_t(image.columns), std::int32_t(image.rows), pixels.data());
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

void X3fApplyProperty(const std::string& name, const std::string& value, UserData metadata) {
    if (!metadata) return;
    // The dispatch is by the name's length, then by exact comparison.
    switch (name.size()) {
    case 3:
        if (name == "ISO") {
            short iso = 0;
            if (std::sscanf(value.c_str(), "%hd", &iso) == 1) RawStoreShort(metadata, 0x8827, UInt16(iso));
        }
        return;
    case 5:
        if (name == "FLASH" && value.size() >= 2) {
            const char c = value[1];
            if (c == 'N') RawStoreShort(metadata, 0x9209, 1);
            else if (c == 'F') RawStoreShort(metadata, 0x9209, 0);
            else if (c == 'E') RawStoreShort(metadata, 0x9209, 13);
        } else if (name == "PMODE" && !value.empty()) {
            const char c = value[0];
            const UInt16 program = c == 'P' ? 5 : c == 'A' ? 3 : c == 'S' ? 4 : c == 'M' ? 1 : 0;
            if (program) RawStoreShort(metadata, 0x8822, program);
        }
        return;
    case 6:
        if (name == "AEMODE" && !value.empty()) {
            const char c = value[0];
            const UInt16 mode = c == '8' ? 4 : c == 'A' ? 1 : c == 'C' ? 2 : 0;
            if (mode) RawStoreShort(metadata, 0x9207, mode);
        } else if (name == "EXPNET") {
            float x = 0;
            if (std::sscanf(value.c_str(), "%f", &x) == 1) RawStoreRational(metadata, 0x9204, UInt32(SInt32(x * 100)), 100);
        }
        return;
    case 7:
        if (name == "AP_DESC") {
            float x = 0;
            if (std::sscanf(value.c_str(), "%f", &x) == 1) RawStoreRational(metadata, 0x829D, UInt32(SInt32(x * 1000)), 1000);
        } else if (name == "FLENGTH") {
            int n = 0;
            if (std::sscanf(value.c_str(), "%d", &n) == 1) RawStoreRational(metadata, 0x920A, UInt32(n), 1);
        } else if (name == "SH_DESC") {
            int a = 0, b = 0;
            char separator = 0;
            int read = std::sscanf(value.c_str(), "%d%c%d", &a, &separator, &b);
            if (read >= 1) RawStoreRational(metadata, 0x829A, UInt32(a), read == 3 ? UInt32(b) : 1);
        } else if (name == "WB_DESC") {
            static const struct { const char* prefix; UInt16 source; } kLights[] = {
                {"Aut", 0}, {"Sun", 1}, {"Flu", 2}, {"Inc", 3}, {"Fla", 4}, {"Ove", 10}, {"Sha", 11}, {"Cus", 30}};
            for (const auto& l : kLights)
                if (StartsWith(value, l.prefix)) {
                    RawStoreShort(metadata, 0x9208, l.source);
                    break;
                }
        }
        return;
    case 8:
        if (name == "CAMMANUF") RawStoreText(metadata, kUdText_mak, value);
        else if (name == "CAMMODEL") RawStoreText(metadata, kUdText_mod, value);
        else if (name == "FIRMVERS") RawStoreText(metadata, kUdText_swr, value);
        return;
    default:
        return;
    }
}

OSErr X3fRead(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    if (!offscreen) return paramErr;
    *offscreen = nullptr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    std::uint8_t header[40];
    if (file.ReadAt(0, header, sizeof header) != noErr || std::memcmp(header, "FOVb", 4) != 0) return kRawFormatErr;
    if (info) {
        RawFillImageInfo(info, ReadLE32(header + 28), ReadLE32(header + 32), 72, 48);
        RawAppendFormatName(info, "FOVb");
        LastExifOrientation() = RawOrientationFromDegrees(SInt32(ReadLE32(header + 36)));
    }
    const UInt32 version = ReadLE32(header + 4);
    if (version >= 0x30000) return kRawFormatErr;
    // Versions above 2.0 carry a further 192-byte header, not used here.
    std::uint8_t tail[4];
    if (file.Length() < 44 || file.ReadAt(file.Length() - 4, tail, 4) != noErr) return kRawFormatErr;
    const SInt64 directory = ReadLE32(tail);
    std::uint8_t dirHeader[12];
    if (file.ReadAt(directory, dirHeader, 12) != noErr || std::memcmp(dirHeader, "SECd", 4) != 0) return kRawFormatErr;
    const UInt32 count = ReadLE32(dirHeader + 8);
    if (count > kMaxEntries) return kRawFormatErr;
    std::vector<std::uint8_t> entries;
    if (OSErr err = file.ReadVector(directory + 12, std::size_t(count) * 12, &entries)) return err == eofErr ? OSErr(kRawFormatErr) : err;

    X3fImage chosen;
    for (UInt32 i = 0; i < count; ++i) {
        const std::uint8_t* e = entries.data() + std::size_t(i) * 12;
        const UInt32 offset = ReadLE32(e), length = ReadLE32(e + 4);
        if (std::memcmp(e + 8, "IMA2", 4) == 0 || std::memcmp(e + 8, "IMAG", 4) == 0) {
            std::uint8_t section[28];
            if (length < 28 || file.ReadAt(offset, section, 28) != noErr || std::memcmp(section, "SECi", 4) != 0) continue;
            const UInt32 type = ReadLE32(section + 8), format = ReadLE32(section + 12);
            const UInt32 columns = ReadLE32(section + 16);
            if (type == 2 && format == 3 && columns > chosen.columns) {
                chosen.offset = offset;
                chosen.length = length;
                chosen.columns = columns;
                chosen.rows = ReadLE32(section + 20);
                chosen.rowSize = ReadLE32(section + 24);
            }
        } else if (std::memcmp(e + 8, "PROP", 4) == 0 && metadata) {
            std::vector<std::uint8_t> section;
            if (length <= kRawMaxPreviewBytes && file.ReadVector(offset, length, &section) == noErr)
                WalkProperties(section, metadata);
        }
    }
    if (chosen.columns == 0) return resNotFound;
    OSErr err = ReadPreview(file, chosen, offscreen);
    if (err == noErr) RawMarkPreview();
    return err;
}

OSErr X3fGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata) {
    GWorldPtr picture = nullptr;
    OSErr err = X3fRead(spec, info, &picture, metadata);
    if (offscreen && !*offscreen) *offscreen = picture;
    else if (picture) DisposeGWorld(picture);
    return err;
}

OSErr X3fMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation) {
    if (!offscreen) return paramErr;
    return RawFinishThumbnail(X3fRead(spec, nullptr, offscreen, nullptr), offscreen, size, orientation);
}
