// The font kinds: the family name from the font's 'name' table (crafted tables, damaged ones,
// a Debian font), registration by edition, the catalog sample and the specimen drawn from a
// real font, and the shared font sample through recognition, information and thumbnail.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/fonts/FontNameTable.h"
#include "media/readers/fonts/FontReader.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Put16(std::string& b, std::uint32_t v) {
    b += char(v >> 8);
    b += char(v);
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

struct NameRecord {
    std::uint16_t platform, nameId;
    std::string text;               // stored as given
    std::int32_t offsetShift = 0;   // moves the stored offset (to point outside the table)
    std::int32_t lengthShift = 0;
};

// A font file holding one table, 'name', with the records; the header is version 1.0 unless
// `otto` is set. tableShift moves the table's stored offset.
std::string MakeFont(const std::vector<NameRecord>& records, bool otto = false, std::int64_t tableShift = 0,
                     std::uint16_t countOverride = 0) {
    std::string strings, table;
    Put16(table, 0);
    Put16(table, countOverride ? countOverride : std::uint16_t(records.size()));
    Put16(table, std::uint16_t(6 + 12 * records.size()));
    for (const NameRecord& r : records) {
        Put16(table, r.platform);
        Put16(table, r.platform == 3 ? 1 : 0);
        Put16(table, 0);
        Put16(table, r.nameId);
        Put16(table, std::uint16_t(std::int32_t(r.text.size()) + r.lengthShift));
        Put16(table, std::uint16_t(std::int32_t(strings.size()) + r.offsetShift));
        strings += r.text;
    }
    table += strings;
    std::string file;
    if (otto) file += "OTTO";
    else Put32(file, 0x00010000);
    Put16(file, 1);
    Put16(file, 16);
    Put16(file, 0);
    Put16(file, 0);
    file += "name";
    Put32(file, 0);
    Put32(file, std::uint32_t(28 + tableShift));
    Put32(file, std::uint32_t(table.size()));
    return file + table;
}

std::string Utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += '\0';
        out += c;
    }
    return out;
}

TEST(FontNameTableTest, TheFamilyComesFromTheFirstUsableEightBitRecord) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* fileName;
        const char* expected;
    };
    const Case cases[] = {
        {"8-bit record", MakeFont({{1, 1, "Crafted"}}), "a.ttf", "Crafted"},
        {"upper-case extension", MakeFont({{1, 1, "Crafted"}}), "A.TTF", "Crafted"},
        {"OpenType header as .otf", MakeFont({{1, 1, "Crafted"}}, true), "a.otf", "Crafted"},
        {"TrueType header named .otf", MakeFont({{1, 1, "Crafted"}}), "a.otf", ""},
        {"OpenType header named .ttf", MakeFont({{1, 1, "Crafted"}}, true), "a.ttf", ""},
        {"other extension", MakeFont({{1, 1, "Crafted"}}), "a.fon", ""},
        {"UTF-16 only", MakeFont({{3, 1, Utf16("Wide")}}), "a.ttf", ""},
        {"UTF-16 passed over", MakeFont({{3, 1, Utf16("Wide")}, {1, 1, "Narrow"}}), "a.ttf", "Narrow"},
        {"style name only", MakeFont({{1, 2, "Regular"}}), "a.ttf", ""},
        {"text ends at its zero", MakeFont({{1, 1, std::string("Cut\0Off", 7)}}), "a.ttf", "Cut"},
        {"no records", MakeFont({}), "a.ttf", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontFamilyNameFromBytes(c.bytes, c.fileName), c.expected) << c.what;
}

