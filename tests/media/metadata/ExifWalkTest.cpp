// The directory walk and the maker-note decoders over small crafted TIFF blocks.
#include "media/metadata/Exif.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/MetadataLevel.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace metatest;

const Order II{false}, MM{true};

enum : std::uint16_t { BYTE = 1, ASCII = 2, SHORT = 3, LONG = 4, RATIONAL = 5, UNDEFINED = 7 };

IfdEntry Short(std::uint16_t tag, unsigned v, const Order& o) { return {tag, SHORT, 1, o.U16(v)}; }
IfdEntry Long(std::uint16_t tag, std::uint32_t v, const Order& o) { return {tag, LONG, 1, o.U32(v)}; }
IfdEntry AsciiEntry(std::uint16_t tag, const std::string& s) { return {tag, ASCII, std::uint32_t(s.size() + 1), Ascii(s)}; }

std::vector<OSType> Types(UserData ud) {
    std::vector<OSType> out;
    for (OSType t = OSType(GetNextUserDataType(ud, 0)); t; t = OSType(GetNextUserDataType(ud, t))) out.push_back(t);
    return out;
}
bool Has(UserData ud, OSType type) { return CountUserDataType(ud, type) > 0; }

void Read(const Bytes& tiff, UserData ud) { ASSERT_EQ(ExifReadFromBytes(tiff.data(), tiff.size(), ud, nullptr), noErr); }

struct LevelGuard {
    SInt16 saved = MetadataFormatLevel();
    ~LevelGuard() { MetadataSetFormatLevel(saved); }
};

TEST(ExifWalk, DirectoryChainLimits) {
    {  // a next-directory offset pointing back at itself: walked once
        Bytes b = TiffHeader(II, 8);
        PutIfd(b, 0, 8, II, {Short(0x1001, 7, II)}, 8);
        List l;
        Read(b, l.ud);
        EXPECT_EQ(CountUserDataType(l.ud, 0x1001), 1);
    }
    {  // seventeen chained directories: sixteen are walked
        Bytes b = TiffHeader(II, 8);
        const std::size_t step = 2 + 12 + 4;
        for (unsigned i = 0; i < 17; ++i)
            PutIfd(b, 0, 8 + step * i, II, {Short(std::uint16_t(0x1000 + i), i, II)},
                   i < 16 ? std::uint32_t(8 + step * (i + 1)) : 0);
        List l;
        Read(b, l.ud);
        EXPECT_TRUE(Has(l.ud, 0x100F));
        EXPECT_FALSE(Has(l.ud, 0x1010));
    }
    {  // more than 200 entries: the directory is not read
        Bytes b = TiffHeader(II, 8);
        std::vector<IfdEntry> many;
        for (unsigned i = 0; i < 201; ++i) many.push_back(Short(std::uint16_t(0x1000 + i), i, II));
        PutIfd(b, 0, 8, II, many, 0);
        List l;
        Read(b, l.ud);
        EXPECT_EQ(Types(l.ud), std::vector<OSType>{'TIFF'});
    }
    {  // a sub-directory pointing at its own directory ends the chain, no loop
        Bytes b = TiffHeader(II, 8);
        PutIfd(b, 0, 8, II, {Short(0x1001, 1, II), Long(0x8769, 8, II), Short(0x9999, 1, II)}, 0);
        List l;
        Read(b, l.ud);
        EXPECT_TRUE(Has(l.ud, 0x1001));
        EXPECT_FALSE(Has(l.ud, 0x9999));
    }
}

TEST(ExifWalk, InvalidEntryTypeByLevel) {
    LevelGuard guard;
    Bytes b = TiffHeader(MM, 8);
    std::size_t end = PutIfd(b, 0, 8, MM, {Short(0x1001, 1, MM), {0x1002, 13, 1, MM.U16(2)}, Short(0x1003, 3, MM)}, 60);
    ASSERT_LE(end, 60u);
    PutIfd(b, 0, 60, MM, {Short(0x2001, 4, MM)}, 0);
    struct Case { SInt16 level; bool after, next; } cases[] = {{200, false, false}, {300, true, true}};
    for (auto c : cases) {
        MetadataSetFormatLevel(c.level);
        List l;
        Read(b, l.ud);
        EXPECT_TRUE(Has(l.ud, 0x1001)) << c.level;
        EXPECT_FALSE(Has(l.ud, 0x1002)) << c.level;
        EXPECT_EQ(Has(l.ud, 0x1003), c.after) << c.level;
        EXPECT_EQ(Has(l.ud, 0x2001), c.next) << c.level;
    }
}

