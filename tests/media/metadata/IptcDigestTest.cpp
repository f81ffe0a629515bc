// The IPTC digest (Photoshop resource 1061) after annotations are written: other programs
// compare it with the IPTC block to know whether the XMP packet agrees, so a stale one would
// make them distrust (or ignore) what was written.
#include "media/metadata/JpegMetadata.h"
#include "media/metadata/PhotoshopInternal.h"
#include "media/metadata/PhotoshopResources.h"

#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace metatest;

const Order BE{true};

Bytes Resource(UInt16 id, const Bytes& data) {
    Bytes r = Cat({BytesOf("8BIM"), BE.U16(id), Bytes{0, 0}, BE.U32(std::uint32_t(data.size())), data});
    if (data.size() & 1) r.push_back(0);
    return r;
}

// The data of every resource of the id in a resources section.
std::vector<Bytes> ResourcesOf(Handle block, UInt16 id) {
    const Bytes b = HandleBytes(block);
    std::vector<PhotoshopResource> list;
    WalkPhotoshopResources(b.data(), b.size(), PhotoshopResourcesStart(b.data(), b.size()), &list);
    std::vector<Bytes> out;
    for (const PhotoshopResource& r : list)
        if (r.id == id) out.emplace_back(b.begin() + long(r.dataStart), b.begin() + long(r.dataStart + r.dataSize));
    return out;
}

bool Holds(const Bytes& b, const Bytes& part) { return std::search(b.begin(), b.end(), part.begin(), part.end()) != b.end(); }

Bytes Md5(const Bytes& data) {
    TempFolder dir;
    const std::string path = dir / "data";
    WriteBytes(path, data);
    const std::string hex = RunProgram({"md5sum", path}).substr(0, 32);
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(std::uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

TEST(IptcDigest, TheDigestFollowsTheIptcBlockOrGoes) {
    const Bytes iptc = SampleAnnotations("digest me");
    const Bytes stale(16, 0xAB);
    struct Case {
        const char* name;
        Bytes block;
        bool inSync;
        std::vector<Bytes> expected;
    } cases[] = {
        {"a stale digest is replaced", Cat({Resource(kResIptc, iptc), Resource(kResIptcDigest, stale)}), true, {Md5(iptc)}},
        {"two stale digests leave one right one",
         Cat({Resource(kResIptcDigest, stale), Resource(kResIptc, iptc), Resource(kResIptcDigest, stale)}), true, {Md5(iptc)}},
        {"a block without a digest gets none", Resource(kResIptc, iptc), true, {}},
        {"without an IPTC block the digest goes", Cat({Resource(1005, Bytes(16, 1)), Resource(kResIptcDigest, stale)}), true, {}},
        {"an XMP packet out of step takes the digest away", Cat({Resource(kResIptc, iptc), Resource(kResIptcDigest, stale)}), false,
         {}},
    };
    for (const auto& c : cases) {
        HandleGuard block(NewHandleOf(c.block));
        ASSERT_EQ(noErr, PhotoshopSetIptcDigest(block.h, c.inSync)) << c.name;
        EXPECT_EQ(c.expected, ResourcesOf(block.h, kResIptcDigest)) << c.name;
        EXPECT_EQ(ResourcesOf(block.h, kResIptc).size(), Holds(c.block, iptc) ? 1u : 0u) << c.name;
    }
    HandleGuard damaged(NewHandleOf(Cat({Resource(kResIptc, iptc), BytesOf(std::string("8BIM\x04\x25\0\0\x7F\xFF\xFF\xFF", 12))})));
    const Bytes before = HandleBytes(damaged.h);
    EXPECT_EQ(kBadMediaDataErr, PhotoshopSetIptcDigest(damaged.h, true));
    EXPECT_EQ(before, HandleBytes(damaged.h));
}

// Files whose digest was stale (or current) before: after the write exiftool finds the stored
// digest equal to the one it computes, and no longer warns.
TEST(IptcDigest, WrittenFilesCarryACurrentDigest) {
    using Writer = OSErr (*)(const FSSpec*, Handle, Handle);
    struct Case {
        const char* fixture;
        Writer write;
    } cases[] = {
        {"metadata-samples/IPTC.jpg", EmbedAnnotationsInJpeg},
        {"metadata-samples/ExifTool.jpg", EmbedAnnotationsInJpeg},
        {"metadata-samples/Photoshop.psd", EmbedAnnotationsInPhotoshop},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        TempFolder dir;
        const std::string path = dir / std::string(c.fixture).substr(std::string(c.fixture).rfind('/') + 1);
        WriteBytes(path, ReadBytes(SharedFixture(c.fixture)));
        FSSpec spec = CheckedSpecOf(path);
        HandleGuard block(NewHandleOf(SampleAnnotations("a fresh caption")));
        ASSERT_EQ(noErr, c.write(&spec, block.h, nullptr));
        const std::string digests = RunProgram({"exiftool", "-s3", "-IPTCDigest", "-CurrentIPTCDigest", path});
        ASSERT_EQ(66u, digests.size()) << digests;
        EXPECT_EQ(digests.substr(0, 33), digests.substr(33)) << digests;
        const std::string warnings = RunProgram({"exiftool", "-a", "-G1", "-validate", "-warning", path});
        EXPECT_EQ(std::string::npos, warnings.find("IPTCDigest")) << warnings;

        // Writing no annotations at all takes the digest away with the IPTC block.
        ASSERT_EQ(noErr, c.write(&spec, nullptr, nullptr));
        EXPECT_EQ("", RunProgram({"exiftool", "-s3", "-IPTCDigest", path}));
    }
}

}  // namespace
