// JPEG files are read piece by piece from disk: the facts, profile and pixels must be those of
// the same bytes held whole in memory, and the catalog's reading (facts, metadata, embedded
// thumbnail) must come from the segments before the image data alone. Checked on every JPEG
// sample and on damaged copies (cut in the header, cut in the image data, segment lengths that
// lie).
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

std::vector<std::string> JpegSamples() {
    std::vector<std::string> files;
    for (const char* folder : {"metadata-samples", "orientation"}) {
        const std::filesystem::path dir = std::filesystem::path(LYREX_SHARED_FIXTURES) / folder;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ".jpg") files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The offset of the SOS marker, or npos when the walk does not reach one.
std::size_t ScanStart(const Bytes& b) {
    std::size_t pos = 2;
    while (pos + 4 <= b.size() && static_cast<unsigned char>(b[pos]) == 0xFF) {
        const unsigned char m = static_cast<unsigned char>(b[pos + 1]);
        if (m == 0xDA) return pos;
        pos += 2 + ((static_cast<unsigned char>(b[pos + 2]) << 8) | static_cast<unsigned char>(b[pos + 3]));
    }
    return std::string::npos;
}

// What an importer says about its data, and the pixels it draws into a 160-pixel box.
struct ImporterView {
    bool opened = false;
    bool valid = false;
    std::int32_t width = 0, height = 0;
    short depth = 0;
    Bytes profile;
    OSErr drawErr = 1;
    Bytes pixels;

    bool operator==(const ImporterView&) const = default;
};

ImporterView View(GraphicsImportComponent gi, bool lenient) {
    ImporterView v;
    v.opened = true;
    GraphicsImportSetLenient(gi, lenient);
    GraphicsImportValidate(gi, &v.valid);
    if (!v.valid) return v;
    GraphicsImportGetImageSize(gi, &v.width, &v.height);
    ImageDescriptionRec desc;
    if (GraphicsImportGetImageDescriptionRec(gi, &desc) == noErr) v.depth = desc.desc.depth;
    Handle profile = nullptr;
    if (GraphicsImportGetColorSyncProfile(gi, &profile) == noErr && profile) {
        v.profile.assign(*profile, std::size_t(GetHandleSize(profile)));
        DisposeHandle(profile);
    }
    Rect box{0, 0, 120, 160};
    GWorldPtr world = nullptr;
    if (NewGWorldFromFormat(&world, k32BGRAPixelFormat, &box) != noErr) return v;
    GraphicsImportSetBoundsRect(gi, &box);
    GraphicsImportSetGWorld(gi, world);
    v.drawErr = GraphicsImportDraw(gi);
    GraphicsImportSetGWorld(gi, nullptr);
    PixelView px = GetGWorldPixels(world);
    for (std::int32_t y = 0; y < px.height; ++y)
        v.pixels.append(reinterpret_cast<const char*>(px.base + std::ptrdiff_t(y) * px.rowBytes), std::size_t(px.width) * 4);
    DisposeGWorld(world);
    return v;
}

ImporterView FromFile(const std::string& path, bool lenient) {
    GraphicsImportComponent gi = nullptr;
    if (OpenGraphicsImporter('JPEG', &gi) != noErr || GraphicsImportSetDataFile(gi, path) != noErr) {
        if (gi) CloseGraphicsImporter(gi);
        return {};
    }
    ImporterView v = View(gi, lenient);
    CloseGraphicsImporter(gi);
    return v;
}

ImporterView FromMemory(const Bytes& bytes, bool lenient) {
    Handle data = nullptr;
    if (PtrToHand(bytes.data(), &data, Size(bytes.size())) != noErr) return {};
    GraphicsImportComponent gi = nullptr;
    ImporterView v;
    if (OpenGraphicsImporter('JPEG', &gi) == noErr && GraphicsImportSetDataHandle(gi, data) == noErr) v = View(gi, lenient);
    if (gi) CloseGraphicsImporter(gi);
    DisposeHandle(data);
    return v;
}

// The catalog's reading of a file without drawing its image: facts, blocks and the thumbnail
// made from the embedded preview.
struct CatalogView {
    OSErr err = noErr;
    UInt32 width = 0, height = 0, resolution = 0;
    UInt16 depth = 0, orientation = 0;
    OSType colorSpace = 0;
    Bytes encoding, profileName, thumbnail, iptc, technical;

    bool operator==(const CatalogView&) const = default;
};

Bytes HandleText(Handle h) { return h ? Bytes(*h, std::size_t(GetHandleSize(h))) : Bytes("<none>"); }

CatalogView ReadForCatalog(const std::string& path) {
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    if (KindTypeOfFileSpec(&spec, &file) != noErr) file.spec = spec;
    file.type = 'JPEG';
    KindInfoRec info{};
    PicHandle thumbnail = nullptr;
    Handle iptc = nullptr, technical = nullptr;
    CatalogView v;
    v.err = KindGetInfo(&file, &info, true, 0, 0, 160, &thumbnail, &iptc, &technical, nullptr);
    v.width = info.width;
    v.height = info.height;
    v.resolution = info.resolution;
    v.depth = info.depth;
    v.orientation = info.orientation;
    v.colorSpace = info.colorSpace;
    v.encoding.assign(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]);
    v.profileName.assign(reinterpret_cast<const char*>(info.colorProfile + 1), info.colorProfile[0]);
    v.thumbnail = HandleText(reinterpret_cast<Handle>(thumbnail));
    v.iptc = HandleText(iptc);
    v.technical = HandleText(technical);
    for (Handle h : {reinterpret_cast<Handle>(thumbnail), iptc, technical})
        if (h) DisposeHandle(h);
    return v;
}

class HeaderReadingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(HeaderReadingTest, AFileReadInPiecesGivesWhatItsBytesInMemoryGive) {
    const auto samples = JpegSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const std::string& path : samples) {
        const Bytes bytes = TempFolder::Read(path);
        for (bool lenient : {false, true}) {
            ImporterView fromFile = FromFile(path, lenient), fromMemory = FromMemory(bytes, lenient);
            EXPECT_TRUE(fromFile.opened) << path;
            EXPECT_TRUE(fromFile == fromMemory) << path << (lenient ? " (lenient)" : "");
        }
        EXPECT_EQ(FromFile(path, false).drawErr, noErr) << path;
    }
}

TEST_F(HeaderReadingTest, TheCatalogsReadingComesFromTheSegmentsBeforeTheImageData) {
    int withThumbnail = 0, withMetadata = 0;
    for (const std::string& path : JpegSamples()) {
        const Bytes bytes = TempFolder::Read(path);
        const std::size_t sos = ScanStart(bytes);
        ASSERT_NE(sos, std::string::npos) << path;
        // The same file with nothing of its image data: a scan header and the end marker.
        Bytes headerOnly = bytes.substr(0, sos);
        const std::size_t sosLength =
            (static_cast<unsigned char>(bytes[sos + 2]) << 8) | static_cast<unsigned char>(bytes[sos + 3]);
        headerOnly += bytes.substr(sos, 2 + sosLength) + "\xFF\xD9";
        const std::string cut = temp.Write(std::filesystem::path(path).filename().string(), headerOnly);

        const CatalogView whole = ReadForCatalog(path), header = ReadForCatalog(cut);
        EXPECT_EQ(whole.err, noErr) << path;
        EXPECT_TRUE(whole == header) << path;
        withThumbnail += whole.thumbnail != "<none>";
        withMetadata += whole.technical != "<none>";
    }
    EXPECT_GE(withThumbnail, 2) << "the samples carry embedded thumbnails";
    EXPECT_GE(withMetadata, 10);
}

TEST_F(HeaderReadingTest, DamagedFilesGiveTheSameAnswersReadInPiecesOrWhole) {
    const Bytes canon = TempFolder::Read(std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/Canon.jpg");
    const std::size_t sos = ScanStart(canon);
    ASSERT_NE(sos, std::string::npos);
    const std::size_t data = sos + 2 + ((static_cast<unsigned char>(canon[sos + 2]) << 8) | static_cast<unsigned char>(canon[sos + 3]));
    ASSERT_LT(data + 2, canon.size());
    // The first APP segment's length field, rewritten to lie.
    auto withFirstLength = [&](unsigned length) {
        Bytes b = canon;
        b[4] = char(length >> 8);
        b[5] = char(length & 0xFF);
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        bool headerIntact;   // the segments before the image data are whole
    } cases[] = {
        {"cut in the first segment", canon.substr(0, 40), false},
        {"cut just before the image data", canon.substr(0, sos + 4), false},
        {"cut in the scan header", canon.substr(0, sos + 6), false},
        {"cut in the image data", canon.substr(0, data + (canon.size() - data) / 2), true},
        {"cut right after the scan header", canon.substr(0, data), true},
        {"a segment longer than the file", withFirstLength(0xFFFF), false},
        {"a segment length below two", withFirstLength(1), false},
        {"a segment ending inside the next one", withFirstLength(20), false},
        {"no end marker", canon.substr(0, canon.size() - 2), true},
    };
    const CatalogView intact = ReadForCatalog(std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/Canon.jpg");
    for (const auto& c : cases) {
        const std::string path = temp.Write(std::string(c.name) + ".jpg", c.bytes);
        for (bool lenient : {false, true})
            EXPECT_TRUE(FromFile(path, lenient) == FromMemory(c.bytes, lenient)) << c.name << (lenient ? " (lenient)" : "");
        const CatalogView damaged = ReadForCatalog(path);
        if (c.headerIntact) {
            EXPECT_TRUE(damaged == intact) << c.name;
        } else {
            EXPECT_FALSE(damaged == intact) << c.name << ": the damage shows";
        }
    }
}

}  // namespace