TEST(FontNameTableTest, OffsetsAndLengthsOutsideTheTableOrFileGiveNoName) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"string past the table", MakeFont({{1, 1, "Far", 4000}}), ""},
        {"length past the table", MakeFont({{1, 1, "Long", 0, 3000}}), ""},
        {"bad record skipped, good one used", MakeFont({{1, 1, "Far", 4000}, {1, 1, "Near"}}), "Near"},
        {"table past the file", MakeFont({{1, 1, "Crafted"}}, false, 1 << 20), ""},
        {"table offset wraps", MakeFont({{1, 1, "Crafted"}}, false, 0xFFFFFFF0LL - 28), ""},
        {"more records than the table holds", MakeFont({{1, 2, "x"}}, false, 0, 0xFFFF), ""},
        {"header only", MakeFont({{1, 1, "Crafted"}}).substr(0, 12), ""},
        {"eleven bytes", MakeFont({{1, 1, "Crafted"}}).substr(0, 11), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FontFamilyNameFromBytes(c.bytes, "a.ttf"), c.expected) << c.what;
    // Every prefix of a good file is read without harm (the sanitizer pass watches the reads).
    const std::string good = MakeFont({{3, 1, Utf16("Wide")}, {1, 1, "Crafted"}});
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_EQ(FontFamilyNameFromBytes(good.substr(0, n), "a.ttf"), "");
}

TEST(FontNameTableTest, ADebianFontGivesItsFamilyCutToTheBuffer) {
    char name[100];
    ASSERT_TRUE(ReadFontFamilyName(kDejaVu, name, sizeof name));
    EXPECT_STREQ(name, "DejaVu Sans");
    char small[7];
    ASSERT_TRUE(ReadFontFamilyName(kDejaVu, small, sizeof small));
    EXPECT_STREQ(small, "DejaVu");
    EXPECT_FALSE(ReadFontFamilyName("/nowhere/a.ttf", name, sizeof name));
}

// ---- drawing -----------------------------------------------------------------------------------

struct Ink {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

// Dark pixels of a world inside a rectangle.
Ink DarkPixels(GWorldPtr world, int x0, int y0, int x1, int y1) {
    PixelView v = GetGWorldPixels(world);
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            if (p[0] + p[1] + p[2] < 3 * 96) {
                ++ink.count;
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
        }
    return ink;
}

std::vector<std::uint8_t> Pixels(GWorldPtr world) {
    PixelView v = GetGWorldPixels(world);
    std::vector<std::uint8_t> out;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) out.insert(out.end(), v.base + y * v.rowBytes + x * 4, v.base + y * v.rowBytes + x * 4 + 3);
    return out;
}

class FontDrawingTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindFontSample none{};
        KindSetFontSample(&none);
        KindEngineShutdown();
        KindTableClear();
    }
    // A world of w x h with the sample drawn; the size used into *used.
    GWorldPtr Draw(int w, int h, const std::string& text, const KindFontSample& settings, int* used) {
        GWorldPtr world = nullptr;
        const Rect r{0, 0, SInt16(h), SInt16(w)};
        EXPECT_EQ(NewGWorldFromFormat(&world, k32BGRAPixelFormat, &r), noErr);
        *used = DrawFontSample(world, r, text, kDejaVu, "DejaVu Sans", settings);
        return world;
    }
    TempFolder temp;
};

TEST_F(FontDrawingTest, PreviewLettersZeroMeansAAndTheLettersAreWhatIsDrawn) {
    KindFontSample settings{};
    settings.previewStyle = 1;
    auto draw = [&](UInt8 first) {
        settings.letters[0] = first;
        settings.letters[1] = 'y';
        int used = 0;
        GWorldPtr w = Draw(128, 128, "ignored text", settings, &used);
        EXPECT_GT(used, 0);
        std::vector<std::uint8_t> px = Pixels(w);
        DisposeGWorld(w);
        return px;
    };
    const auto zero = draw(0), a = draw('A'), w = draw('W');
    EXPECT_EQ(zero, a);
    EXPECT_NE(a, w);
}

