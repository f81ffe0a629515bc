#include "media/metadata/PhotoshopResources.h"

#include "media/metadata/IptcBlock.h"
#include "media/metadata/Xmp.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>

namespace {

using namespace metatest;

const Order BE{true};


Bytes Resource(UInt16 id, const Bytes& data, const Bytes& name = {0, 0}) {
    Bytes r = Cat({BytesOf("8BIM"), BE.U16(id), name, BE.U32(std::uint32_t(data.size())), data});
    if (data.size() & 1) r.push_back(0);
    return r;
}

// A Photoshop file: header, colour mode data, resources, layer section, image data.
Bytes Psd(const Bytes& resources, const Bytes& imageData = BytesOf("layer-and-image-data")) {
    Bytes header = Cat({BytesOf("8BPS"), BE.U16(1), Bytes(6, 0), BE.U16(3), BE.U32(8), BE.U32(8), BE.U16(8), BE.U16(3)});
    return Cat({header, BE.U32(4), BytesOf("CMAP"), BE.U32(std::uint32_t(resources.size())), resources, imageData});
}

struct Sections {
    Bytes header, colorMode, resources, rest;
};
Sections Split(const Bytes& psd) {
    Sections s;
    s.header.assign(psd.begin(), psd.begin() + 26);
    std::uint32_t cm = ReadBE32(psd.data() + 26);
    s.colorMode.assign(psd.begin() + 26, psd.begin() + 30 + cm);
    std::uint32_t rs = ReadBE32(psd.data() + 30 + cm);
    s.resources.assign(psd.begin() + 34 + cm, psd.begin() + 34 + cm + rs);
    s.rest.assign(psd.begin() + 34 + cm + rs, psd.end());
    return s;
}

std::vector<UInt16> ResourceIds(const Bytes& resources) {
    std::vector<UInt16> ids;
    std::size_t pos = 0;
    while (pos + 12 <= resources.size()) {
        ids.push_back(ReadBE16(&resources[pos + 4]));
        std::size_t name = (resources[pos + 6] + 2u) & ~1u;
        std::uint32_t size = ReadBE32(&resources[pos + 6 + name]);
        pos += 6 + name + 4 + size + (size & 1);
    }
    return ids;
}

OSErr Embed(const std::string& path, const Bytes& iptc) {
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard block(iptc.empty() ? nullptr : NewHandleOf(iptc));
    return EmbedAnnotationsInPhotoshop(&spec, block.h, nullptr);
}

TEST(PhotoshopResources, ParseTheFixture) {
    FSSpec spec = CheckedSpecOf(SharedFixture("metadata-samples/Photoshop.psd"));
    HandleGuard resources;
    ASSERT_EQ(PhotoshopReadResources(&spec, &resources.h), noErr);
    List l;
    SInt32 dpi = 0;
    HandleGuard icc, iptc, url, exif;
    PhotoshopParseResources(resources.h, &dpi, l.ud, nullptr, &icc.h, &iptc.h, &url.h, &exif.h);
    EXPECT_EQ(dpi, 72);
    EXPECT_EQ(GetHandleSize(icc.h), 552);
    EXPECT_EQ(CountUserDataType(l.ud, 'XMP '), 1);
    EXPECT_NE(exif.h, nullptr);
    UInt16 length = 0;
    Ptr caption = IptcFindDataset(632, 1, iptc.h, &length, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(std::string(caption, length), "This is a teeny weeny white square");
}

TEST(PhotoshopResources, ResolutionInCentimetres) {
    Bytes res = Cat({BE.U32(118 << 16), BE.U16(2), BE.U16(2), BE.U32(118 << 16), BE.U16(2), BE.U16(2)});
    HandleGuard block(NewHandleOf(Resource(kResResolutionInfo, res)));
    SInt32 dpi = 0;
    PhotoshopParseResources(block.h, &dpi, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(dpi, 46);  // 118 per centimetre, truncated
}

TEST(PhotoshopResources, SetResourceWalksByStructure) {
    // A resource whose data holds the bytes "8BIM" and the id of the one being replaced.
    const Bytes decoy = Resource(2000, Cat({BytesOf("8BIM"), BE.U16(kResIptc), BytesOf("not a resource")}));
    const Bytes oldIptc = Resource(kResIptc, BytesOf("old"));
    const Bytes tail = Resource(1005, Bytes(16, 1), Bytes{3, 'a', 'b', 'c'});
    HandleGuard block(NewHandleOf(Cat({decoy, oldIptc, tail})));
    HandleGuard data(NewHandleOf(BytesOf("new!!")));
    static const std::uint8_t kName[2] = {0, 0};
    ASSERT_EQ(PhotoshopSetResource(block.h, data.h, kResIptc, 0, kName, 2), noErr);
    Bytes expected = Cat({decoy, tail, Resource(kResIptc, BytesOf("new!!"))});
    EXPECT_EQ(HandleBytes(block.h), expected);

    // Removal, and a pad byte of the caller's choice.
    ASSERT_EQ(PhotoshopSetResource(block.h, nullptr, kResIptc, 0, kName, 2), noErr);
    EXPECT_EQ(HandleBytes(block.h), Cat({decoy, tail}));
    HandleGuard odd(NewHandleOf(BytesOf("xyz")));
    static const std::uint8_t kXmpName[4] = {3, 'X', 'M', 'P'};
    ASSERT_EQ(PhotoshopSetResource(block.h, odd.h, kResXmp, 0x20, kXmpName, 4), noErr);
    Bytes withXmp = HandleBytes(block.h);
    EXPECT_EQ(Bytes(withXmp.end() - 4, withXmp.end()), BytesOf("xyz "));

    // A damaged block is refused and left as it was.
    Bytes damaged = Cat({tail, BytesOf("8BIM\x04\x04\0\0\xFF\xFF\xFF\xFFzz")});
    HandleGuard bad(NewHandleOf(damaged));
    EXPECT_EQ(PhotoshopSetResource(bad.h, data.h, kResIptc, 0, kName, 2), kBadMediaDataErr);
    EXPECT_EQ(HandleBytes(bad.h), damaged);
}

TEST(PhotoshopWrite, FixtureRoundTrip) {
    TempFolder dir;
    const std::string path = dir / "p.psd";
    const Bytes original = ReadBytes(SharedFixture("metadata-samples/Photoshop.psd"));
    WriteBytes(path, original);
    ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
    const Bytes written = ReadBytes(path);
    Sections a = Split(original), b = Split(written);
    EXPECT_EQ(a.header, b.header);
    EXPECT_EQ(a.colorMode, b.colorMode);
    EXPECT_EQ(a.rest, b.rest) << "layers and image data are copied as they were";
    EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});

    std::string tools = RunProgram({"exiftool", "-T", "-n", "-sep", ", ", "-XMP-dc:Description", "-XMP-dc:Subject",
                                    "-XMP-dc:Creator", "-XMP-photoshop:DateCreated", "-IPTC:Caption-Abstract",
                                    "-IPTC:Keywords", "-IPTC:By-line", "-IPTC:DateCreated", path});
    EXPECT_EQ(tools, "A caption\talpha, beta\tJane Doe\t2004:07:09\tA caption\talpha, beta\tJane Doe\t2004:07:09\n");

    // Taking the annotations away again removes the IPTC resource and the values from the XMP.
    ASSERT_EQ(Embed(path, {}), noErr);
    Sections c = Split(ReadBytes(path));
    EXPECT_EQ(a.rest, c.rest);
    std::vector<UInt16> ids = ResourceIds(c.resources);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), kResIptc), 0);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), kResXmp), 1);
    EXPECT_EQ(RunProgram({"exiftool", "-s3", "-XMP-dc:Description", "-XMP-dc:Subject", path}), "");
}