TEST(ExifWalk, ValuesOutsideTheFileAreSkipped) {
    Bytes b = TiffHeader(II, 8);
    PutIfd(b, 0, 8, II,
           {{0x1001, LONG, 0x40000000, II.U32(8)},   // a billion values
            {0x1002, RATIONAL, 1, II.U32(0xFFFFFFF0)},  // an offset past the end
            Short(0x1003, 3, II)},
           0xFFFFFF00);  // and a next directory past the end
    List l;
    Read(b, l.ud);
    EXPECT_FALSE(Has(l.ud, 0x1001));
    EXPECT_FALSE(Has(l.ud, 0x1002));
    EXPECT_TRUE(Has(l.ud, 0x1003));
}

TEST(ExifWalk, EntriesByTag) {
    Bytes b = TiffHeader(MM, 8);
    Bytes unicodeComment = Cat({BytesOf(std::string("UNICODE\0", 8)), Bytes{0, 'h', 0, 'i'}});
    Bytes asciiComment = Cat({BytesOf(std::string("ASCII\0\0\0", 8)), BytesOf("   text")});
    Bytes xpTitle = {'T', 0, 'i', 0, 't', 0, 0xE9, 0, 0, 0};  // "Tite" with e-acute, terminated
    std::size_t end = PutIfd(b, 0, 8, MM,
                             {AsciiEntry(0x010F, "Acme"), Short(0x0112, 9, MM), Long(0x8769, 200, MM),
                              {0x9C9B, BYTE, std::uint32_t(xpTitle.size()), xpTitle}},
                             0);
    ASSERT_LE(end, 200u);
    PutIfd(b, 0, 200, MM,
           {{0x829A, RATIONAL, 1, MM.Rational(1, 250)},
            {0x9201, 10, 1, MM.Rational(8, 1)},  // shutter speed, APEX
            {0x9286, UNDEFINED, std::uint32_t(asciiComment.size()), asciiComment},
            {0xA002, LONG, 1, MM.U32(640)}},
           0);
    List l;
    Read(b, l.ud);
    EXPECT_EQ(LastExifOrientation(), 0);  // 9 is no orientation
    EXPECT_EQ(Text(l.ud, kUdText_mak), "Acme");
    EXPECT_EQ(Text(l.ud, kUdText_src), "text");
    EXPECT_EQ(Text(l.ud, kUdText_inf), "Tit\xE9");
    // The exposure time the camera wrote wins over its APEX form.
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x829A)), MM.Rational(1, 250));
    EXPECT_EQ(CountUserDataType(l.ud, ExifFieldId(0x829A)), 1);
    // Pixel dimensions keep their bare tag, once.
    EXPECT_EQ(CountUserDataType(l.ud, 0xA002), 1);
    EXPECT_EQ(Item(l.ud, 0xA002), II.U32(640));  // native order

    Bytes c = TiffHeader(II, 8);
    PutIfd(c, 0, 8, II, {{0x9286, UNDEFINED, std::uint32_t(unicodeComment.size()), unicodeComment}, Short(0x0112, 6, II)}, 0);
    List u;
    Read(c, u.ud);
    EXPECT_FALSE(Has(u.ud, kUdText_src));
    EXPECT_EQ(LastExifOrientation(), 6);
}

// A file with Make, an EXIF directory at 100 and a maker note (bytes given) at 300.
Bytes WithMakerNote(const Order& o, const std::string& make, const Bytes& note) {
    Bytes b = TiffHeader(o, 8);
    PutIfd(b, 0, 8, o, {AsciiEntry(0x010F, make), Long(0x8769, 100, o)}, 0);
    PutIfd(b, 0, 100, o, {{0x927C, UNDEFINED, std::uint32_t(note.size()), Bytes(4)}}, 0);
    // The maker note's offset goes in by hand so it lands at 300.
    std::size_t entry = 100 + 2 + 8;
    Bytes off = o.U32(300);
    std::copy(off.begin(), off.end(), b.begin() + long(entry));
    if (b.size() < 300) b.resize(300);
    b.insert(b.end(), note.begin(), note.end());
    return b;
}

// A directory laid out on its own, offsets relative to `base` at `at`.
Bytes Directory(const Order& o, std::size_t base, std::size_t at, const std::vector<IfdEntry>& entries) {
    Bytes buf(at);
    PutIfd(buf, base, at, o, entries, 0);
    return Bytes(buf.begin() + long(at), buf.end());
}