TEST_F(FontDrawingTest, ASampleTooLargeShrinksToTheLargestSizeThatFits) {
    KindFontSample settings{};
    settings.size = 36;
    int big = 0, small = 0, tiny = 0;
    GWorldPtr roomy = Draw(600, 200, "Ay", settings, &big);
    GWorldPtr narrow = Draw(120, 60, "Sphinx of black quartz judge my vow", settings, &small);
    GWorldPtr minute = Draw(4, 4, "Sphinx of black quartz judge my vow", settings, &tiny);
    EXPECT_EQ(big, 36);
    EXPECT_GT(small, 1);
    EXPECT_LT(small, 36);
    EXPECT_EQ(tiny, 1);
    // The shrunk text stays inside its rectangle and leaves the corners white.
    const Ink ink = DarkPixels(narrow, 0, 0, 120, 60);
    EXPECT_GT(ink.count, 20);
    EXPECT_GT(ink.top, 0);
    EXPECT_LT(ink.bottom, 59);
    const Ink roomyInk = DarkPixels(roomy, 0, 0, 600, 200);
    // Centred: about as much white left of the ink as right of it.
    EXPECT_NEAR(roomyInk.left, 599 - roomyInk.right, 4);
    EXPECT_NEAR(roomyInk.top, 199 - roomyInk.bottom, 30);
    for (GWorldPtr w : {roomy, narrow, minute}) DisposeGWorld(w);
}

TEST_F(FontDrawingTest, TheSampleChoicePicksTheText) {
    KindFontSample settings{};
    settings.sampleChoice = 0;
    const std::string full = GetFontSampleText(settings);
    EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), 7);
    EXPECT_EQ(full.substr(0, 27), "abcdefghijklmnopqrstuvwxyz\n");
    EXPECT_NE(full.find("¼½¾¹²³"), std::string::npos);
    EXPECT_NE(full.back(), '\n');
    settings.sampleChoice = 1;
    EXPECT_EQ(GetFontSampleText(settings), "abcdefghijklmnopqrstuvwxyz\nABCDEFGHIJKLMNOPQRSTUVWXYZ\n0123456789 @$€¥£&&¢");
    settings.sampleChoice = 2;
    const char user[] = "Euro \x80 caf\xE9";
    settings.text[0] = sizeof user - 1;
    std::memcpy(settings.text + 1, user, sizeof user - 1);
    EXPECT_EQ(GetFontSampleText(settings), "Euro € café");
}

TEST_F(FontDrawingTest, InfoDrawsTheFamilyNameInASquareAndCountsTheStyles) {
    const std::string path = temp / "Sample.TTF";
    std::filesystem::copy_file(kDejaVu, path);
    FSSpec spec = CheckedSpecOf(path);
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    ASSERT_EQ(FontGetInfo(&spec, &info, nullptr, &world, nullptr, nullptr, 0, 0, 96), noErr);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]), "TrueType");
    EXPECT_EQ(info.pages, 1u);
    const PixelView v = GetGWorldPixels(world);
    EXPECT_EQ(v.width, 96);
    EXPECT_EQ(v.height, 96);
    const Ink ink = DarkPixels(world, 0, 0, 96, 96);
    EXPECT_GT(ink.count, 50);
    EXPECT_EQ(DarkPixels(world, 0, 0, 3, 3).count, 0);
    DisposeGWorld(world);
    // The font was private to the call: the process's own fonts are as they were.
    EXPECT_EQ(FcConfigGetFonts(FcConfigGetCurrent(), FcSetApplication), nullptr);
}

TEST_F(FontDrawingTest, FilesThatAreNotUsableFontsAreDeclined) {
    const std::string name = MakeFont({{1, 1, "Crafted"}});  // a name but no glyphs
    struct Case {
        const char* file;
        std::string bytes;
    };
    const std::string dejavu = Slurp(kDejaVu);
    const Case cases[] = {
        {"crafted.ttf", name},
        {"wrongname.otf", dejavu},
        {"empty.ttf", ""},
        {"truncated.ttf", dejavu.substr(0, 4096)},
        {"garbage.ttf", std::string(2048, '\xFF')},
    };
    for (const Case& c : cases) {
        FSSpec spec = CheckedSpecOf(temp.Write(c.file, c.bytes));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        const OSErr err = FontGetInfo(&spec, &info, nullptr, &world, nullptr, nullptr, 0, 0, 64);
        if (std::string(c.file) == "truncated.ttf") {
            // FreeType may still load what is left; whatever it does, nothing is harmed.
            if (world) DisposeGWorld(world);
            continue;
        }
        EXPECT_EQ(err, kReaderDeclinesErr) << c.file;
        EXPECT_EQ(world, nullptr) << c.file;
        UInt32 index = 0;
        EXPECT_EQ(FontMakeThumbnail(&spec, &world, 64, 'TTF ', &index, 0), kReaderDeclinesErr) << c.file;
        EXPECT_EQ(world, nullptr);
    }
}

