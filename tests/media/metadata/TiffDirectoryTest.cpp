// Reading one TIFF directory into memory and the values of its entries, in both byte orders:
// inline values, values at an offset from the header, the tags whose bytes stay as stored, and
// directories and values that lie outside the bytes.
#include "media/metadata/ExifInternal.h"

#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A header, then at offset 8 a directory of three entries: ImageWidth SHORT 0x1234 (inline),
// StripOffsets LONG x2 at offset 50, IPTC (0x83BB) LONG x2 at offset 58; next offset 0; then
// the two pairs of values.
std::vector<std::uint8_t> SmallTiff(bool bigEndian) {
    std::vector<std::uint8_t> b(66, 0);
    auto put16 = [&](std::size_t at, unsigned v) {
        b[at + (bigEndian ? 0 : 1)] = std::uint8_t(v >> 8);
        b[at + (bigEndian ? 1 : 0)] = std::uint8_t(v);
    };
    auto put32 = [&](std::size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i) b[at + std::size_t(bigEndian ? i : 3 - i)] = std::uint8_t(v >> (24 - 8 * i));
    };
    b[0] = b[1] = bigEndian ? 'M' : 'I';
    put16(2, 42);
    put32(4, 8);
    put16(8, 3);
    put16(10, 0x0100), put16(12, 3), put32(14, 1), put16(18, 0x1234);
    put16(22, 0x0111), put16(24, 4), put32(26, 2), put32(30, 50);
    put16(34, 0x83BB), put16(36, 4), put32(38, 2), put32(42, 58);
    put32(46, 0);
    put32(50, 0x01020304), put32(54, 0x05060708);
    put32(58, 0x0A0B0C0D), put32(62, 0x0E0F1011);
    return b;
}

TEST(TiffDirectory, ReadsTheDirectoryAndItsValuesInNativeOrder) {
    for (bool bigEndian : {true, false}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        const std::vector<std::uint8_t> bytes = SmallTiff(bigEndian);
        MetaReader file;
        file.OpenBytes(bytes.data(), bytes.size());
        ExifDecodeContext ctx;
        ctx.byteOrder = bigEndian ? 'M' : 'I';
        ctx.file = &file;

        UInt32 count = 0;
        std::vector<std::uint8_t> whole;
        ASSERT_EQ(TiffReadDirectory(ctx, 8, &count, &whole), noErr);
        ASSERT_EQ(count, 3u);
        ASSERT_EQ(whole.size(), 3u * 12 + 4);
        EXPECT_EQ(ExifGet32(ctx, whole.data() + 36), 0u) << "the next directory's offset";

        Handle width = TiffReadEntryValue(ctx, 0x0100, 3, 1, whole.data() + 8);
        ASSERT_NE(width, nullptr);
        UInt16 w = 0;
        std::memcpy(&w, *width, 2);
        EXPECT_EQ(w, 0x1234);
        DisposeHandle(width);

        Handle strips = TiffReadEntryValue(ctx, 0x0111, 4, 2, whole.data() + 12 + 8);
        ASSERT_NE(strips, nullptr);
        ASSERT_EQ(GetHandleSize(strips), 8);
        UInt32 v[2];
        std::memcpy(v, *strips, 8);
        EXPECT_EQ(v[0], 0x01020304u);
        EXPECT_EQ(v[1], 0x05060708u);
        DisposeHandle(strips);

        // The IPTC block is bytes, whatever type the writer gave it.
        Handle iptc = TiffReadEntryValue(ctx, 0x83BB, 4, 2, whole.data() + 24 + 8);
        ASSERT_NE(iptc, nullptr);
        EXPECT_EQ(std::memcmp(*iptc, bytes.data() + 58, 8), 0);
        DisposeHandle(iptc);
    }
}

TEST(TiffDirectory, DirectoriesAndValuesOutsideTheBytesGiveNothing) {
    std::vector<std::uint8_t> bytes = SmallTiff(true);
    MetaReader file;
    file.OpenBytes(bytes.data(), bytes.size());
    ExifDecodeContext ctx;
    ctx.byteOrder = 'M';
    ctx.file = &file;
    UInt32 count = 7;
    std::vector<std::uint8_t> whole;
    EXPECT_NE(TiffReadDirectory(ctx, 60, &count, &whole), noErr) << "entries past the end";
    EXPECT_EQ(count, 0u);
    EXPECT_NE(TiffReadDirectory(ctx, -1, &count, &whole), noErr);
    bytes[8] = 0xFF;   // 65,000 entries and more
    EXPECT_EQ(TiffReadDirectory(ctx, 8, &count, &whole), kBadMediaDataErr);

    const std::uint8_t farOffset[4] = {0, 0, 0x10, 0};
    EXPECT_EQ(TiffReadEntryValue(ctx, 0x0111, 4, 2, farOffset), nullptr);
    EXPECT_EQ(TiffReadEntryValue(ctx, 0x0111, 4, 0, farOffset), nullptr) << "no bytes";
    EXPECT_EQ(TiffReadEntryValue(ctx, 0x0111, 99, 1, farOffset), nullptr) << "unknown type";
}

}  // namespace