TEST(PhotoshopWrite, AFileWithoutXmpGetsOnlyTheIptcResource) {
    TempFolder dir;
    const std::string path = dir / "p.psd";
    const Bytes original = Psd(Resource(1005, Bytes(16, 0)));
    WriteBytes(path, original);
    ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
    Sections s = Split(ReadBytes(path));
    EXPECT_EQ(ResourceIds(s.resources), (std::vector<UInt16>{1005, kResIptc}));
    EXPECT_EQ(s.rest, BytesOf("layer-and-image-data"));
}

TEST(PhotoshopWrite, RefusalsLeaveTheFileUntouched) {
    Bytes version2 = Psd({});
    version2[5] = 2;
    Bytes longResources = Psd(Resource(1005, Bytes(16, 0)));
    WriteBE32(longResources.data() + 34, 0x7FFFFFF0);  // the resources section runs past the end
    Bytes damaged = Psd(Cat({Resource(1005, Bytes(16, 0)), BytesOf("8BIM\x04\x04\0\0\x7F\0\0\0")}));
    struct Case { const char* name; Bytes file; OSErr expected; } cases[] = {
        {"not a Photoshop file", BytesOf("GIF89a and more bytes here to be long enough"), kBadMediaDataErr},
        {"version 2", version2, kBadMediaDataErr},
        {"sections past the end", longResources, kBadMediaDataErr},
        {"damaged resources", damaged, kBadMediaDataErr},
        {"cut in the header", BytesOf("8BPS\0\1"), kBadMediaDataErr},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir / "p.psd";
        WriteBytes(path, c.file);
        EXPECT_EQ(Embed(path, SampleAnnotations()), c.expected) << c.name;
        EXPECT_EQ(ReadBytes(path), c.file) << c.name;
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{}) << c.name;
    }
}

