// The engine start (which families register, in which order, under which codes), the rules of
// the movie and graphics importer registrations, and the recognition of a file's kind from
// its name and first bytes.
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindRegistration.h"
#include "media/kinds/KindTable.h"
#include "media/readers/graphics/GraphicsImporterHandler.h"
#include "platform/ByteOrder.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Name(OSType type) {
    Str63 n;
    KindGetName(type, n);
    return std::string(reinterpret_cast<char*>(n + 1), n[0]);
}

int gFamilyCalls = 0;
void CountingFamily() {
    ++gFamilyCalls;
    KindRegister('FONT', kKindHandlerFont, "Font", kKindCategoryFont);
}

class KindEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { KindEngineAddFamily(KindFamilyStep::Fonts, CountingFamily); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(KindEngineTest, Edition400RegistersWindowsMediaThenMoviesThenImagesThenOfficeDocuments) {
    gFamilyCalls = 0;
    ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
    EXPECT_EQ(gFamilyCalls, 0);  // the step-7 families are not part of this edition
    struct {
        OSType type;
        UInt8 handler;
        UInt8 category;
        const char* name;
    } expect[] = {
        {'AVI ', 3, 2, "Video File"},              // Windows media before the movie importers
        {'MPEG', 3, 2, "Mpeg Video File"},
        {'MPG ', 3, 2, "Mpeg Video File"},
        {'WMA ', 3, 1, "Windows Media Audio File"},
        {'MooV', 2, 2, "QuickTime Movie"},
        {'MOV ', 2, 2, "QuickTime Movie"},
        {'sfil', 2, 1, "System Sound"},
        {'AIFF', 2, 1, "AIFF"},
        {'KAR ', 2, 2, "Karaoke"},
        {'MP3 ', 2, 1, "MP3"},
        {'GIFf', 2, 2, "GIF"},                      // only the movie family takes GIF
        {'JPEG', 1, 0, "JPEG"},                     // the "JFIF" importer
        {'TIFF', 1, 0, "TIFF"},
        {'DCBa', 1, 0, "TIFF"},
        {'8BPS', 1, 0, "Photoshop"},
        {'BMP ', 1, 0, "BMP"},
        {'PDF ', 7, 0, "Adobe Acrobat Document"},  // Image under this edition
        {'DOC ', 7, 0, "Word Document"},
    };
    for (auto& e : expect) {
        EXPECT_EQ(KindGetHandler(e.type), e.handler) << std::string(reinterpret_cast<const char*>(&e.type), 4);
        EXPECT_EQ(KindGetCategory(e.type), e.category) << Name(e.type);
        EXPECT_EQ(Name(e.type), e.name);
    }
    EXPECT_TRUE(KindHasCoreImporters());
    const KindTable& t = KindGetTableRecord();
    for (UInt32 i = 0; i < t.count; ++i) {
        UInt8 h = t.handlers[i];
        EXPECT_TRUE(h == 1 || h == 2 || h == 3 || h == 7) << "row " << i << " handler " << int(h);
    }
    EXPECT_EQ(t.types[0], OSType('ASF '));
    EXPECT_FALSE(KindHasCategory(kKindCategoryFont));
}

TEST_F(KindEngineTest, Edition200RunsTheOtherFamiliesAndLeavesWindowsMediaToTheMovieImporters) {
    gFamilyCalls = 0;
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    EXPECT_EQ(gFamilyCalls, 1);
    EXPECT_EQ(KindGetHandler('FONT'), kKindHandlerFont);
    EXPECT_EQ(KindGetHandler('AVI '), kKindHandlerMovieImporter);
    EXPECT_EQ(KindGetHandler('MPEG'), kKindHandlerMovieImporter);
    EXPECT_EQ(Name('MPG '), "MPEG");
    // The office and PDF rows come with the built-in readers' own registration here, as
    // documents (under 400 the engine registers them itself, as images).
    EXPECT_EQ(KindGetHandler('DOC '), kKindHandlerBuiltin);
    EXPECT_EQ(KindGetCategory('DOC '), kKindCategoryText);
    Str63 n;
    EXPECT_TRUE(KindGetName('DOC ', n));
}

TEST_F(KindEngineTest, MovieImporterRegistrationRules) {
    KindTableClear();
    const UInt32 F = kMovieImportFileFlags;
    const MovieImporterComponentInfo list[] = {
        {'AIFF', 'soun', F, "AIFF Importer", "", ""},
        {'NINE', 'appl', F, " Importer", "", ""},        // nine characters: kept
        {'KAR ', 'musi', F, "Karaoke", "", ""},
        {'Midi', 'musi', F, "MIDI", "", ""},
        {'RTSP', 'strm', F, "Streaming", "", ""},
        {'SMIL', 'appl', F, "SMIL", "", ""},
        {'TEXT', 'appl', F, "Text Importer", "", ""},
        {'NOFL', 'appl', 0x0002, "No Flags", "", ""},
        {'MPEG', 'appl', F, "MPEG Importer", "", ""},
        {'Mp3 ', 'soun', F, "MPEG Layer-3 Audio Importer", "", ""},
        {'MPG3', 'soun', F, "MPEG Layer-3 Audio", "", ""},
        {'DICM', 'appl', F, "DICOM Importer", "", ""},
        {'DV  ', 'appl', F, "DV Importer", "", ""},
    };
    KindRegisterMovieImporterList(list, int(sizeof list / sizeof list[0]));
    struct {
        OSType type;
        const char* name;
        UInt8 category;
    } expect[] = {
        {'AIFF', "AIFF", 1},  {'NINE', " Importer", 2}, {'KAR ', "Karaoke", 2}, {'Midi', "MIDI", 1},
        {'MPG ', "MPEG", 2},  {'MPEG', "MPEG", 2},      {'MP3 ', "MP3", 1},     {'Mp3 ', "MP3", 1},
        {'MPG3', "MP3", 1},   {'DIC ', "DICOM Importer", 2}, {'DICM', "DICOM", 2}, {'DV  ', "DV", 2},
    };
    for (auto& e : expect) {
        EXPECT_EQ(Name(e.type), e.name);
        EXPECT_EQ(KindGetCategory(e.type), e.category) << e.name;
        EXPECT_EQ(KindGetHandler(e.type), kKindHandlerMovieImporter) << e.name;
    }
    Str63 n;
    for (OSType skipped : {OSType('RTSP'), OSType('SMIL'), OSType('TEXT'), OSType('NOFL')})
        EXPECT_FALSE(KindGetName(skipped, n));
    const KindTable& t = KindGetTableRecord();
    EXPECT_EQ(t.types[4], OSType('MPG '));  // before 'MPEG'
    EXPECT_EQ(t.types[5], OSType('MPEG'));
    EXPECT_EQ(t.types[6], OSType('MP3 '));  // once, before the first MP3 importer
}

TEST_F(KindEngineTest, GraphicsImporterRegistrationRulesAndTheImporterListLimit) {
    KindTableClear();
    std::vector<GraphicsImporterComponentInfo> list = {
        {'JPEG', 'appl', "JFIF", "", "", nullptr}, {'GIFf', 'appl', "GIF", "", "", nullptr},
        {'GIF ', 'appl', "GIF", "", "", nullptr},  {'PDF ', 'appl', "PDF", "", "", nullptr},
        {'grip', 'appl', "Base", "", "", nullptr}, {'PNTG', 'appl', "MacPaint", "", "", nullptr},
    };
    KindRegisterGraphicsImporterList(list.data(), int(list.size()));
    EXPECT_EQ(Name('JPEG'), "JPEG");
    EXPECT_EQ(Name('PNTG'), "MacPaint");
    Str63 n;
    for (OSType skipped : {OSType('GIFf'), OSType('GIF '), OSType('PDF '), OSType('grip')}) EXPECT_FALSE(KindGetName(skipped, n));
    for (OSType t : {OSType('DCBa'), OSType('FAX '), OSType('RICH')}) EXPECT_EQ(Name(t), "TIFF");
    EXPECT_EQ(Name('EXIF'), "JPEG");
    EXPECT_EQ(Name('Expn'), "JacqCAD");
    EXPECT_EQ(Name('CRI '), "GE Medical CRI");
    EXPECT_EQ(GraphicsImporterListCount(), 2);

    // Importers are listed even when the table refuses their type; at most 200 of them.
    std::vector<GraphicsImporterComponentInfo> many;
    for (int i = 0; i < 250; ++i) many.push_back({OSType('G000' + i), 'appl', "Many", "", "", nullptr});
    KindTableClear();
    KindRegisterGraphicsImporterList(many.data(), int(many.size()));
    EXPECT_EQ(GraphicsImporterListCount(), kImporterListCapacity);
    EXPECT_EQ(KindGetTableRecord().count, 255u);
}

TEST_F(KindEngineTest, TypeFromTheNameOfAFile) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
    KindRegister('DFNT', 4, "Font", 5);
    KindRegister('HTML', 9, "Web Page", 7);
    TempFolder t;
    const UInt8 imageOnly[1] = {0x80};  // bit 0 (Image), counted from the high bit
    const UInt8 videoOnly[1] = {0x20};  // bit 2 (Video)
    struct {
        const char* name;
        const UInt8* categories;
        OSType expect;
    } cases[] = {
        {"photo.JPG", nullptr, 'JPEG'},  {"photo.jpeg", nullptr, 'JPEG'}, {"movie.mov", nullptr, 'MooV'},
        {"scan.tif", nullptr, 'TIFF'},   {"anim.gif", nullptr, 'GIFf'},   {"pic.png", nullptr, 'PNG '},
        {"Icon\r", nullptr, 0},          {"sans.dfont", nullptr, 'DFNT'}, {"a.b.html", nullptr, 'HTML'},
        {"x.abcde", nullptr, 0},         {"trailing.", nullptr, 0},       {"noextension", nullptr, 0},
        {"mask.msk", nullptr, 0},        {"clip.avi", nullptr, 'AVI '},   {"clip.avi", imageOnly, 0},
        {"clip.avi", videoOnly, 'AVI '}, {"photo.jpg", imageOnly, 'JPEG'}, {"notes.txt", nullptr, 0},
    };
    for (auto& c : cases) {
        FSSpec s = SpecOf(t.Write(c.name, "x"));
        EXPECT_EQ(KindTypeFromExtension(&s, c.categories), c.expect) << c.name;
    }
    // Without a 'JPG ' row the extension is not recognised.
    KindTableClear();
    KindRegister('JPEG', 1, "JPEG", 0);
    FSSpec jpg = SpecOf(t / "photo.JPG");
    EXPECT_EQ(KindTypeFromExtension(&jpg, nullptr), 0u);
}

