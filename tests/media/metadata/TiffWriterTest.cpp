#include "media/metadata/TiffWriter.h"

#include "media/metadata/IptcBlock.h"
#include "media/metadata/Xmp.h"
#include "MetaTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <exempi/xmp.h>

#include <sys/resource.h>
#include <csignal>

namespace {

using namespace metatest;

enum : std::uint16_t { BYTE = 1, ASCII = 2, SHORT = 3, LONG = 4 };


const Bytes kPixels = {10, 20, 30, 40};

// A 2 x 2 grey TIFF; `extra` entries join the directory (in tag order). Pixels at 8, the
// directory at 12.
Bytes Tiff(const Order& o, std::vector<IfdEntry> extra = {}) {
    std::vector<IfdEntry> entries = {
        {0x100, SHORT, 1, o.U16(2)}, {0x101, SHORT, 1, o.U16(2)}, {0x102, SHORT, 1, o.U16(8)},
        {0x103, SHORT, 1, o.U16(1)}, {0x106, SHORT, 1, o.U16(1)}, {0x111, LONG, 1, o.U32(8)},
        {0x115, SHORT, 1, o.U16(1)}, {0x116, SHORT, 1, o.U16(2)}, {0x117, LONG, 1, o.U32(4)},
    };
    entries.insert(entries.end(), extra.begin(), extra.end());
    std::sort(entries.begin(), entries.end(), [](const IfdEntry& a, const IfdEntry& b) { return a.tag < b.tag; });
    Bytes b = Cat({TiffHeader(o, 12), kPixels});
    PutIfd(b, 0, 12, o, entries, 0);
    return b;
}

struct Dir {
    std::uint32_t offset;
    std::vector<IfdEntry> entries;  // value: the 4 bytes of the entry
};
Dir ReadDir(const Bytes& file) {
    Order o{file[0] == 'M'};
    auto u16 = [&](std::size_t p) { return o.big ? ReadBE16(&file[p]) : ReadLE16(&file[p]); };
    auto u32 = [&](std::size_t p) { return o.big ? ReadBE32(&file[p]) : ReadLE32(&file[p]); };
    Dir d{u32(4), {}};
    unsigned n = u16(d.offset);
    for (unsigned i = 0; i < n; ++i) {
        std::size_t p = d.offset + 2 + 12 * i;
        d.entries.push_back({u16(p), u16(p + 2), u32(p + 4), Bytes(file.begin() + long(p + 8), file.begin() + long(p + 12))});
    }
    return d;
}
const IfdEntry* Find(const Dir& d, std::uint16_t tag) {
    for (const auto& e : d.entries)
        if (e.tag == tag) return &e;
    return nullptr;
}
std::uint32_t Offset(const Bytes& file, const IfdEntry& e) {
    return file[0] == 'M' ? ReadBE32(e.value.data()) : ReadLE32(e.value.data());
}

OSErr Embed(const std::string& path, const Bytes& iptc, bool withXmp = true) {
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard block(iptc.empty() ? nullptr : NewHandleOf(iptc));
    return TiffEmbedAnnotations(&spec, block.h, withXmp ? block.h : nullptr);
}

TEST(TiffWriter, FirstWriteGrowsTheDirectory) {
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "MM" : "II");
        const Order o{big};
        TempFolder dir;
        const std::string path = dir / "t.tif";
        const Bytes original = Tiff(o);
        WriteBytes(path, original);
        ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
        const Bytes after = ReadBytes(path);
        EXPECT_EQ(Bytes(after.begin() + 8, after.begin() + 12), kPixels);
        Dir d = ReadDir(after);
        EXPECT_EQ(d.offset % 2, 0u);
        EXPECT_GE(d.offset, original.size());
        // The old directory's bytes are zeros now.
        EXPECT_EQ(Bytes(after.begin() + 12, after.begin() + long(original.size())), Bytes(original.size() - 12, 0));
        const IfdEntry* xmp = Find(d, 700);
        ASSERT_NE(xmp, nullptr);
        EXPECT_EQ(xmp->type, BYTE);
        EXPECT_GE(xmp->count, 4096u);
        EXPECT_EQ(xmp->count % 2, 0u);
        std::uint32_t at = Offset(after, *xmp);
        EXPECT_EQ(at % 2, 0u);
        std::string packet(after.begin() + at, after.begin() + at + xmp->count);
        EXPECT_EQ(packet.rfind("<?xpacket begin=", 0), 0u);
        std::size_t end = packet.find("<?xpacket end=");
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(packet.find_first_not_of(' ', packet.find("?>", end) + 2), std::string::npos);
        const IfdEntry* iptc = Find(d, 0x83BB);
        ASSERT_NE(iptc, nullptr);
        EXPECT_EQ(iptc->type, LONG);
        EXPECT_EQ(iptc->count, 256u);  // at least 1024 bytes
        Bytes block(after.begin() + Offset(after, *iptc), after.begin() + Offset(after, *iptc) + long(SampleAnnotations().size()));
        EXPECT_EQ(block, SampleAnnotations());