TEST(ExifWalk, MakerNotes) {
    // Nikon, second form: its own TIFF header (big-endian) inside a little-endian file.
    Bytes nikon2 = Cat({BytesOf(std::string("Nikon\0\x02\x10\0\0", 10)), TiffHeader(MM, 8),
                        Directory(MM, 0, 8,
                                  {{0x0002, SHORT, 2, MM.Shorts({0, 200})},
                                   {0x0005, ASCII, 7, Ascii("SUNNY ")},
                                   {0x0084, RATIONAL, 4, Cat({MM.Rational(18, 1), MM.Rational(55, 1), MM.Rational(35, 10), MM.Rational(56, 10)})},
                                   {0x0095, ASCII, 4, Ascii("OFF")}})});
    // Nikon, first form: nothing is decoded.
    Bytes nikon1 = Cat({BytesOf(std::string("Nikon\0\x01\0", 8)), Directory(II, 0, 308, {{0x0005, ASCII, 6, Ascii("SUNNY")}})});
    // Pentax: "AOC\0" and the byte order, the directory 6 bytes in.
    auto pentax = [](unsigned isoCode) {
        return Cat({BytesOf(std::string("AOC\0MM", 6)), Directory(MM, 0, 306, {Short(0x0014, isoCode, MM), Long(0x0004, 1234, MM)})});
    };
    // Canon camera settings: element 0 is the length in bytes.
    auto canon = [](std::initializer_list<unsigned> settings) {
        return Directory(II, 0, 300, {{0x0001, SHORT, std::uint32_t(settings.size()), II.Shorts(settings)}});
    };
    std::initializer_list<unsigned> fullSettings = {34, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17};
    std::initializer_list<unsigned> lyingSettings = {100, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // claims 100 bytes, has 20

    struct Case {
        const char* name;
        Bytes file;
        OSType field;
        Bytes value;
    } cases[] = {
        {"Nikon 2: white balance", WithMakerNote(II, "NIKON CORPORATION", nikon2), ExifFieldId(0x9208), MM.U16(9)},
        {"Nikon 2: lens", WithMakerNote(II, "NIKON CORPORATION", nikon2), 0x6578B002, BytesOf("18-55 mm")},
        {"Nikon 2: ISO", WithMakerNote(II, "NIKON CORPORATION", nikon2), ExifFieldId(0x8827), MM.U16(200)},
        {"Nikon 2: noise reduction off", WithMakerNote(II, "NIKON CORPORATION", nikon2), 0x6578B001, MM.U16(0)},
        {"Nikon 1: nothing decoded", WithMakerNote(II, "NIKON", nikon1), ExifFieldId(0x9208), {}},
        {"Pentax ISO code 6", WithMakerNote(MM, "PENTAX Corporation", pentax(6)), ExifFieldId(0x8827), MM.U16(100)},
        {"Pentax ISO code 10 stores nothing", WithMakerNote(MM, "PENTAX Corporation", pentax(10)), ExifFieldId(0x8827), {}},
        {"Pentax preview offset", WithMakerNote(MM, "PENTAX Corporation", pentax(6)), 'JOFT', II.U32(1234)},
        {"Canon ISO from the settings", WithMakerNote(II, "Canon", canon(fullSettings)), ExifFieldId(0x8827), MM.U16(100)},
        {"Canon settings shorter than they claim", WithMakerNote(II, "Canon", canon(lyingSettings)), ExifFieldId(0x8822), {}},
        {"Olympus: the note's offset, not walked", WithMakerNote(II, "OLYMPUS OPTICAL CO.,LTD", canon(fullSettings)), 0x927C, II.U32(300)},
        {"unknown maker: not walked", WithMakerNote(II, "Acme Cameras", canon(fullSettings)), 0x0001, {}},
    };
    for (const auto& c : cases) {
        List l;
        Read(c.file, l.ud);
        EXPECT_EQ(Item(l.ud, c.field), c.value) << c.name;
        if (c.field == 0x0001) {  // the note was not walked, nor stored
            EXPECT_FALSE(Has(l.ud, 0x927C)) << c.name;
        }
    }
}

TEST(ExifWalk, KodakExifValuesAreStoredOnce) {
    Bytes b = TiffHeader(MM, 8);
    PutIfd(b, 0, 8, MM, {AsciiEntry(0x010F, "Kodak"), Long(0x8769, 100, MM), {0x829D, RATIONAL, 1, MM.Rational(28, 10)}}, 0);
    PutIfd(b, 0, 100, MM, {{0x829A, RATIONAL, 1, MM.Rational(1, 60)}}, 0);
    List l;
    Read(b, l.ud);
    EXPECT_EQ(CountUserDataType(l.ud, ExifFieldId(0x829A)), 1);
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x829A)), MM.Rational(1, 60));
    // Outside the EXIF directory a Kodak file's EXIF values still count.
    EXPECT_EQ(Item(l.ud, ExifFieldId(0x829D)), MM.Rational(28, 10));
}

