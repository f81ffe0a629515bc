// A folder of mixed media imported and read through each kind's reader: still pictures of
// every family the graphics importers read give their kind, size, a decodable thumbnail and
// their annotations; sounds and movies become items of their media type; documents of kinds
// this edition does not catalogue are left out.
#include "EndToEndSupport.h"

namespace {

struct StillKind {
    const char* file;
    const char* type;   // field 4
    const char* name;   // field 3
    UInt32 width, height;
    const char* caption;
};

TEST_F(EndToEndTest, MixedMediaBecomeItemsOfTheirKinds) {
    const StillKind stills[] = {
        {"PNG.png", "PNG ", "PNG", 16, 16, ""},
        {"BMP.bmp", "BMP ", "BMP", 8, 8, ""},
        {"Jpeg2000.jp2", "JP2 ", "JPEG 2000", 16, 16, ""},
        {"PICT.pict", "PICT", "PICT", 8, 8, ""},
        {"Photoshop.psd", "PSD ", "Photoshop", 8, 8, "This is a teeny weeny white square"},
        {"ExifTool.tif", "TIFF", "TIFF", 160, 120, "The picture caption"},
    };
    const std::pair<const char*, const char*> timed[] = {
        {"QuickTime.mov", "Video"}, {"RIFF.avi", "Video"}, {"MP3.mp3", "Audio"}, {"RIFF.wav", "Audio"},
    };
    for (const StillKind& k : stills) Put(std::string("metadata-samples/") + k.file, std::string("mixed/") + k.file);
    for (const auto& [file, media] : timed) Put(std::string("metadata-samples/") + file, std::string("mixed/av/") + file);
    for (const char* other : {"HTML.html", "Font.ttf", "PostScript.eps"})
        Put(std::string("metadata-samples/") + other, std::string("mixed/other/") + other);

    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec folder = Spec(library / "mixed");
    SInt32 added = 0;
    ASSERT_EQ(CatalogAddFiles(c, 0, &folder, 1, nullptr, 0, &added), noErr);
    EXPECT_EQ(added, SInt32(std::size(stills) + std::size(timed)));
    RunRefresh(c);

    for (const StillKind& k : stills) {
        SCOPED_TRACE(k.file);
        const ItemEntry* e = EntryOf(c, std::string("mixed/") + k.file);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(FieldText(c, e, kFieldFileType), k.type);
        EXPECT_EQ(FieldText(c, e, kFieldFileKindName), k.name);
        EXPECT_EQ(FieldText(c, e, kFieldMediaType), "Image");
        EXPECT_EQ(FieldText(c, e, kFieldDimensions),
                  std::to_string(k.width) + " x " + std::to_string(k.height) + " pixels");
        EXPECT_EQ(FieldText(c, e, kFieldCaption), k.caption);
        Handle thumb = ItemReadBlock(c, e, kBlockThumbnail);
        ASSERT_NE(thumb, nullptr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(*thumb);
        const std::size_t size = std::size_t(GetHandleSize(thumb));
        PictureFacts facts;
        ASSERT_EQ(ExaminePicture(bytes, size, &facts), noErr);
        const int w = facts.frame.right - facts.frame.left, h = facts.frame.bottom - facts.frame.top;
        EXPECT_EQ(w * int(k.height), h * int(k.width)) << "the picture's proportions";
        std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4);
        EXPECT_EQ(RenderPicture(bytes, size, pixels.data(), w, h, std::ptrdiff_t(w) * 4), noErr);
        DisposeHandle(thumb);
    }
    for (const auto& [file, media] : timed) {
        SCOPED_TRACE(file);
        const ItemEntry* e = EntryOf(c, std::string("mixed/av/") + file);
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(e->flags & kEntryPendingFlag);
        EXPECT_EQ(FieldText(c, e, kFieldMediaType), media);
        EXPECT_EQ(FieldText(c, e, kFieldFileName), file);
    }
}

}  // namespace
