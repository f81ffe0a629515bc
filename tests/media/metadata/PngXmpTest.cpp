#include "media/metadata/PngXmp.h"

#include "media/metadata/IptcBlock.h"
#include "media/metadata/Xmp.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using namespace metatest;

const Order BE{true};

Bytes Chunk(const std::string& type, const Bytes& data) {
    return Cat({BE.U32(std::uint32_t(data.size())), BytesOf(type), data, BE.U32(0)});  // the CRC is not checked
}
Bytes XmpChunk(const std::string& packet, const std::string& keyword = "XML:com.adobe.xmp") {
    return Chunk("iTXt", Cat({BytesOf(keyword), Bytes{0, 0, 0, 0, 0}, BytesOf(packet)}));
}
Bytes CompressedXmpChunk(const std::string& packet) {
    uLongf size = compressBound(packet.size());
    Bytes z(size);
    compress(z.data(), &size, reinterpret_cast<const Bytef*>(packet.data()), packet.size());
    z.resize(size);
    return Chunk("iTXt", Cat({BytesOf("XML:com.adobe.xmp"), Bytes{0, 1, 0, 0, 0}, z}));
}
const Bytes kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const Bytes kHeader = Chunk("IHDR", Bytes(13, 1));
const Bytes kEnd = Chunk("IEND", {});

TEST(PngXmp, Scan) {
    struct Case {
        const char* name;
        Bytes file;
        OSErr expected;
        std::vector<std::string> packets;
    } cases[] = {
        {"two packets, in file order", Cat({kSignature, kHeader, XmpChunk("<one/>"), Chunk("IDAT", Bytes(20, 0)), XmpChunk("<two/>"), kEnd}),
         noErr, {"<one/>", "<two/>"}},
        {"another keyword", Cat({kSignature, XmpChunk("<x/>", "XML:com.other.xmp"), kEnd}), noErr, {}},
        {"exactly 22 bytes of chunk data", Cat({kSignature, XmpChunk(""), kEnd}), noErr, {}},
        {"a compressed packet", Cat({kSignature, CompressedXmpChunk("<compressed/>"), kEnd}), noErr, {"<compressed/>"}},
        {"no IEND: the read error, the packets kept", Cat({kSignature, XmpChunk("<kept/>")}), eofErr, {"<kept/>"}},
        {"a chunk length past the end", Cat({kSignature, BE.U32(0x7FFFFFFF), BytesOf("iTXt"), Bytes(10, 0)}), eofErr, {}},
        {"not a PNG", BytesOf("GIF89a and some"), kBadMediaDataErr, {}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        WriteBytes(dir / "p.png", c.file);
        FSSpec spec = CheckedSpecOf(dir / "p.png");
        List l;
        EXPECT_EQ(ScanXmpPacket(&spec, l.ud), c.expected) << c.name;
        std::vector<std::string> got;
        for (short i = 1; i <= CountUserDataType(l.ud, 'XMP '); ++i) got.push_back(Str(Item(l.ud, 'XMP ', i)));
        EXPECT_EQ(got, c.packets) << c.name;
    }
}

TEST(PngXmp, FixturePacketReachesTheAnnotations) {
    FSSpec spec = CheckedSpecOf(SharedFixture("metadata-samples/PNG.png"));
    List l;
    ASSERT_EQ(ScanXmpPacket(&spec, l.ud), noErr);
    ASSERT_EQ(CountUserDataType(l.ud, 'XMP '), 1);
    HandleGuard block(NewHandle(0));
    XmpReadPacket(l.ud, block.h);
    UInt16 length = 0;
    Ptr creator = IptcFindDataset(592, 1, block.h, &length, nullptr);
    ASSERT_NE(creator, nullptr);
    EXPECT_EQ(std::string(creator, length), "Phil Harvey");
}

}  // namespace