TEST_F(KindEngineTest, ContentDecidesTheTypeOfTextFiles) {
    TempFolder t;
    std::string late(1100, ' ');
    late.replace(1050, 6, "<HTML>");
    struct {
        const char* name;
        std::string bytes;
        OSType type;
        OSType expect;
        UInt8 category;  // 99: not written
    } cases[] = {
        {"a", "%!PS-Adobe-3.0 EPSF <html> more", 'TEXT', 'EPSF', 3},
        {"b", "junk <html> then %PDF-1.4 body", 'TEXT', 'HTML', 7},
        {"c", "%PDF-1.3 and a long enough text", 'TXT ', 'PDF ', 4},
        {"d", "{QTtext}{font:Geneva}", 'AI  ', 'MooV', 2},
        {"e", "tiny", 'TEXT', 'TEXT', 99},
        {"f", late, 'TEXT', 'TEXT', 99},                 // the marker lies past the first 1,023 bytes
        {"g", "plain words only here", 'TEXT', 'TEXT', 99},
        {"h", "anything", 'FAX ', 'TIFF', 99},
        {"i", "anything", 'DCM ', 'DICM', 99},
        {"j", "anything", 'EXIF', 'JPEG', 99},
        {"k", "anything", 'Expn', 'PICT', 99},
        {"l", "anything", 'GIF ', 'GIFf', 99},
        {"m", "anything", 'PNGf', 'PNGf', 99},
    };
    for (auto& c : cases) {
        FSSpec s = SpecOf(t.Write(c.name, c.bytes));
        UInt8 category = 99;
        EXPECT_EQ(KindSniffType(c.type, &s, &category), c.expect) << c.name;
        EXPECT_EQ(category, c.category) << c.name;
        EXPECT_EQ(KindSniffType(c.type, &s, nullptr), c.expect) << c.name;
    }
    FSSpec missing = SpecOf(t / "missing.txt");
    EXPECT_EQ(KindSniffType('TEXT', &missing, nullptr), OSType('TEXT'));
}

