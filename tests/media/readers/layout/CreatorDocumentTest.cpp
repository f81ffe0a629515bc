// MultiAd Creator documents: the record stream walked through its nested streams, the JPEG
// preview preferred to the pixel map, the page size and the annotation texts (8-bit and
// UTF-16) as IPTC datasets, only the first record of each kind counting, damaged and hostile
// streams, and the kinds registered only under edition 500.
#include "media/imaging/Orientation.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/IptcBlock.h"
#include "media/readers/layout/CreatorDocument.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Record(const char* tag, unsigned version, const std::string& data, std::int64_t lengthShift = 0) {
    std::string r = tag;
    fixtures::Put16BE(r, version);
    fixtures::Put32BE(r, 0);
    fixtures::Put32BE(r, std::uint32_t(std::int64_t(data.size()) + lengthShift));
    fixtures::Put16BE(r, 0);
    return r + data;
}

std::string LeDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    std::string s;
    for (int i = 0; i < 8; ++i) s += char((bits >> (8 * i)) & 0xFF);
    return s;
}

std::string Text(const std::string& s, bool utf16) {
    std::string out;
    if (!utf16) return char(s.size()) + s;
    fixtures::Put16BE(out, unsigned(s.size()));
    for (char c : s) out += std::string{c, '\0'};
    return out;
}

std::string Annotations(bool utf16) {
    std::string d = LeDouble(612.7) + LeDouble(792.2) + std::string(16, '\0');
    fixtures::Put16BE(d, 0);
    fixtures::Put16BE(d, 0);
    fixtures::Put32BE(d, 0);
    fixtures::Put32BE(d, 0);
    d += Text("Spring sale", utf16);
    fixtures::Put32BE(d, 0);
    d += Text("Lyon", utf16);
    std::string caption = "Four pages of shoes";
    fixtures::Put32BE(d, std::uint32_t(caption.size()));
    if (utf16) {
        for (char c : caption) d += std::string{c, '\0'};
    } else {
        d += caption;
    }
    d += Text("A. Writer", utf16);
    d += Text("", utf16);
    return d;
}

// A 4 x 4 pixel map of 8 bits, its left half red.
std::string PixelMap() {
    std::string d;
    fixtures::Put32BE(d, 4);
    fixtures::Put32BE(d, 4);
    fixtures::Put32BE(d, 4);
    fixtures::Put16BE(d, 8);
    fixtures::Put16BE(d, 2);
    d += std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6);
    d += std::string("\xFF\xFF\0\0\0\0", 6);
    for (int y = 0; y < 4; ++y) d += std::string("\1\1\0\0", 4);
    fixtures::Put32BE(d, 0);
    return d;
}

std::string Preview(const std::string& jpeg) {
    std::string d;
    fixtures::Put32BE(d, std::uint32_t(jpeg.size()));
    return d + jpeg;
}

// The document: the outer record, the version record with its flags and fields, and inside
// it the records that matter.
std::string Document(const std::string& inner, bool utf16 = false) {
    const std::string version = std::string(1, utf16 ? '\1' : '\0') + std::string("\0\3abc\0\0\0\x07", 9);
    return Record("Ctr6", 1, Record("DVrs", 7, version + inner + Record("done", 0, "")));
}

struct Rgb {
    int r, g, b;
};
Rgb Pixel(GWorldPtr world, int x, int y) {
    const PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}
bool IsRed(const Rgb& c) {
    return c.r > 200 && c.g < 60 && c.b < 60;
}

std::string Dataset(Handle iptc, UInt16 key) {
    UInt16 length = 0;
    Ptr p = IptcFindDataset(key, 1, iptc, &length, nullptr);
    return p ? std::string(p, length) : std::string();
}

class CreatorTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(CreatorTest, ThePreviewPageSizeAndAnnotationsAreRead) {
    for (bool utf16 : {false, true}) {
        SCOPED_TRACE(utf16 ? "UTF-16 texts" : "8-bit texts");
        const std::string doc = Document(Record("DMsc", 5, Annotations(utf16)) + Record("DIBm", 1, PixelMap()) +
                                         Record("DPrv", 1, Preview(fixtures::Jpeg(24, 16))) +
                                         Record("DPrv", 1, Preview(fixtures::Jpeg(8, 8))), utf16);
        FSSpec spec = CheckedSpecOf(temp.Write("ad.crtr", doc));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        UserData metadata = nullptr;
        NewUserData(&metadata);
        ASSERT_EQ(CreatorGetInfo(&spec, &info, &world, metadata), noErr);
        EXPECT_EQ(info.width, 612u);
        EXPECT_EQ(info.height, 792u);
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(GetGWorldPixels(world).width, 24) << "the first preview, not the pixel map";
        DisposeGWorld(world);
        Handle iptc = NewHandle(0);
        ASSERT_EQ(GetUserData(metadata, iptc, 'iptc', 1), noErr);
        EXPECT_EQ(Dataset(iptc, 519), "Spring sale");
        EXPECT_EQ(Dataset(iptc, 537), "Lyon");
        EXPECT_EQ(Dataset(iptc, 632), "Four pages of shoes");
        EXPECT_EQ(Dataset(iptc, 592), "A. Writer");
        EXPECT_EQ(Dataset(iptc, 622), "") << "empty texts are left out";
        DisposeHandle(iptc);
        DisposeUserData(metadata);
    }
}

