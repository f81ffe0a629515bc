#include "media/metadata/JpegMetadata.h"

#include "media/metadata/IptcBlock.h"
#include "media/metadata/MetaFile.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/PhotoshopResources.h"
#include "media/metadata/Xmp.h"
#include "MetaTestSupport.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>

namespace {

using namespace metatest;

// The annotations the round trips write, with a caption outside ASCII.
Bytes Annotations() { return SampleAnnotations("A caption \xE9t\xE9"); }

const Bytes kExif = Cat({BytesOf(std::string("Exif\0\0", 6)), TiffHeader(Order{false}, 8), Bytes{0, 0, 0, 0, 0, 0}});
const Bytes kJfif = BytesOf(std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
// What follows the metadata segments: a quantisation table, the scan and its data, EOI.
const Bytes kImage = Cat({Segment(0xDB, Bytes(65, 7)), Segment(0xDA, Bytes(10, 1)), Bytes{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9}});

Bytes Jpeg(std::initializer_list<Bytes> segments) {
    Bytes b = {0xFF, 0xD8};
    for (const Bytes& s : segments) b.insert(b.end(), s.begin(), s.end());
    b.insert(b.end(), kImage.begin(), kImage.end());
    return b;
}

Bytes XmpSegment(const std::string& packet) {
    return Segment(0xE1, Cat({Bytes(kXmpApp1Signature, kXmpApp1Signature + 29), BytesOf(packet)}));
}
Bytes App13(const Bytes& iptc) {
    Bytes resource = Cat({BytesOf("8BIM"), Bytes{0x04, 0x04, 0, 0}, Order{true}.U32(std::uint32_t(iptc.size())), iptc});
    if (iptc.size() & 1) resource.push_back(0);
    return Segment(0xED, Cat({Bytes(kPhotoshopApp13Header, kPhotoshopApp13Header + 14), resource}));
}

struct Seg {
    unsigned marker;
    Bytes payload;
};
// The segments of a JPEG up to its first non-APPn/COM marker, and the bytes from there on.
std::vector<Seg> Segments(const Bytes& jpeg, Bytes* rest = nullptr) {
    std::vector<Seg> out;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        unsigned m = jpeg[pos + 1];
        if (!((m >= 0xE0 && m <= 0xEF) || m == 0xFE)) break;
        std::size_t len = ReadBE16(&jpeg[pos + 2]);
        out.push_back({m, Bytes(jpeg.begin() + long(pos + 4), jpeg.begin() + long(pos + 2 + len))});
        pos += 2 + len;
    }
    if (rest) *rest = Bytes(jpeg.begin() + long(pos), jpeg.end());
    return out;
}
std::vector<std::string> Markers(const std::vector<Seg>& segs) {
    std::vector<std::string> names;
    for (const Seg& s : segs) {
        if (s.marker == 0xFE) { names.push_back("COM"); continue; }
        std::string n = "APP" + std::to_string(s.marker - 0xE0);
        if (s.marker == 0xE1) n += s.payload.size() >= 4 && std::memcmp(s.payload.data(), "Exif", 4) == 0 ? " Exif" : " XMP";
        names.push_back(n);
    }
    return names;
}

OSErr Embed(const std::string& path, const Bytes& iptc, bool withIptc = true) {
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard block(withIptc ? NewHandleOf(iptc) : nullptr);
    return EmbedAnnotationsInJpeg(&spec, block.h, nullptr);
}

// The annotations as the program reads them back: IPTC from APP13, then the XMP packets.
Bytes ReadBack(const std::string& path) {
    FSSpec spec = CheckedSpecOf(path);
    List l;
    HandleGuard app13;
    EXPECT_EQ(WalkJpegMarkers(&spec, &app13.h, nullptr, nullptr, nullptr, l.ud), noErr);
    HandleGuard iptc;
    if (app13.h) PhotoshopParseResources(app13.h, nullptr, nullptr, nullptr, nullptr, &iptc.h, nullptr, nullptr);
    HandleGuard block(NewHandle(0));
    XmpReadPacket(l.ud, block.h);
    // The IPTC datasets complete what the XMP gave.
    Bytes out = HandleBytes(block.h);
    return HandleBytes(iptc.h).empty() ? out : HandleBytes(iptc.h);
}

TEST(JpegWrite, SegmentOrder) {
    const Bytes oldIptc = Dataset(517, "old title");
    struct Case {
        const char* name;
        Bytes file;
        bool withIptc;
        std::vector<std::string> expected;
    } cases[] = {
        {"APP0, Exif, APP13: the new APP13 in the old one's place, then XMP",
         Jpeg({Segment(0xE0, kJfif), Segment(0xE1, kExif), App13(oldIptc)}), true,
         {"APP0", "APP1 Exif", "APP13", "APP1 XMP"}},
        {"only APP0: XMP, then APP13", Jpeg({Segment(0xE0, kJfif)}), true, {"APP0", "APP1 XMP", "APP13"}},
        {"a comment before the image data stays", Jpeg({Segment(0xE0, kJfif), Segment(0xFE, BytesOf("hello"))}), true,
         {"APP0", "COM", "APP1 XMP", "APP13"}},
        {"XMP without APP13 and no IPTC: an APP13 of just its header",
         Jpeg({Segment(0xE0, kJfif), XmpSegment("<x:xmpmeta xmlns:x='adobe:ns:meta/'/>")}), false,
         {"APP0", "APP1 XMP", "APP13"}},
        {"APP14 takes the pending APP13 before it", Jpeg({Segment(0xE0, kJfif), Segment(0xEE, BytesOf("Adobe\0\0"))}), true,
         {"APP0", "APP13", "APP14", "APP1 XMP"}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir / "p.jpg";
        WriteBytes(path, c.file);
        ASSERT_EQ(Embed(path, Annotations(), c.withIptc), noErr) << c.name;
        Bytes after = ReadBytes(path), rest;
        std::vector<Seg> segs = Segments(after, &rest);
        EXPECT_EQ(Markers(segs), c.expected) << c.name;
        EXPECT_EQ(rest, kImage) << c.name << ": the image data is copied as it was";
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{}) << c.name;
        for (const Seg& s : segs) {
            if (s.marker == 0xED && !c.withIptc) {
                EXPECT_EQ(s.payload, Bytes(kPhotoshopApp13Header, kPhotoshopApp13Header + 14)) << c.name;
            }
            if (s.marker == 0xFE) {
                EXPECT_EQ(s.payload, BytesOf("hello")) << c.name;
            }
        }
    }
}

TEST(JpegWrite, AnnotationsRoundTripAndRemoveCleanly) {
    // A camera file (EXIF, maker note, JFIF), one with IPTC and XMP from an editor, and one
    // whose XMP the annotations replace.
    for (const char* name : {"Canon.jpg", "IPTC.jpg", "XMP.jpg", "ExtendedXMP.jpg"}) {
        SCOPED_TRACE(name);
        TempFolder dir;
        const std::string path = dir / name;
        const Bytes original = ReadBytes(SharedFixture(std::string("metadata-samples/") + name));
        WriteBytes(path, original);

        ASSERT_EQ(Embed(path, Annotations()), noErr);
        HandleGuard back(NewHandleOf(ReadBack(path)));
        auto first = [&](UInt16 key) {
            UInt16 length = 0;
            Ptr p = IptcFindDataset(key, 1, back.h, &length, nullptr);
            return p ? std::string(p, length) : std::string();
        };
        EXPECT_EQ(first(632), "A caption \xE9t\xE9");
        EXPECT_EQ(first(592), "Jane Doe");
        EXPECT_EQ(first(567), "20040709");
        EXPECT_EQ(IptcFindDatasetValue(537, "beta", 4, IptcMarkerAnsi, back.h), 2);

        // The tools users already have read the same values.
        const std::string utf8Caption = "A caption \xC3\xA9t\xC3\xA9";
        std::string tools = RunProgram({"exiftool", "-T", "-n", "-sep", ", ", "-charset", "iptc=cp1252", "-XMP-dc:Description",
                                        "-XMP-dc:Subject", "-XMP-dc:Creator", "-XMP-photoshop:DateCreated", "-IPTC:Caption-Abstract",
                                        "-IPTC:Keywords", "-IPTC:By-line", "-IPTC:DateCreated", path});
        EXPECT_EQ(tools, utf8Caption + "\talpha, beta\tJane Doe\t2004:07:09\t" + utf8Caption + "\talpha, beta\tJane Doe\t2004:07:09\n");

        // Removing them again: what is not ours comes through byte for byte.
        ASSERT_EQ(Embed(path, {}, false), noErr);
        Bytes origRest, afterRest;
        std::vector<Seg> before = Segments(original, &origRest), after = Segments(ReadBytes(path), &afterRest);
        EXPECT_EQ(afterRest, origRest);
        auto foreign = [](const std::vector<Seg>& segs) {
            std::vector<Seg> out;
            for (const Seg& s : segs) {
                bool xmp = s.marker == 0xE1 && s.payload.size() >= 29 && std::memcmp(s.payload.data(), kXmpApp1Signature, 29) == 0;
                bool photoshop = s.marker == 0xED && s.payload.size() >= 14 && std::memcmp(s.payload.data(), kPhotoshopApp13Header, 14) == 0;
                if (!xmp && !photoshop) out.push_back(s);
            }
            return out;
        };
        std::vector<Seg> f1 = foreign(before), f2 = foreign(after);
        ASSERT_EQ(f1.size(), f2.size());
        for (std::size_t i = 0; i < f1.size(); ++i) {
            EXPECT_EQ(f1[i].marker, f2[i].marker);
            EXPECT_TRUE(f1[i].payload == f2[i].payload) << "segment " << i;
        }
        HandleGuard removed(NewHandleOf(ReadBack(path)));
        EXPECT_EQ(IptcFindDataset(632, 1, removed.h, nullptr, nullptr), nullptr);
        EXPECT_EQ(IptcFindDataset(537, 1, removed.h, nullptr, nullptr), nullptr);
    }
}

TEST(JpegWrite, NothingToDoLeavesTheFileAlone) {
    TempFolder dir;
    const std::string path = dir / "p.jpg";
    const Bytes file = Jpeg({Segment(0xE0, kJfif)});
    WriteBytes(path, file);
    EXPECT_EQ(Embed(path, {}, false), noErr);
    EXPECT_EQ(ReadBytes(path), file);
}

TEST(JpegWrite, RefusalsLeaveTheFileUntouched) {
    struct Case {
        const char* name;
        Bytes file;
        Bytes iptc;
        OSErr expected;
    } cases[] = {
        {"not a JPEG", BytesOf("GIF89a...."), Annotations(), kBadMediaDataErr},
        {"a segment length below 2", Cat({Bytes{0xFF, 0xD8}, Bytes{0xFF, 0xE0, 0x00, 0x01}, kImage}), Annotations(), kBadMediaDataErr},
        {"cut inside its segments", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F'}, Annotations(), kBadMediaDataErr},
        {"an APP13 that would not fit one segment", Jpeg({Segment(0xE0, kJfif)}),
         Cat({Dataset(632, std::string(32000, 'a')), Dataset(632, std::string(32000, 'b')), Dataset(632, std::string(2000, 'c'))}),
         paramErr},
        {"damaged Photoshop resources", Jpeg({Segment(0xED, Cat({Bytes(kPhotoshopApp13Header, kPhotoshopApp13Header + 14),
                                                                BytesOf("8BIM\x04\x04\0\0\x7F\xFF\xFF\xFFxx")}))}),
         Annotations(), kBadMediaDataErr},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir / "p.jpg";
        WriteBytes(path, c.file);
        EXPECT_EQ(Embed(path, c.iptc), c.expected) << c.name;
        EXPECT_EQ(ReadBytes(path), c.file) << c.name;
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{}) << c.name;
    }
}

// Runs a write in a child process whose file size limit stops the copy part-way.
OSErr EmbedWithSizeLimit(const std::string& path, rlim_t limit) {
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        OSErr err = Embed(path, Annotations());
        _exit(err == noErr ? 0 : 1 + (-err & 0x7F));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? noErr : ioErr;
}

TEST(JpegWrite, AFailedWriteLeavesTheOriginal) {
    const Bytes original = ReadBytes(SharedFixture("metadata-samples/ExifTool.jpg"));
    {  // the disk "fills up" half-way through the copy
        TempFolder dir;
        const std::string path = dir / "p.jpg";
        WriteBytes(path, original);
        EXPECT_NE(EmbedWithSizeLimit(path, original.size() / 2), noErr);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
    }
    {  // a folder under the temporary files' name is no writer's file: it stays, and the
       // write takes a name of its own
        TempFolder dir;
        const std::string path = dir / "p.jpg";
        WriteBytes(path, original);
        std::filesystem::create_directories(dir / "~~Temporary IO/inside");
        EXPECT_EQ(Embed(path, Annotations()), noErr);
        EXPECT_NE(ReadBytes(path), original);
        EXPECT_TRUE(std::filesystem::exists(dir / "~~Temporary IO/inside"));
    }
    {  // the same write with room succeeds, and the file keeps its permissions
        TempFolder dir;
        const std::string path = dir / "p.jpg";
        WriteBytes(path, original);
        std::filesystem::permissions(path, std::filesystem::perms(0640));
        EXPECT_EQ(EmbedWithSizeLimit(path, original.size() * 4), noErr);
        EXPECT_NE(ReadBytes(path), original);
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all, std::filesystem::perms(0640));
    }
}