TEST_F(KindEngineTest, FileRecordFromTheCatalogInformation) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
    TempFolder t;
    FSSpec s = SpecOf(t.Write("photo.jpg", std::string(1234, 'j')));
    KindFileRec rec;
    ASSERT_EQ(KindTypeOfFileSpec(&s, &rec), noErr);
    EXPECT_EQ(rec.type, OSType('JPEG'));
    EXPECT_EQ(rec.size, 1234u);
    EXPECT_EQ(rec.spec.path, s.path);
    EXPECT_GT(rec.modified, 3000000000u);  // a date after 1999 in Mac seconds
    FSSpec other = SpecOf(t.Write("notes.txt", "text"));
    EXPECT_EQ(KindTypeOfFileSpec(&other, &rec), kNoImporterForTypeErr);

    // The stored form: little-endian numbers and the spec's stored record.
    rec.type = 'JPEG';
    rec.creator = 'ABCD';
    rec.size = 0x01020304;
    rec.spec = s;
    KindFileRecord stored;
    ASSERT_EQ(KindFileRecToRecord(rec, &stored), noErr);
    const auto* b = reinterpret_cast<const std::uint8_t*>(&stored);
    EXPECT_EQ(ReadLE32(b), OSType('JPEG'));
    EXPECT_EQ(ReadLE32(b + 8), 0x01020304u);
    KindFileRec back;
    ASSERT_EQ(KindFileRecFromRecord(stored, &back), noErr);
    EXPECT_EQ(back.type, rec.type);
    EXPECT_EQ(back.creator, rec.creator);
    EXPECT_EQ(back.spec.path, s.path);
}

TEST_F(KindEngineTest, SettersStoreTheirValues) {
    RGBColor grey{0x8000, 0x8000, 0x8000};
    KindSetThumbBackground(&grey);
    KindSetImporterOptionA(1);
    KindSetImporterOptionB(1);
    KindSetImporterHook(kKindProfileNone);
    KindSetKodakLook(0x0102);
    KindSetTextPreviewFont(3, 12);
    ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);  // the start keeps what was pushed in
    const KindEngineState& g = KindEngineGlobals();
    EXPECT_EQ(g.thumbBackground.red, 0x8000);
    EXPECT_EQ(g.importerOptionA, 1);
    EXPECT_EQ(g.importerOptionB, 1);
    EXPECT_EQ(g.profileOverride, kKindProfileNone);
    EXPECT_EQ(g.kodakLook, 0x0102u);
    EXPECT_EQ(g.textPreviewSize, 12);
    KindSetImporterOptionA(0);
    KindSetImporterOptionB(0);
    KindSetImporterHook(kKindProfileFromFile);
    RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    KindSetThumbBackground(&white);
}

}  // namespace
