// PostScript pages drawn by Ghostscript in a child process (a red square in, a red square out,
// cropped to the bounding box at the asked size), hostile files that try to read or write
// other files, run for ever or take all memory, the readers' switches and their refusal of PDF,
// registration by edition, Illustrator files that are PDF underneath, and the shared sample
// through recognition, information and thumbnail.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/postscript/EpsHeader.h"
#include "media/readers/postscript/PostScriptReader.h"
#include "media/readers/postscript/PostScriptRender.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>

#include <filesystem>
#include <string>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

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
bool IsGreen(const Rgb& c) {
    return c.g > 100 && c.r < 60 && c.b < 60;
}

// An EPS page of 100 x 50 points placed at (200, 300) on the page: white, with a red square
// over its middle 50 points.
std::string RedSquareEps() {
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 200 300 300 350\n%%EndComments\n"
           "1 1 1 setrgbcolor 200 300 100 50 rectfill\n1 0 0 setrgbcolor 225 300 50 50 rectfill\nshowpage\n";
}

// A page that paints itself red when the operation is refused and green when it went through.
std::string Probe(const std::string& operation) {
    return "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n"
           "{ " + operation + " } stopped { 1 0 0 } { 0 1 0 } ifelse setrgbcolor 0 0 20 20 rectfill showpage\n";
}

class PostScriptTest : public ::testing::Test {
protected:
    void SetUp() override { saved = PostScriptGetRenderLimits(); }
    void TearDown() override {
        PostScriptSetRenderLimits(saved);
        KindEngineShutdown();
        KindTableClear();
        EpsEnabled() = 0;
    }
    TempFolder temp;
    PostScriptRenderLimits saved;
};

TEST_F(PostScriptTest, APageIsCroppedToItsBoxAndDrawnAtTheAskedSize) {
    FSSpec spec = CheckedSpecOf(temp.Write("square.eps", RedSquareEps()));
    for (int side : {200, 64}) {
        SCOPED_TRACE(side);
        GWorldPtr world = nullptr;
        ASSERT_EQ(PostScriptRenderPage(&spec, 100, 50, side, &world), noErr);
        const PixelView v = GetGWorldPixels(world);
        EXPECT_EQ(v.width, side);
        EXPECT_EQ(v.height, side / 2);
        const int w = v.width, h = v.height;
        EXPECT_TRUE(IsRed(Pixel(world, w / 2, h / 2)));
        EXPECT_TRUE(IsRed(Pixel(world, w * 3 / 10, h - 2)));
        EXPECT_FALSE(IsRed(Pixel(world, w / 10, h / 2))) << "white left of the square";
        EXPECT_FALSE(IsRed(Pixel(world, w * 9 / 10, h / 2))) << "white right of the square";
        DisposeGWorld(world);
    }
}