TEST(JpegWalk, IccProfileChunksAndOtherApp2) {
    auto chunk = [](int seq, int count, const std::string& data) {
        return Segment(0xE2, Cat({BytesOf(std::string("ICC_PROFILE\0", 12)), Bytes{UInt8(seq), UInt8(count)}, BytesOf(data)}));
    };
    const Bytes mpf = Segment(0xE2, BytesOf(std::string("MPF\0II*\0 multi-picture data", 28)));
    TempFolder dir;
    const std::string path = dir / "p.jpg";
    WriteBytes(path, Jpeg({chunk(2, 3, "BBBB"), chunk(1, 3, "AAAA"), mpf, chunk(3, 3, "CC")}));
    FSSpec spec = CheckedSpecOf(path);
    HandleGuard icc;
    ASSERT_EQ(WalkJpegMarkers(&spec, nullptr, nullptr, nullptr, &icc.h, nullptr), noErr);
    EXPECT_EQ(Str(HandleBytes(icc.h)), "AAAABBBBCC");
}

TEST(JpegWalk, DamagedSegments) {
    struct Case {
        const char* name;
        Bytes file;
        OSErr expected;
        short xmpItems;
    } cases[] = {
        {"an XMP segment shorter than its signature", Jpeg({Segment(0xE1, BytesOf("http://ns.adobe.com/xap/1.0"))}), noErr, 0},
        {"an XMP segment of just its signature", Jpeg({XmpSegment("")}), noErr, 1},
        {"a length below 2", Cat({Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x00}, kImage}), kBadMediaDataErr, 0},
        {"cut off inside a segment", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x10, 0x00, 'h'}, noErr, 0},
        {"no SOI", Bytes{0xFF, 0xD9}, kBadMediaDataErr, 0},
        {"fill bytes before a marker", Cat({Bytes{0xFF, 0xD8, 0xFF, 0xFF}, XmpSegment("<x/>"), kImage}), noErr, 1},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        WriteBytes(dir / "p.jpg", c.file);
        FSSpec spec = CheckedSpecOf(dir / "p.jpg");
        List l;
        HandleGuard ps, icc;
        EXPECT_EQ(WalkJpegMarkers(&spec, &ps.h, nullptr, nullptr, &icc.h, l.ud), c.expected) << c.name;
        EXPECT_EQ(CountUserDataType(l.ud, 'XMP '), c.xmpItems) << c.name;
    }
}