        std::string tools = RunProgram({"exiftool", "-T", "-n", "-sep", ", ", "-XMP-dc:Description", "-XMP-dc:Subject",
                                        "-IPTC:By-line", "-IPTC:DateCreated", "-ImageWidth", path});
        EXPECT_EQ(tools, "A caption\talpha, beta\tJane Doe\t2004:07:09\t2\n");
    }
}

TEST(TiffWriter, RewritesInPlaceRemovesAndBlanks) {
    const Order o{false};
    const Bytes oldIptc(2000, 0xAB);
    const Bytes oldPhotoshopIptc(40, 0xCD);
    TempFolder dir;
    const std::string path = dir / "t.tif";
    WriteBytes(path, Tiff(o, {{0x83BB, LONG, 500, oldIptc}, {0x8568, BYTE, 40, oldPhotoshopIptc}}));
    const Bytes before = ReadBytes(path);
    Dir d0 = ReadDir(before);
    const std::uint32_t iptcAt = Offset(before, *Find(d0, 0x83BB));
    const std::uint32_t photoshopAt = Offset(before, *Find(d0, 0x8568));

    // A smaller IPTC block goes where the old one lay; the rest of the old bytes hold zeros.
    ASSERT_EQ(Embed(path, SampleAnnotations(), false), noErr);
    Bytes after = ReadBytes(path);
    Dir d = ReadDir(after);
    EXPECT_EQ(Offset(after, *Find(d, 0x83BB)), iptcAt);
    EXPECT_EQ(Find(d, 0x83BB)->count, 256u);
    EXPECT_EQ(Bytes(after.begin() + iptcAt, after.begin() + iptcAt + long(SampleAnnotations().size())), SampleAnnotations());
    EXPECT_EQ(Bytes(after.begin() + iptcAt + long(SampleAnnotations().size()), after.begin() + iptcAt + 2000),
              Bytes(2000 - SampleAnnotations().size(), 0));
    // Tag 0x8568 is gone and its bytes are zeros; no XMP was asked for.
    EXPECT_EQ(Find(d, 0x8568), nullptr);
    EXPECT_EQ(Bytes(after.begin() + photoshopAt, after.begin() + photoshopAt + 40), Bytes(40, 0));
    EXPECT_EQ(Find(d, 700), nullptr);
    // The directory shrank: it stays where it was.
    EXPECT_EQ(d.offset, d0.offset);

    // Without an IPTC block the tag goes and its bytes become zeros.
    ASSERT_EQ(Embed(path, {}, false), noErr);
    after = ReadBytes(path);
    EXPECT_EQ(Find(ReadDir(after), 0x83BB), nullptr);
    EXPECT_EQ(Bytes(after.begin() + iptcAt, after.begin() + iptcAt + 1024), Bytes(1024, 0));
    EXPECT_EQ(Bytes(after.begin() + 8, after.begin() + 12), kPixels);
}

TEST(TiffWriter, InlineValuesAreNotBlankedElsewhere) {
    // A tiny IPTC value lies inside its entry; its "offset" bytes point at the pixels.
    const Order o{false};
    TempFolder dir;
    const std::string path = dir / "t.tif";
    WriteBytes(path, Tiff(o, {{0x83BB, LONG, 1, o.U32(8)}}));
    ASSERT_EQ(Embed(path, SampleAnnotations(), false), noErr);
    Bytes after = ReadBytes(path);
    EXPECT_EQ(Bytes(after.begin() + 8, after.begin() + 12), kPixels);
    EXPECT_NE(Find(ReadDir(after), 0x83BB), nullptr);
}