TEST_F(CreatorTest, ThePixelMapStandsInForAMissingPreview) {
    // No 'done' at the end: the stream is read to the end of the file.
    const std::string doc = Record("Ctr6", 1, Record("DIBm", 1, PixelMap()) + Record("DIBm", 1, "junk"));
    FSSpec spec = CheckedSpecOf(temp.Write("map.crtr", doc));
    GWorldPtr world = nullptr;
    ASSERT_EQ(CreatorMakeThumbnail(&spec, &world, 0), noErr);
    ASSERT_EQ(GetGWorldPixels(world).width, 4);
    EXPECT_TRUE(IsRed(Pixel(world, 0, 0)));
    EXPECT_TRUE(IsRed(Pixel(world, 1, 3)));
    EXPECT_FALSE(IsRed(Pixel(world, 3, 0)));
    DisposeGWorld(world);
    // Turned a quarter clockwise, the red half is on top.
    ASSERT_EQ(CreatorMakeThumbnail(&spec, &world, kTransformRotateCW), noErr);
    EXPECT_TRUE(IsRed(Pixel(world, 0, 0)));
    EXPECT_TRUE(IsRed(Pixel(world, 3, 0)));
    EXPECT_FALSE(IsRed(Pixel(world, 0, 3)));
    DisposeGWorld(world);
}

TEST_F(CreatorTest, DamagedStreamsAreReadNoFurtherThanTheyHold) {
    std::string deep = Record("DPrv", 1, Preview(fixtures::Jpeg(8, 8)));
    for (int i = 0; i < 40; ++i) deep = Record("Ctr6", 1, deep);
    struct Case {
        const char* what;
        std::string file;
        OSErr result;
    };
    const Case cases[] = {
        {"not a document", Record("DPrv", 1, Preview(fixtures::Jpeg(8, 8))), kCreatorNotADocumentErr},
        {"empty file", "", kCreatorNoPreviewErr},
        {"no preview", Document(Record("DMsc", 5, Annotations(false))), kCreatorNoPreviewErr},
        {"preview length past its record", Document(Record("DPrv", 1, std::string("\0\1\0\0", 4) + "xx")), kCreatorNoPreviewErr},
        {"preview of junk", Document(Record("DPrv", 1, Preview("not a jpeg"))), kCreatorNoPreviewErr},
        {"record length past the file", Record("Ctr6", 1, Record("DPrv", 1, Preview(fixtures::Jpeg(8, 8)), 1 << 30)), noErr},
        {"header cut short", Record("Ctr6", 1, "DPr"), kCreatorNoPreviewErr},
        {"pixel map of a huge size",
         Document(Record("DIBm", 1, std::string("\x7F\xFF\xFF\xFF\x7F\xFF\xFF\xFF\0\0\0\x04\0\x08\0\0", 16))), kCreatorNoPreviewErr},
        {"pixel map rows shorter than its width",
         Document(Record("DIBm", 1, std::string("\0\0\0\x04\0\0\0\x04\0\0\0\x01\0\x08\0\0", 16))), kCreatorNoPreviewErr},
        {"pixel map of an odd depth", Document(Record("DIBm", 1, std::string("\0\0\0\1\0\0\0\1\0\0\0\4\0\x07\0\0xxxx", 20))), kCreatorNoPreviewErr},
        {"text lengths past the record", Document(Record("DMsc", 5, LeDouble(1) + LeDouble(1) + std::string(28, '\0') + "\xFF")), kCreatorNoPreviewErr},
        {"nesting deeper than any document", deep, kCreatorNoPreviewErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("bad.crtr", c.file));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        const OSErr err = CreatorGetInfo(&spec, &info, &world, nullptr);
        EXPECT_EQ(err, c.result);
        EXPECT_EQ(world != nullptr, err == noErr);
        if (world) DisposeGWorld(world);
    }
    FSSpec missing = SpecOf(temp / "missing.crtr");
    GWorldPtr world = nullptr;
    EXPECT_EQ(CreatorMakeThumbnail(&missing, &world, 0), fnfErr);
}

TEST_F(CreatorTest, TheKindsAreRegisteredOnlyUnderEdition500) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (OSType type : {'Crtr', 'CRTR'}) {
            if (edition == 500) {
                EXPECT_EQ(KindGetHandler(type), kKindHandlerBuiltin);
                EXPECT_EQ(KindGetCategory(type), kKindCategoryDTP);
            } else {
                EXPECT_NE(KindGetHandler(type), kKindHandlerBuiltin) << edition;
            }
        }
        KindEngineShutdown();
        KindTableClear();
    }
    ASSERT_EQ(KindEngineInit(nullptr, 0, 500, 200), noErr);
    FSSpec spec = SpecOf(temp.Write("ad.crtr", Document(Record("DPrv", 1, Preview(fixtures::Jpeg(24, 16))))));
    KindFileRec file;
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    EXPECT_EQ(file.type, OSType('CRTR'));
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
    EXPECT_NE(thumb, nullptr);
    for (Handle h : {Handle(thumb), iptc, technical, recording})
        if (h) DisposeHandle(h);
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(KindMakeThumbnail(&spec, &world, 128, file.type, &index, 0), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 24);
    DisposeGWorld(world);
}

}  // namespace