TEST(JpegWalk, CommentsAndPhotoshopSegments) {
    TempFolder dir;
    const Bytes iptc = Dataset(632, "cap");
    WriteBytes(dir / "p.jpg", Jpeg({Segment(0xFE, BytesOf("a comment")), App13(iptc),
                                    Segment(0xED, BytesOf("Something else entirely"))}));
    FSSpec spec = CheckedSpecOf(dir / "p.jpg");
    List l;
    HandleGuard ps;
    ASSERT_EQ(WalkJpegMarkers(&spec, &ps.h, nullptr, nullptr, nullptr, l.ud), noErr);
    EXPECT_EQ(Text(l.ud, kUdText_cmt), "a comment");
    HandleGuard found;
    PhotoshopParseResources(ps.h, nullptr, nullptr, nullptr, nullptr, &found.h, nullptr, nullptr);
    EXPECT_EQ(HandleBytes(found.h), iptc);
}

TEST(JpegWalk, FlashPixSound) {
    auto stream = [](std::uint32_t riffSize) {
        Bytes name;
        for (char ch : std::string("Audio Stream")) name.insert(name.end(), {UInt8(ch), 0});
        Bytes riff = Cat({BytesOf("RIFF"), Order{false}.U32(riffSize), Bytes(riffSize, 0x55)});
        return Segment(0xE2, Cat({BytesOf("FPXR\0\1\2"), Bytes(5, 0), name, Bytes(3, 0), riff}));
    };
    struct Case { std::uint32_t size; std::size_t expected; } cases[] = {{100, 108}, {64000, 64008}, {64001, 0}};
    for (auto c : cases) {
        TempFolder dir;
        Bytes seg = stream(c.size);
        // A stream larger than one segment arrives in pieces.
        Bytes payload(seg.begin() + 4, seg.end());
        std::vector<Bytes> parts;
        for (std::size_t at = 0; at < payload.size(); at += 60000) {
            Bytes piece(payload.begin() + long(at), payload.begin() + long(std::min(payload.size(), at + 60000)));
            parts.push_back(Segment(0xE2, at == 0 ? piece : Cat({BytesOf("FPXR"), piece})));
        }
        Bytes file = {0xFF, 0xD8};
        for (const Bytes& p : parts) file.insert(file.end(), p.begin(), p.end());
        file.insert(file.end(), kImage.begin(), kImage.end());
        WriteBytes(dir / "p.jpg", file);
        FSSpec spec = CheckedSpecOf(dir / "p.jpg");
        HandleGuard sound;
        ASSERT_EQ(WalkJpegMarkers(&spec, nullptr, nullptr, &sound.h, nullptr, nullptr), noErr);
        EXPECT_EQ(HandleBytes(sound.h).size(), c.expected) << c.size;
    }
    // Without a FlashPix stream a WAV file of the same name is the sound.
    TempFolder dir;
    WriteBytes(dir / "p.jpg", Jpeg({}));
    WriteBytes(dir / "p.WAV", BytesOf("RIFF-side-file"));
    FSSpec spec = CheckedSpecOf(dir / "p.jpg");
    HandleGuard sound;
    ASSERT_EQ(WalkJpegMarkers(&spec, nullptr, nullptr, &sound.h, nullptr, nullptr), noErr);
    EXPECT_EQ(Str(HandleBytes(sound.h)), "RIFF-side-file");
}

}  // namespace