TEST_F(PostScriptTest, HostileFilesCannotReadOrWriteOtherFiles) {
    const std::string secret = temp.Write("secret.txt", "not for PostScript");
    const std::string target = temp / "written.txt";
    struct Case {
        const char* what;
        std::string operation;
    };
    const Case cases[] = {
        {"read a neighbour", "(" + secret + ") (r) file pop"},
        {"read the password list", "(/etc/passwd) (r) file pop"},
        {"write a file", "(" + target + ") (w) file dup (x) writestring closefile"},
        {"run a command", "(%pipe%touch " + target + ") (w) file closefile"},
        {"delete a file", "(" + secret + ") deletefile"},
        {"rename a file", "(" + secret + ") (" + target + ") renamefile"},
        {"switch safety off, then read",
         "{ << /NOSAFER true >> setuserparams } stopped pop { false .setsafe } stopped pop "
         "{ << /PermitFileReading [ (*) ] >> setuserparams } stopped pop (" + secret + ") (r) file pop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("probe.eps", Probe(c.operation)));
        GWorldPtr world = nullptr;
        ASSERT_EQ(PostScriptRenderPage(&spec, 20, 20, 20, &world), noErr);
        EXPECT_TRUE(IsRed(Pixel(world, 10, 10))) << "the operation was refused";
        DisposeGWorld(world);
        EXPECT_FALSE(std::filesystem::exists(target));
        EXPECT_TRUE(std::filesystem::exists(secret));
    }
    // The probe itself works: an operation that is allowed paints green.
    FSSpec spec = CheckedSpecOf(temp.Write("allowed.eps", Probe("1 2 add pop")));
    GWorldPtr world = nullptr;
    ASSERT_EQ(PostScriptRenderPage(&spec, 20, 20, 20, &world), noErr);
    EXPECT_TRUE(IsGreen(Pixel(world, 10, 10)));
    DisposeGWorld(world);
}

TEST_F(PostScriptTest, FilesThatRunForEverOrTakeAllMemoryAreStopped) {
    PostScriptSetRenderLimits({2, 256u << 20});
    struct Case {
        const char* what;
        std::string body;
    };
    const Case cases[] = {
        {"endless loop", "{ } loop\n"},
        {"endless loop that catches its errors", "{ { 1 1 add pop } stopped pop } loop\n"},
        {"memory without end", "/keep [ 1 1 100000 { pop 10000000 string } for ] def\n"},
        {"PostScript errors", "this is not postscript\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("hostile.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 20 20\n" + c.body));
        GWorldPtr world = nullptr;
        EXPECT_EQ(PostScriptRenderPage(&spec, 20, 20, 20, &world), kPostScriptRenderErr);
        EXPECT_EQ(world, nullptr);
    }
    FSSpec missing = SpecOf(temp / "missing.eps");
    GWorldPtr world = nullptr;
    EXPECT_EQ(PostScriptRenderPage(&missing, 20, 20, 20, &world), fnfErr);
}

TEST_F(PostScriptTest, TheReadersGiveInformationAndPictures) {
    EpsEnabled() = 1;
    FSSpec spec = CheckedSpecOf(temp.Write("square.eps", RedSquareEps()));
    KindInfoRec info{};
    info.type = 'EPSF';
    GWorldPtr world = nullptr;
    PicHandle picture = nullptr;
    UserData metadata = nullptr;
    NewUserData(&metadata);
    ASSERT_EQ(PostScriptGetInfo(&spec, &info, &picture, &world, metadata, nullptr, 0, 0, 128), noErr);
    EXPECT_EQ(info.width, 100u);
    EXPECT_EQ(info.height, 50u);
    EXPECT_EQ(picture, nullptr);
    ASSERT_NE(world, nullptr) << "a page without a preview of its own is drawn";
    EXPECT_EQ(GetGWorldPixels(world).width, 128);
    EXPECT_TRUE(IsRed(Pixel(world, 64, 32)));
    DisposeGWorld(world);
    DisposeUserData(metadata);

    UInt32 index = 1;
    ASSERT_EQ(PostScriptMakeThumbnail(&spec, &world, kKindDisplaySize, 'EPS ', &index, 0), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 100) << "its own size is a pixel a point";
    DisposeGWorld(world);
}

TEST_F(PostScriptTest, TheThumbnailFallsBackToTheIllustratorThumbnail) {
    EpsEnabled() = 1;
    // The page cannot be drawn (its procedures are missing), but the comments hold a thumbnail.
    std::string table(768, '\0');
    table[3] = char(0xFF);
    std::string hex;
    for (unsigned char c : table + std::string(4, '\1')) {
        static const char kDigits[] = "0123456789ABCDEF";
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    std::string body;
    for (std::size_t i = 0; i < hex.size(); i += 64) body += "%" + hex.substr(i, 64) + "\n";
    FSSpec spec = CheckedSpecOf(temp.Write(
        "art.ai", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 20 20\n%AI7_Thumbnail: 2 2 8\n%%BeginData: 10 Hex Bytes\n" + body +
                      "%%EndData\n%%EndComments\nundefinedprocedure\n"));
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(PostScriptMakeThumbnail(&spec, &world, 128, 'AI  ', &index, 0), noErr);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(GetGWorldPixels(world).width, 2);
    EXPECT_TRUE(IsRed(Pixel(world, 1, 1)));
    DisposeGWorld(world);

    FSSpec nothing = CheckedSpecOf(temp.Write("empty.eps", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 20 20\nnonsense\n"));
    EXPECT_EQ(PostScriptMakeThumbnail(&nothing, &world, 128, 'EPSF', &index, 0), kEpsNoPreviewErr);
    EXPECT_EQ(world, nullptr);
}

TEST_F(PostScriptTest, PdfAndSwitchedOffReadersAreRefused) {
    FSSpec spec = CheckedSpecOf(temp.Write("square.eps", RedSquareEps()));
    for (UInt8 enabled : {0, 2, 1}) {
        EpsEnabled() = enabled;
        for (OSType type : {'PDF ', 'EPSF'}) {
            if (enabled == 1 && type == 'EPSF') continue;
            KindInfoRec info{};
            info.type = type;
            GWorldPtr world = nullptr;
            EXPECT_EQ(PostScriptGetInfo(&spec, &info, nullptr, &world, nullptr, nullptr, 0, 0, 64), kPostScriptRefusedErr);
            UInt32 index = 1;
            EXPECT_EQ(PostScriptMakeThumbnail(&spec, &world, 64, type, &index, 0), kPostScriptRefusedErr);
            EXPECT_EQ(world, nullptr);
            EXPECT_EQ(info.width, 0u);
        }
    }
}

TEST_F(PostScriptTest, TheKindsAreRegisteredUnderEditions200And500) {
    for (SInt32 edition : {200, 400, 500}) {
        SCOPED_TRACE(edition);
        EpsEnabled() = 0;
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (OSType type : {'EPSF', 'EPSP', 'EPS ', 'AI  '}) {
            if (edition == 400) {
                EXPECT_NE(KindGetHandler(type), kKindHandlerPostScript);
            } else {
                EXPECT_EQ(KindGetHandler(type), kKindHandlerPostScript);
                EXPECT_EQ(KindGetCategory(type), kKindCategoryIllustration);
            }
        }
        EXPECT_EQ(EpsEnabled(), edition == 400 ? 0 : 1);
        KindEngineShutdown();
        KindTableClear();
    }
}

// A one-page PDF of 100 x 100 points with a red square in its middle half.
void WritePdf(const std::string& path) {
    cairo_surface_t* s = cairo_pdf_surface_create(path.c_str(), 100, 100);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 25, 25, 50, 50);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    cairo_surface_destroy(s);
}

TEST_F(PostScriptTest, FilesReadThroughTheEngine) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 500, 200), noErr);
    WritePdf(temp / "compatible.ai");
    struct Case {
        std::string path;
        OSType type;
        UInt32 width, height;
        bool redMiddle;
    };
    const Case cases[] = {
        {kSamples + "PostScript.eps", 'EPS ', 8, 8, false},
        {temp.Write("square.eps", RedSquareEps()), 'EPS ', 100, 50, true},
        {temp.Write("drawing.ai", RedSquareEps()), 'EPSF', 100, 50, true},
        {temp / "compatible.ai", 'PDF ', 0, 0, true},  // PDF underneath: the document reader's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        KindFileRec file;
        FSSpec spec = SpecOf(c.path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        EXPECT_EQ(info.type, c.type);
        if (c.width) {
            EXPECT_EQ(info.width, c.width);
            EXPECT_EQ(info.height, c.height);
        }
        EXPECT_NE(thumb, nullptr);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        ASSERT_EQ(KindMakeThumbnail(&spec, &world, 128, file.type, &index, 0), noErr);
        ASSERT_NE(world, nullptr);
        const PixelView v = GetGWorldPixels(world);
        if (c.redMiddle) EXPECT_TRUE(IsRed(Pixel(world, v.width / 2, v.height / 2)));
        DisposeGWorld(world);
    }
}

}  // namespace