TEST(TiffWriter, ASmallPacketTakesAtLeast4096Bytes) {
    // A packet of 1200 bytes the file already has is rewritten in its own size and stored in
    // a value of 4096 bytes, the rest spaces.
    XmpRegisterNamespaces();
    XmpPtr empty = xmp_new_empty();
    XmpStringPtr serialized = xmp_string_new();
    ASSERT_TRUE(xmp_serialize_and_format(empty, serialized, XMP_SERIAL_EXACTPACKETLENGTH, 1200, "\n", "", 0));
    const std::string text(xmp_string_cstr(serialized), xmp_string_len(serialized));
    xmp_string_free(serialized);
    xmp_free(empty);
    ASSERT_EQ(text.size(), 1200u);
    ASSERT_LT(text.size(), 4096u);
    const Order o{false};
    TempFolder dir;
    const std::string path = dir / "t.tif";
    WriteBytes(path, Tiff(o, {{700, BYTE, std::uint32_t(text.size()), BytesOf(text)}}));
    ASSERT_EQ(Embed(path, SampleAnnotations(), false), noErr);
    Bytes after = ReadBytes(path);
    const Dir d = ReadDir(after);
    const IfdEntry* xmp = Find(d, 700);
    ASSERT_NE(xmp, nullptr);
    EXPECT_EQ(xmp->count, 4096u);
    std::uint32_t at = Offset(after, *xmp);
    ASSERT_LE(std::size_t(at) + 4096, after.size()) << at;
    std::string stored(after.begin() + at, after.begin() + at + 4096);
    EXPECT_EQ(stored.substr(text.size()), std::string(4096 - text.size(), ' '));
    EXPECT_NE(stored.find("A caption"), std::string::npos);
}

TEST(TiffWriter, ExistingPacketIsRefreshedInItsSpace) {
    TempFolder dir;
    const std::string path = dir / "t.tif";
    WriteBytes(path, Tiff(Order{true}));
    ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
    Dir first = ReadDir(ReadBytes(path));
    const std::uint32_t xmpAt = Offset(ReadBytes(path), *Find(first, 700));
    const auto size = std::filesystem::file_size(path);

    // A camera file gets no new packet, but one it has is refreshed from the IPTC block.
    ASSERT_EQ(Embed(path, Cat({Dataset(632, "Second caption")}), false), noErr);
    Bytes after = ReadBytes(path);
    EXPECT_EQ(Offset(after, *Find(ReadDir(after), 700)), xmpAt);
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_EQ(RunProgram({"exiftool", "-s3", "-XMP-dc:Description", path}), "Second caption\n");
}

TEST(TiffWriter, RefusalsLeaveTheFileUntouched) {
    Bytes bigTiff = Tiff(Order{false});
    bigTiff[2] = 43;
    Bytes pastEnd = Tiff(Order{false});
    WriteLE32(pastEnd.data() + 4, 0x00FFFFF0);
    struct Case { const char* name; Bytes file; OSErr expected; } cases[] = {
        {"BigTIFF", bigTiff, kBadMediaDataErr},
        {"not a TIFF", BytesOf("JUNKJUNKJUNKJUNK"), kBadMediaDataErr},
        {"directory past the end", pastEnd, kBadMediaDataErr},
        {"cut in the header", BytesOf("II*"), kBadMediaDataErr},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir / "t.tif";
        WriteBytes(path, c.file);
        EXPECT_EQ(Embed(path, SampleAnnotations()), c.expected) << c.name;
        EXPECT_EQ(ReadBytes(path), c.file) << c.name;
    }
}

TEST(TiffWriter, NoRoomChangesNothing) {
    TempFolder dir;
    const std::string path = dir / "t.tif";
    const Bytes original = Tiff(Order{false}, {{0x83BB, LONG, 500, Bytes(2000, 0xAB)}});
    WriteBytes(path, original);
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {original.size() + 1000, original.size() + 1000};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(Embed(path, SampleAnnotations()) == noErr ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadBytes(path), original);
}

TEST(TiffWriter, FixtureRoundTrip) {
    TempFolder dir;
    const std::string path = dir / "t.tif";
    const Bytes original = ReadBytes(SharedFixture("metadata-samples/ExifTool.tif"));
    WriteBytes(path, original);
    ASSERT_EQ(Embed(path, SampleAnnotations()), noErr);
    std::string tools = RunProgram({"exiftool", "-T", "-n", "-sep", ", ", "-XMP-dc:Description", "-XMP-dc:Subject",
                                    "-XMP-dc:Creator", "-IPTC:Keywords", "-Make", "-ImageWidth", path});
    EXPECT_EQ(tools, "A caption\talpha, beta\tJane Doe\talpha, beta\tCanon\t"
                     + RunProgram({"exiftool", "-s3", "-ImageWidth", SharedFixture("metadata-samples/ExifTool.tif")}));
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard tag(TiffReadTagData(&spec, 0, 0x83BB));
    ASSERT_NE(tag.h, nullptr);
    EXPECT_EQ(GetHandleSize(tag.h), 1024);
}

}  // namespace