TEST_F(FontDrawingTest, TheSpecimenHasAFrameACaptionBandAndTheChosenStyle) {
    KindFontSample settings{};
    settings.size = 24;
    settings.sampleChoice = 1;
    KindSetFontSample(&settings);
    FSSpec spec = CheckedSpecOf(kDejaVuBold);
    GWorldPtr world = nullptr;
    UInt32 index = 0;
    ASSERT_EQ(FontMakeThumbnail(&spec, &world, 128, 'TTF ', &index, 0), noErr);
    EXPECT_EQ(index, 1u) << "style 0 becomes 1 and is written back";
    const PixelView v = GetGWorldPixels(world);
    // Three lines at 24 pixels, wider than the 26 letters.
    EXPECT_GT(v.height, 3 * 24);
    EXPECT_GT(v.width, 200);
    // The frame is black, the band along the bottom is black with the white caption in it.
    EXPECT_EQ(DarkPixels(world, 0, 0, v.width, 1).count, v.width);
    EXPECT_EQ(DarkPixels(world, 0, 0, 1, v.height).count, v.height);
    const int bandTop = v.height - 15;
    const Ink band = DarkPixels(world, 1, bandTop, v.width - 1, v.height - 1);
    const int bandPixels = (v.width - 2) * (v.height - 1 - bandTop);
    EXPECT_LT(band.count, bandPixels) << "the caption shows in white";
    EXPECT_GT(band.count, bandPixels / 2);
    // Between the frame and the band the sample is drawn on white.
    const Ink sample = DarkPixels(world, 2, 2, v.width - 2, bandTop - 12);
    EXPECT_GT(sample.count, 200);
    DisposeGWorld(world);
    index = 2;
    EXPECT_EQ(FontMakeThumbnail(&spec, &world, 128, 'TTF ', &index, 0), paramErr) << "the file holds one style";
    EXPECT_EQ(world, nullptr);
}

// ---- registration and the engine -----------------------------------------------------------------

TEST(FontRegistrationTest, FontKindsAreRegisteredUnderEditions200And500AndNotUnder400) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (const auto& [file, type] : {std::pair{"a.ttf", OSType('TTF ')}, std::pair{"b.OTF", OSType('OTF ')}}) {
            FSSpec spec = SpecOf(std::string("/nowhere/") + file);
            EXPECT_EQ(KindTypeFromExtension(&spec, nullptr), edition == 400 ? 0 : type) << edition << file;
            if (edition != 400) {
                EXPECT_EQ(KindGetHandler(type), kKindHandlerFont);
                EXPECT_EQ(KindGetCategory(type), kKindCategoryFont);
            }
        }
        Str63 name;
        if (edition != 400) {
            ASSERT_TRUE(KindGetName('OTF ', name));
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "OpenType Font");
        }
        KindEngineShutdown();
        KindTableClear();
    }
}

TEST_F(FontDrawingTest, TheSharedSampleAndADebianFontPassThroughTheEngine) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    std::filesystem::copy_file(kDejaVu, temp / "DejaVu.ttf");
    for (const std::string& path : {kSamples + "Font.ttf", temp / "DejaVu.ttf"}) {
        SCOPED_TRACE(path);
        KindFileRec file;
        FSSpec spec = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        EXPECT_EQ(file.type, OSType('TTF '));
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        const OSErr err = KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording);
        if (path == temp / "DejaVu.ttf") {
            EXPECT_EQ(err, noErr);
            EXPECT_NE(thumb, nullptr);
        }
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        const OSErr tErr = KindMakeThumbnail(&spec, &world, kKindDisplaySize, 'TTF ', &index, 0);
        if (path == temp / "DejaVu.ttf") {
            EXPECT_EQ(tErr, noErr);
        }
        if (world) DisposeGWorld(world);
    }
}

}  // namespace
