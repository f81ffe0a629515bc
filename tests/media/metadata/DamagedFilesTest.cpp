// Truncated and corrupted versions of the sample files go through every metadata reader and
// writer: each answers or refuses, none crashes, hangs or reads outside what it was given
// (the sanitizer build checks the last).
#include "media/metadata/Exif.h"
#include "media/metadata/IptcBlock.h"
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/PngXmp.h"
#include "media/metadata/TiffWriter.h"
#include "media/metadata/Xmp.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace metatest;

const char* const kSamples[] = {
    "metadata-samples/Canon.jpg",   "metadata-samples/Nikon.jpg",   "metadata-samples/Pentax.jpg",
    "metadata-samples/Olympus.jpg", "metadata-samples/Minolta.jpg", "metadata-samples/IPTC.jpg",
    "metadata-samples/XMP.jpg",     "metadata-samples/ExifTool.jpg", "metadata-samples/GPS.jpg",
    "metadata-samples/ExtendedXMP.jpg", "metadata-samples/ExifTool.tif", "metadata-samples/CanonRaw.cr2",
    "metadata-samples/Nikon.nef",   "metadata-samples/DNG.dng",     "metadata-samples/Photoshop.psd",
    "metadata-samples/PNG.png",
};

Bytes Annotations() {
    Bytes b = {IptcMarkerAnsi, 2, 120, 0, 3, 'c', 'a', 'p'};
    return b;
}

// Every reader over one file; answers are not checked, only that each comes back.
void ReadEverything(const std::string& path) {
    FSSpec spec = CheckedSpecOf(path);
    {
        List l;
        HandleGuard ps, sound, icc;
        GWorldPtr thumb = nullptr;
        WalkJpegMarkers(&spec, &ps.h, &thumb, &sound.h, &icc.h, l.ud);
        if (thumb) DisposeGWorld(thumb);
        thumb = nullptr;
        if (ps.h) {
            HandleGuard iptc, url, exif, icc2;
            SInt32 dpi = 0;
            PhotoshopParseResources(ps.h, &dpi, l.ud, &thumb, &icc2.h, &iptc.h, &url.h, &exif.h);
            if (thumb) DisposeGWorld(thumb);
            if (iptc.h) IptcFindDataset(632, 1, iptc.h, nullptr, nullptr);
            if (exif.h) ExifReadFromBytes(*exif.h, std::size_t(GetHandleSize(exif.h)), l.ud, nullptr);
        }
        HandleGuard block(NewHandle(0));
        XmpReadPacket(l.ud, block.h);
    }
    {
        List l;
        HandleGuard icc;
        ExifReadFromFile(&spec, 0, l.ud, &icc.h);
        TiffDetectRawKind(&spec, true);
        HandleGuard tag(TiffReadTagData(&spec, 0, 700));
    }
    {
        HandleGuard resources;
        if (PhotoshopReadResources(&spec, &resources.h) == noErr) {
            List l;
            PhotoshopParseResources(resources.h, nullptr, l.ud, nullptr, nullptr, nullptr, nullptr, nullptr);
        }
        List l;
        ScanXmpPacket(&spec, l.ud);
    }
}

// Every writer over a copy; a failed write leaves the copy as it was.
void WriteEverything(const TempFolder& dir, const Bytes& bytes) {
    using Writer = OSErr (*)(const FSSpec*, Handle, Handle);
    const Writer writers[] = {EmbedAnnotationsInJpeg, EmbedAnnotationsInPhotoshop, TiffEmbedAnnotations};
    for (Writer write : writers) {
        const std::string path = dir / "w.bin";
        WriteBytes(path, bytes);
        FSSpec spec = CheckedSpecOf(path);
        HandleGuard iptc(NewHandleOf(Annotations()));
        OSErr err = write(&spec, iptc.h, nullptr);
        if (err != noErr) {
            EXPECT_EQ(ReadBytes(path), bytes) << "a refused write changed the file";
        }
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
    }
}

TEST(DamagedFiles, TruncatedSamples) {
    TempFolder dir;
    for (const char* name : kSamples) {
        const Bytes whole = ReadBytes(SharedFixture(name));
        SCOPED_TRACE(name);
        // Cuts at the start, in the headers, and spread over the file.
        std::vector<std::size_t> cuts = {0, 1, 2, 3, 4, 7, 8, 9, 13, 20, 30, 64, 100};
        for (int i = 1; i < 12; ++i) cuts.push_back(whole.size() * std::size_t(i) / 12);
        for (std::size_t cut : cuts) {
            if (cut >= whole.size()) continue;
            Bytes part(whole.begin(), whole.begin() + long(cut));
            const std::string path = dir / "t.bin";
            WriteBytes(path, part);
            ReadEverything(path);
            WriteEverything(dir, part);
        }
    }
}

TEST(DamagedFiles, CorruptedSamples) {
    TempFolder dir;
    std::mt19937 random(20240611);
    for (const char* name : kSamples) {
        const Bytes whole = ReadBytes(SharedFixture(name));
        SCOPED_TRACE(name);
        for (int round = 0; round < 24; ++round) {
            Bytes bad = whole;
            // A few bytes changed, mostly in the first kilobytes where the structure lies.
            const std::size_t span = std::min<std::size_t>(bad.size(), round % 2 ? 4096 : bad.size());
            for (int k = 0; k < 1 + round % 6; ++k) {
                std::size_t at = random() % span;
                bad[at] = round % 3 == 0 ? 0xFF : std::uint8_t(random());
            }
            const std::string path = dir / "c.bin";
            WriteBytes(path, bad);
            ReadEverything(path);
            if (round % 4 == 0) WriteEverything(dir, bad);
        }
    }
}

TEST(DamagedFiles, BlocksFromMemory) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Bytes block(std::size_t(random() % 300));
        for (auto& b : block) b = std::uint8_t(random());
        if (!block.empty() && round % 2) block[0] = IptcMarkerAnsi;
        HandleGuard h(NewHandleOf(block));
        IptcFindDataset(632, 1, h.h, nullptr, nullptr);
        IptcSetDataset(632, 1, "x", 1, h.h, kIptcReplace, IptcMarkerAnsi);
        IptcConvertCharset(h.h, 1);
        HandleGuard ps(NewHandleOf(Cat({BytesOf("8BIM"), block})));
        PhotoshopParseResources(ps.h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        static const std::uint8_t kName[2] = {0, 0};
        PhotoshopSetResource(ps.h, h.h, kResIptc, 0, kName, 2);
        List l;
        ExifReadFromTiffBlock(h.h, l.ud);
        ExifReadFromBytes(block.data(), block.size(), l.ud, nullptr);
        HandleGuard packet(NewHandleOf(block));
        HandleGuard annotations(NewHandle(0));
        XmpReadPacketData(packet.h, annotations.h);
    }
}

}  // namespace
