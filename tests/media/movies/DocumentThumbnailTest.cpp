// Document thumbnails: the first page of a PDF, the thumbnail an OOXML or OpenDocument package
// names or holds, and -192 for documents without one.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/documents/ShellDocuments.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

// A one-page PDF of the size (points): red on the left half, blue on the right.
void MakePdf(const std::string& path, double w, double h) {
    cairo_surface_t* s = cairo_pdf_surface_create(path.c_str(), w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, w / 2, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_rectangle(cr, w / 2, 0, w / 2, h);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    cairo_surface_destroy(s);
}

void MakeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

std::uint32_t PixelAt(GWorldPtr w, int x, int y) {
    PixelView px = GetGWorldPixels(w);
    return reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xFFFFFF;
}

std::pair<int, int> SizeOf(GWorldPtr w) {
    Rect b = GetPortBounds(w);
    return {b.right - b.left, b.bottom - b.top};
}

class DocumentThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
};

TEST_F(DocumentThumbnailTest, APdfShowsItsFirstPageFittedIntoTheSize) {
    TempFolder t;
    std::string path = t / "wide.pdf";
    MakePdf(path, 400, 200);
    GWorldPtr w = ShellDocumentBitmap(path, 100);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SizeOf(w), std::make_pair(100, 50));
    EXPECT_EQ(PixelAt(w, 20, 25), 0xFF0000u);
    EXPECT_EQ(PixelAt(w, 80, 25), 0x0000FFu);
    DisposeGWorld(w);

    // Through the dispatch: a PDF is an image kind of the built-in readers with a real thumbnail.
    KindFileRec file;
    FSSpec s = SpecOf(path);
    ASSERT_EQ(KindTypeOfFileSpec(&s, &file), noErr);
    EXPECT_EQ(KindGetHandler(file.type), kKindHandlerBuiltin);
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 1, 1, 160, &thumb, nullptr, nullptr, nullptr), noErr);
    EXPECT_NE(thumb, nullptr);
    if (thumb) DisposeHandle(thumb);
    GWorldPtr big = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(KindMakeThumbnail(&s, &big, 160, file.type, &index, 0), noErr);
    EXPECT_EQ(SizeOf(big), std::make_pair(600, 300));  // a PDF's thumbnail size is 600
    DisposeGWorld(big);
}

TEST_F(DocumentThumbnailTest, PackagesGiveTheThumbnailTheyCarry) {
    // The shared OOXML and OpenDocument samples carry a JPEG and a PNG.
    for (const char* name : {"OOXML.docx", "OpenDoc.ods"}) {
        SCOPED_TRACE(name);
        GWorldPtr w = ShellDocumentBitmap(kSamples + name, 800);
        ASSERT_NE(w, nullptr);
        auto [width, height] = SizeOf(w);
        EXPECT_GT(width, 0);
        EXPECT_LE(width, 800);
        EXPECT_LE(height, 800);
        DisposeGWorld(w);
    }
    // A package whose relationships name a thumbnail elsewhere: that one is taken, shrunk to fit.
    TempFolder t;
    std::string png = fixtures::Png(64, 32, fixtures::PngKind::Rgb);
    std::string rels =
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
        "thumbnail\" Target=\"/media/cover.png\"/></Relationships>";
    std::string path = t / "named.docx";
    MakeZip(path, {{"_rels/.rels", rels}, {"media/cover.png", png}, {"word/document.xml", "<w/>"}});
    GWorldPtr w = ShellDocumentBitmap(path, 16);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SizeOf(w), std::make_pair(16, 8));
    DisposeGWorld(w);
}

TEST_F(DocumentThumbnailTest, DocumentsWithoutAThumbnailAnswerMinus192) {
    TempFolder t;
    std::string noThumb = t / "plain.doc";
    MakeZip(noThumb, {{"word/document.xml", "<w/>"}});
    std::string badThumb = t / "broken.doc";
    MakeZip(badThumb, {{"docProps/thumbnail.jpeg", std::string("\xFF\xD8\xFF\xE0 not really", 15)}});
    std::string badPdf = t.Write("broken.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog >> garbage");
    for (const std::string& path : {kSamples + "FlashPix.ppt", noThumb, badThumb, badPdf}) {
        SCOPED_TRACE(path);
        KindFileRec file;
        FSSpec s = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&s, &file), noErr);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 1, 1, 160, &thumb, nullptr, nullptr, nullptr), resNotFound);
        EXPECT_EQ(thumb, nullptr);
        GWorldPtr w = nullptr;
        UInt32 index = 1;
        EXPECT_EQ(KindMakeThumbnail(&s, &w, 160, file.type, &index, 0), resNotFound);
        EXPECT_EQ(w, nullptr);
    }
}

TEST(DocumentThumbnailSize, ComesFromTheExtension) {
    const std::pair<OSType, SInt32> cases[] = {{'DOC ', 1123}, {'DOT ', 1123}, {'XLS ', 347}, {'XLT ', 347},
                                               {'PPT ', 815},  {'POT ', 815},  {'PDF ', 600}, {'DOCX', 800}};
    for (const auto& [type, size] : cases) EXPECT_EQ(ShellDocumentThumbnailSize(type), size);
}

}  // namespace
