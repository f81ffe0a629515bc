// CorelDRAW previews: the "DISP" chunk found past odd-sized chunks and drawn (a red square in,
// a red square out, for 24-bit and 8-bit palette bitmaps), damaged chunk sizes, files without a
// preview, registration by edition and the built-in dispatch.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/corel/CorelDrawPreview.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ReaderChecks.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Put16(std::string& b, std::uint32_t v) {
    b += char(v & 0xFF);
    b += char(v >> 8);
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A device-independent bitmap of side x side: a red square in the middle quarter on white;
// 24 bits, or 8 bits with the palette {white, red}.
std::string Dib(int side, int bits) {
    std::string b;
    Put32(b, 40);
    Put32(b, std::uint32_t(side));
    Put32(b, std::uint32_t(side));
    Put16(b, 1);
    Put16(b, std::uint32_t(bits));
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    if (bits == 8) {
        b.replace(32, 4, std::string("\2\0\0\0", 4));
        Put32(b, 0xFFFFFF);
        Put32(b, 0xFF0000);
    }
    const int stride = ((side * bits + 31) / 32) * 4;
    for (int y = side - 1; y >= 0; --y) {
        std::string row(std::size_t(stride), '\0');
        for (int x = 0; x < side; ++x) {
            const bool red = x >= side / 4 && x < 3 * side / 4 && y >= side / 4 && y < 3 * side / 4;
            if (bits == 8) {
                row[std::size_t(x)] = red ? 1 : 0;
            } else {
                row[std::size_t(x) * 3] = red ? 0 : char(0xFF);
                row[std::size_t(x) * 3 + 1] = red ? 0 : char(0xFF);
                row[std::size_t(x) * 3 + 2] = char(0xFF);
            }
        }
        b += row;
    }
    return b;
}

std::string Chunk(const std::string& id, const std::string& body, std::int64_t sizeShift = 0) {
    std::string c = id;
    Put32(c, std::uint32_t(std::int64_t(body.size()) + sizeShift));
    c += body;
    if (body.size() & 1) c += '\0';
    return c;
}

// A RIFF file of the chunks (the "DISP" body is four lead bytes and the bitmap).
std::string Riff(const std::string& chunks) {
    std::string f = "RIFF";
    Put32(f, std::uint32_t(chunks.size() + 4));
    return f + "CDR9" + chunks;
}

class CorelDrawTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

int RedPixels(GWorldPtr world, int x0, int y0, int x1, int y1) {
    PixelView v = GetGWorldPixels(world);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            n += p[2] > 200 && p[1] < 50 && p[0] < 50;
        }
    return n;
}

TEST_F(CorelDrawTest, ThePreviewIsFoundPastOddSizedChunksAndDrawn) {
    for (int bits : {24, 8}) {
        SCOPED_TRACE(bits);
        const std::string file = Riff(Chunk("vrsn", "\x90\x03", 0) + Chunk("odd!", "abc") + Chunk("LIST", "x") +
                                      Chunk("DISP", std::string(4, '\x7F') + Dib(32, bits)));
        FSSpec spec = CheckedSpecOf(temp.Write("a.cdr", file));
        GWorldPtr world = nullptr;
        ASSERT_EQ(CorelDrawPreview('CDR ', &spec, &world), noErr);
        const PixelView v = GetGWorldPixels(world);
        ASSERT_EQ(v.width, 32);
        ASSERT_EQ(v.height, 32);
        EXPECT_EQ(RedPixels(world, 8, 8, 24, 24), 16 * 16) << "the square, upright";
        EXPECT_EQ(RedPixels(world, 0, 0, 32, 8), 0);
        EXPECT_EQ(RedPixels(world, 0, 24, 32, 32), 0);
        DisposeGWorld(world);
    }
}

TEST_F(CorelDrawTest, DamagedOrMissingPreviewsAreRefused) {
    const std::string dib = Dib(16, 24);
    struct Case {
        const char* what;
        std::string file;
        OSErr expected;
    };
    const Case cases[] = {
        {"no preview", Riff(Chunk("vrsn", "ab") + Chunk("odd!", "abc")), eofErr},
        {"header only", Riff("").substr(0, 12), eofErr},
        {"DISP smaller than a bitmap header", Riff(Chunk("DISP", std::string(20, '\0'))), kBadMediaDataErr},
        {"DISP size below its lead", Riff(Chunk("DISP", "ab")), kBadMediaDataErr},
        {"DISP past the file", Riff(Chunk("DISP", std::string(4, '\0') + dib, 1000)), kBadMediaDataErr},
        {"DISP size wraps", Riff(Chunk("DISP", std::string(4, '\0') + dib, 0xFFFFFFF8LL - dib.size() - 4)),
         kBadMediaDataErr},
        {"chunk size runs past the file", Riff(Chunk("LIST", "x", 0x7FFFFFFF)), eofErr},
    };
    for (const Case& c : cases) {
        FSSpec spec = CheckedSpecOf(temp.Write("bad.cdr", c.file));
        GWorldPtr world = nullptr;
        EXPECT_EQ(CorelDrawPreview('CDR ', &spec, &world), c.expected) << c.what;
        EXPECT_EQ(world, nullptr) << c.what;
    }
    // A bitmap the decoder refuses is an error, never an empty picture.
    std::string broken = dib;
    broken.replace(4, 4, std::string("\0\0\0\0", 4));
    FSSpec spec = CheckedSpecOf(temp.Write("zero.cdr", Riff(Chunk("DISP", std::string(4, '\0') + broken))));
    GWorldPtr world = nullptr;
    EXPECT_NE(CorelDrawPreview('CDR ', &spec, &world), noErr);
    EXPECT_EQ(world, nullptr);
    FSSpec missing = SpecOf(temp / "missing.cdr");
    EXPECT_NE(CorelDrawPreview('CDR ', &missing, &world), noErr);
}

TEST_F(CorelDrawTest, CorelKindsAreRegisteredUnderEditions200And500AndReachTheReader) {
    ASSERT_NO_FATAL_FAILURE(
        support::ExpectKindsRegisteredExceptUnder400({'CDR ', 'CDR5', 'CDR6', 'CDR7', 'CDR8', 'CDR9', 'CDRA'},
                                                     kKindHandlerBuiltin, kKindCategoryIllustration));
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    const std::string path = temp.Write("drawing.cdr", Riff(Chunk("DISP", std::string(4, '\0') + Dib(40, 24))));
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    EXPECT_EQ(file.type, OSType('CDR '));
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
    EXPECT_NE(thumb, nullptr);
    for (Handle h : {Handle(thumb), iptc, technical, recording})
        if (h) DisposeHandle(h);
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(BuiltinReaderMakeThumbnail(&spec, &world, 128, 'CDR7', &index, 0), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 40);
    DisposeGWorld(world);
}

}  // namespace