namespace {

TEST(JpegWalk, ExifThumbnail) {
    struct Case { const char* file; bool made; std::int32_t width, height; } cases[] = {
        {"orientation/gps_DSCN0010.jpg", true, 160, 120},
        {"metadata-samples/Casio.jpg", false, 0, 0},      // 28 bytes that are no picture
        {"metadata-samples/IPTC.jpg", false, 0, 0},       // no EXIF thumbnail at all
    };
    for (const auto& c : cases) {
        FSSpec spec = CheckedSpecOf(SharedFixture(c.file));
        List l;
        GWorldPtr thumb = nullptr;
        ASSERT_EQ(WalkJpegMarkers(&spec, nullptr, &thumb, nullptr, nullptr, l.ud), noErr) << c.file;
        EXPECT_EQ(thumb != nullptr, c.made) << c.file;
        if (thumb) {
            Rect r = GetPortBounds(thumb);
            EXPECT_EQ(r.right - r.left, c.width);
            EXPECT_EQ(r.bottom - r.top, c.height);
            DisposeGWorld(thumb);
        }
    }
}

// An APP1 "Exif" segment whose thumbnail directory names a JPEG of `thumbSize` bytes at
// `offset` (from the TIFF header); the thumbnail itself is appended when `inside`. IFD0 names
// a compression of its own when given one.
Bytes ExifWithThumbnail(std::uint32_t offset, std::uint32_t thumbSize, const Bytes& thumb, bool inside,
                        unsigned ifd0Compression) {
    const Order o{false};
    Bytes tiff = TiffHeader(o, 8);
    std::vector<IfdEntry> ifd0 = {{0x0112, 3, 1, o.U16(1)}};
    if (ifd0Compression) ifd0.push_back({0x0103, 3, 1, o.U16(ifd0Compression)});
    const std::uint32_t ifd1 = std::uint32_t(8 + 2 + 12 * ifd0.size() + 4);
    PutIfd(tiff, 0, 8, o, ifd0, ifd1);
    PutIfd(tiff, 0, ifd1, o, {{0x0103, 3, 1, o.U16(6)}, {0x0201, 4, 1, o.U32(offset)}, {0x0202, 4, 1, o.U32(thumbSize)}},
           0);
    if (inside) tiff.insert(tiff.end(), thumb.begin(), thumb.end());
    return Segment(0xE1, Cat({BytesOf(std::string("Exif\0\0", 6)), tiff}));
}

TEST(JpegWalk, TheExifThumbnailIsTakenFromItsOwnSegmentOnly) {
    const std::string encoded = fixtures::Jpeg(16, 8);
    const Bytes thumb(encoded.begin(), encoded.end());
    const auto size = std::uint32_t(thumb.size());
    // Where the thumbnail starts when it follows the thumbnail directory, with and without an
    // IFD0 compression entry (one more entry of 12 bytes).
    const std::uint32_t at = 8 + 2 + 12 + 4 + 2 + 36 + 4, atAfterCompression = at + 12;
    const Bytes badLength = {0xFF, 0xE3, 0x00, 0x01};
    struct Case {
        const char* name;
        Bytes segments;
        OSErr expected;
        bool made;
    } cases[] = {
        {"inside its segment", ExifWithThumbnail(at, size, thumb, true, 0), noErr, true},
        // The thumbnail's directory comes after the main one: its compression is the one that counts.
        {"IFD0 names another compression", ExifWithThumbnail(atAfterCompression, size, thumb, true, 1), noErr, true},
        // A JPEG stream does follow in the file, but in the next segment: never read.
        {"past the end of its segment",
         Cat({ExifWithThumbnail(at + 4, size, thumb, false, 0), Segment(0xEF, thumb)}), noErr, false},
        {"offset beyond the file", ExifWithThumbnail(0xFFFFFF00u, size, thumb, true, 0), noErr, false},
        // A file found damaged further on offers no preview either.
        {"damaged segment after it", Cat({ExifWithThumbnail(at, size, thumb, true, 0), badLength}), kBadMediaDataErr,
         false},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        const std::string path = dir / "t.jpg";
        WriteBytes(path, Jpeg({c.segments}));
        FSSpec spec = CheckedSpecOf(path);
        List l;
        GWorldPtr thumbnail = nullptr;
        EXPECT_EQ(WalkJpegMarkers(&spec, nullptr, &thumbnail, nullptr, nullptr, l.ud), c.expected) << c.name;
        EXPECT_EQ(thumbnail != nullptr, c.made) << c.name;
        if (!thumbnail) continue;
        Rect r = GetPortBounds(thumbnail);
        EXPECT_EQ(r.right - r.left, 16) << c.name;
        EXPECT_EQ(r.bottom - r.top, 8) << c.name;
        DisposeGWorld(thumbnail);
    }
}

}  // namespace