TEST(ExifWalk, CompactCatalogBlock) {
    auto entry = [](std::uint16_t tag, std::uint16_t type, std::uint16_t count, const Bytes& value) {
        return Cat({II.U16(tag), II.U16(type), II.U16(count), Bytes{0, 0}, value});
    };
    Bytes block = Cat({Bytes{'M', 2}, entry(0x829A, RATIONAL, 1, MM.Rational(1, 125)), entry(0x8827, SHORT, 1, MM.U16(400))});
    {
        List l;
        HandleGuard h(NewHandleOf(block));
        EXPECT_TRUE(ExifReadFromTiffBlock(h.h, l.ud));
        EXPECT_EQ(Item(l.ud, ExifFieldId(0x829A)), MM.Rational(1, 125));
        EXPECT_EQ(Item(l.ud, ExifFieldId(0x8827)), MM.U16(400));
    }
    {  // cut inside the second entry's value: the first stands, no read past the end
        List l;
        HandleGuard h(NewHandleOf(Bytes(block.begin(), block.end() - 1)));
        EXPECT_TRUE(ExifReadFromTiffBlock(h.h, l.ud));
        EXPECT_FALSE(Has(l.ud, ExifFieldId(0x8827)));
        HandleGuard count(NewHandleOf(Bytes{'I', 200}));
        EXPECT_FALSE(ExifReadFromTiffBlock(count.h, l.ud));
    }
}

TEST(ExifWalk, RawKindDetection) {
    TempFolder dir;
    auto file = [&](const std::string& name, const Bytes& bytes) {
        WriteBytes(dir / name, bytes);
        return CheckedSpecOf(dir / name);
    };
    auto dcb = [](const std::string& make, const std::string& model, std::uint32_t subIfds) {
        Bytes b = TiffHeader(II, 8);
        PutIfd(b, 0, 8, II, {AsciiEntry(0x010F, make), AsciiEntry(0x0110, model), {0x014A, LONG, subIfds, Bytes(4 * subIfds, 0)}}, 0);
        return b;
    };
    struct Case { const char* name; Bytes bytes; bool checkMakers; OSType kind; } cases[] = {
        {"Canon EOS with two SubIFDs", dcb("Canon", "EOS D2000C", 2), true, 'DCB '},
        {"Kodak DCS", dcb("Kodak", "DCS Pro", 2), true, 'DCB '},
        {"not asked to check makers", dcb("Canon", "EOS D2000C", 2), false, 0},
        {"one SubIFD", dcb("Canon", "EOS D2000C", 1), true, 0},
        {"another maker", dcb("Nikon", "EOS", 2), true, 0},
        {"CRW mark", Cat({TiffHeader(II, 8), II.U32(0xBAB0ACBB)}), false, 'CRW '},
        {"too short", {'I', 'I', 42}, true, 0},
    };
    for (const auto& c : cases) {
        FSSpec spec = file("f.tif", c.bytes);
        EXPECT_EQ(TiffDetectRawKind(&spec, c.checkMakers), c.kind) << c.name;
    }
}

TEST(ExifWalk, MakerCodes) {
    struct Case { const char* make; OSType code; } cases[] = {
        {"Asahi Optical", 'Asah'}, {"PENTAX Corporation", 'PNTX'}, {"NIKON", 'NIKN'}, {"Canon", 'CANN'},
        {"Kodak", 'KODK'}, {"OLYMPUS", 'OLYM'}, {"Minolta Co., Ltd.", 'MLTA'}, {"KONICA MINOLTA", 'MLTA'},
        {"Konica Minolta Camera", 'MLTA'}, {"EASTMAN KODAK", 0}, {"Cano", 0}, {"canon", 0},
    };
    for (auto c : cases) EXPECT_EQ(ExifMakerFromMake(c.make, long(std::strlen(c.make))), c.code) << c.make;
}

}  // namespace