TEST(PhotoshopWrite, AFailedWriteLeavesTheOriginal) {
    TempFolder dir;
    const std::string path = dir / "p.psd";
    const Bytes original = ReadBytes(SharedFixture("metadata-samples/Photoshop.psd"));
    WriteBytes(path, original);
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {original.size() / 2, original.size() / 2};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(Embed(path, SampleAnnotations()) == noErr ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
}

}  // namespace

#include "platform/imaging/codecs/JpegCodec.h"

namespace {

TEST(PhotoshopResources, Thumbnails) {
    // A red 8 x 4 JPEG behind the 28-byte thumbnail header; the old resource keeps its
    // channels the other way round.
    std::vector<std::uint8_t> pixels(8 * 4 * 4), jpeg;
    for (std::size_t i = 0; i < pixels.size(); i += 4) pixels[i + 2] = 255;  // blue, green, red, x
    ASSERT_EQ(JpegEncodeBGRX(pixels.data(), 8, 4, 32, 95, 72, &jpeg), noErr);
    auto resource = [&](UInt16 id, std::uint32_t format) {
        return Resource(id, Cat({BE.U32(format), BE.U32(8), BE.U32(4), BE.U32(24), BE.U32(96), BE.U32(std::uint32_t(jpeg.size())),
                                 BE.U16(24), BE.U16(1), Bytes(jpeg.begin(), jpeg.end())}));
    };
    struct Case { const char* name; Bytes block; bool made; bool redStaysRed; } cases[] = {
        {"1036", resource(kResThumbnail, 1), true, true},
        {"1033: red and blue exchanged", resource(kResThumbnailOld, 1), true, false},
        {"raw format", resource(kResThumbnail, 0), false, false},
    };
    for (const auto& c : cases) {
        HandleGuard block(NewHandleOf(c.block));
        GWorldPtr thumb = nullptr;
        PhotoshopParseResources(block.h, nullptr, nullptr, &thumb, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(thumb != nullptr, c.made) << c.name;
        if (!thumb) continue;
        Rect r = GetPortBounds(thumb);
        EXPECT_EQ(r.right - r.left, 8) << c.name;
        EXPECT_EQ(r.bottom - r.top, 4) << c.name;
        ASSERT_TRUE(LockPixels(thumb));
        PixelView px = GetGWorldPixels(thumb);
        const std::uint8_t* p = px.base + px.rowBytes + 8;  // a pixel inside: blue, green, red
        if (c.redStaysRed) {
            EXPECT_GT(p[2], 200) << c.name;
            EXPECT_LT(p[0], 60) << c.name;
        } else {
            EXPECT_GT(p[0], 200) << c.name;
            EXPECT_LT(p[2], 60) << c.name;
        }
        UnlockPixels(thumb);
        DisposeGWorld(thumb);
    }
}

}  // namespace

namespace {

TEST(PhotoshopWrite, AnXmpPacketThatCannotBeRebuiltIsKept) {
    const Bytes broken = BytesOf("<x:xmpmeta><not closed");
    TempFolder dir;
    const std::string path = dir / "p.psd";
    WriteBytes(path, Psd(Resource(kResXmp, broken, Bytes{3, 'X', 'M', 'P'})));
    ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
    Sections s = Split(ReadBytes(path));
    EXPECT_EQ(ResourceIds(s.resources), (std::vector<UInt16>{kResXmp, kResIptc}));
    HandleGuard block(NewHandleOf(s.resources));
    HandleGuard packet;
    ASSERT_EQ(PhotoshopGetXmpResource(block.h, &packet.h), noErr);
    EXPECT_EQ(HandleBytes(packet.h), broken);
}

}  // namespace