namespace {

TEST(JpegWrite, AnXmpPacketTooLargeForItsSegmentKeepsTheOldOne) {
    // 3000 keywords fit the IPTC block of one APP13 segment, but not an XMP packet of one APP1.
    Bytes iptc;
    for (int i = 0; i < 3000; ++i) {
        Bytes d = Dataset(537, "keyword-" + std::to_string(100000 + i));
        iptc.insert(iptc.end(), d.begin(), d.end());
    }
    ASSERT_LT(iptc.size() + 30, std::size_t(kJpegMaxPayload));
    const Bytes oldXmp = XmpSegment("<x:xmpmeta xmlns:x='adobe:ns:meta/'/>");
    TempFolder dir;
    const std::string path = dir / "p.jpg";
    WriteBytes(path, Jpeg({Segment(0xE0, kJfif), oldXmp}));
    ASSERT_EQ(Embed(path, iptc), noErr);
    Bytes rest;
    std::vector<Seg> segs = Segments(ReadBytes(path), &rest);
    ASSERT_EQ(Markers(segs), (std::vector<std::string>{"APP0", "APP1 XMP", "APP13"}));
    EXPECT_EQ(Segment(0xE1, segs[1].payload), oldXmp);
    EXPECT_GT(segs[2].payload.size(), iptc.size());
    EXPECT_EQ(rest, kImage);
}

// The writer may write the file but not its folder, so no temporary file can be made beside
// it: the write fails and the file keeps its bytes. Run without privileges (the super-user
// ignores folder permissions), in a child that drops them when the tests run as root.
TEST(JpegWrite, AnUnwritableFolderLeavesTheOriginal) {
    if (std::string why = UnprivilegedUnavailable(); !why.empty()) GTEST_SKIP() << why;
    TempFolder dir;
    const std::string path = dir / "p.jpg";
    const Bytes original = ReadBytes(SharedFixture("metadata-samples/Canon.jpg"));
    WriteBytes(path, original);
    OpenToOthers(path, 0666);
    OpenToOthers(dir.path(), 0555);
    auto writer = StartUnprivileged([&](ChildProcess& self) {
        self.Send(std::to_string(Embed(path, Annotations())));
        return 0;
    });
    const std::string answer = writer->Receive(60000);
    const int status = writer->Wait();
    OpenToOthers(dir.path(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 120) << "the writer could not give up its privileges";
    ASSERT_FALSE(answer.empty()) << "the writer ended without answering";
    EXPECT_NE(answer, std::to_string(noErr));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
}

}  // namespace

namespace {

TEST(JpegWrite, ALinkKeepsPointingAtTheRewrittenFile) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "real");
    const std::string target = dir / "real/p.jpg";
    WriteBytes(target, Jpeg({Segment(0xE0, kJfif)}));
    std::filesystem::create_symlink(target, dir / "link.jpg");
    ASSERT_EQ(Embed(dir / "link.jpg", Annotations()), noErr);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.jpg"));
    EXPECT_EQ(Markers(Segments(ReadBytes(target))), (std::vector<std::string>{"APP0", "APP1 XMP", "APP13"}));
    EXPECT_EQ(TemporaryFilesIn(dir.path()), std::vector<std::string>{});
    EXPECT_EQ(TemporaryFilesIn(dir / "real"), std::vector<std::string>{});
}

}  // namespace
