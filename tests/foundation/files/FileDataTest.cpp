#include "foundation/files/FileData.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FileData, ReadsFromAnOffsetToTheEnd) {
    TempFolder tmp;
    FSSpec f = SpecOf(tmp.Write("f", "0123456789"));
    struct Case {
        SInt64 offset;
        OSErr want;
        std::string data;
    } cases[] = {
        {0, noErr, "0123456789"},
        {7, noErr, "789"},
        {10, eofErr, ""},     // nothing past the offset
        {11, eofErr, ""},
        {-1, paramErr, ""},
    };
    for (const auto& c : cases) {
        Handle h = reinterpret_cast<Handle>(1);
        long size = -5;
        EXPECT_EQ(ReadFileData(&f, &h, c.offset, &size), c.want) << c.offset;
        if (c.want == noErr) {
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(std::string(*h, size_t(size)), c.data);
            EXPECT_EQ(GetHandleSize(h), size);
            DisposeHandle(h);
        } else {
            EXPECT_EQ(h, nullptr) << c.offset;
            EXPECT_EQ(size, 0) << c.offset;
        }
    }
    Handle h = nullptr;
    long size = 0;
    FSSpec missing = SpecOf(tmp / "missing");
    EXPECT_EQ(LoadFileData(&missing, &h, &size), fnfErr);
    EXPECT_EQ(h, nullptr);
    FSSpec empty = SpecOf(tmp.Write("empty", ""));
    EXPECT_EQ(LoadFileData(&empty, &h, &size), eofErr);

    char buf[8] = {};
    long count = 8, got = -1;
    EXPECT_EQ(FileReadAt(&f, 6, &count, buf, &got), eofErr);
    EXPECT_EQ(got, 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    count = 3;
    EXPECT_EQ(FileReadAt(&f, 1, &count, buf, &got), noErr);
    EXPECT_EQ(std::string(buf, 3), "123");
}

TEST(FileData, WritesAtPositions) {
    TempFolder tmp;
    struct Case {
        std::string before;   // "" with exists=false: the file is made
        bool exists;
        SInt64 position;
        std::string data;
        std::string after;
    } cases[] = {
        {"", false, kWriteAppend, "abc", "abc"},
        {"0123456789", true, kWriteReplace, "ab", "ab"},   // exactly the written bytes stay
        {"0123456789", true, kWriteAppend, "ab", "0123456789ab"},
        {"0123456789", true, 3, "ab", "012ab56789"},
        {"0123", true, 6, "ab", std::string("0123\0\0ab", 8)},
        {"", false, 0, "new", "new"},
    };
    int i = 0;
    for (const auto& c : cases) {
        std::string path = tmp / ("f" + std::to_string(i++));
        if (c.exists) tmp.Write(path.substr(tmp.path().size() + 1), c.before);
        FSSpec f = SpecOf(path);
        EXPECT_EQ(FileWriteAt(&f, c.data.data(), long(c.data.size()), 'lyrx', 'TEXT', c.position), noErr);
        EXPECT_EQ(TempFolder::Read(path), c.after) << c.before << " @" << c.position;
    }
    FSSpec f = SpecOf(tmp / "g");
    EXPECT_EQ(FileWriteAt(&f, "x", 1, 0, 0, -3), paramErr);
    FSSpec inMissing = SpecOf(tmp / "nofolder/f");
    EXPECT_EQ(FileWriteAt(&inMissing, "x", 1, 0, 0, 0), fnfErr);
}

struct Collected {
    std::vector<std::string> lines;
    size_t stopAfter = 0;
};

OSErr Collect(const char* line, void* ref) {
    auto* c = static_cast<Collected*>(ref);
    c->lines.emplace_back(line);
    return c->stopAfter && c->lines.size() == c->stopAfter ? OSErr(7) : OSErr(noErr);
}

TEST(FileData, ScansTextLines) {
    TempFolder tmp;
    std::string longLine(100000, 'L');
    struct Case {
        std::string text;
        std::vector<std::string> want;
    } cases[] = {
        {"alfa_detect 1\r\nusb_detect 0\r\n", {"alfa_detect 1", "usb_detect 0"}},
        {"a\n\n\nb", {"a", "b"}},                      // empty lines never reach the callback
        {"a\r\n   indented\n", {"a", "indented"}},     // blanks after a line end are skipped
        {"  first keeps its blanks \n", {"  first keeps its blanks "}},
        {"\r\n\nafter leading ends", {"after leading ends"}},
        {"", {}},
        {longLine + "\nshort", {longLine, "short"}},   // a long line is handed over whole
    };
    for (const auto& c : cases) {
        FSSpec f = SpecOf(tmp.Write("t.txt", c.text));
        Collected got;
        EXPECT_EQ(ScanTextLines(&f, Collect, &got), noErr);
        EXPECT_EQ(got.lines, c.want) << c.text.substr(0, 40);
    }
    FSSpec f = SpecOf(tmp.Write("t.txt", "1\n2\n3\n"));
    Collected stop;
    stop.stopAfter = 2;
    EXPECT_EQ(ScanTextLines(&f, Collect, &stop), 7);
    EXPECT_EQ(stop.lines.size(), 2u);
    FSSpec missing = SpecOf(tmp / "missing.txt");
    EXPECT_EQ(ScanTextLines(&missing, Collect, &stop), notOpenErr);
}

TEST(FileData, CopiesForkFromTheMark) {
    TempFolder tmp;
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 131 % 251);
    FSSpec src = SpecOf(tmp.Write("src", big));
    FSSpec dst = SpecOf(tmp.Write("dst", "head:"));
    SInt16 in = 0, out = 0;
    ASSERT_EQ(FSpOpenDF(&src, fsRdPerm, &in), noErr);
    ASSERT_EQ(FSpOpenDF(&dst, fsRdWrPerm, &out), noErr);
    ASSERT_EQ(SetFPos(in, fsFromStart, 10), noErr);
    ASSERT_EQ(SetFPos(out, fsFromLEOF, 0), noErr);
    EXPECT_EQ(CopyForkData(in, out), noErr);
    EXPECT_EQ(CopyForkData(in, out), noErr);   // at the end already: nothing more
    FSClose(in);
    FSClose(out);
    EXPECT_EQ(TempFolder::Read(dst.path), "head:" + big.substr(10));
}

TEST(FileData, TruncationOfEachFork) {
    TempFolder tmp;
    FSSpec f = SpecOf(tmp.Write("media.jpg", "JPEGDATA"));
    // The resource fork does not exist here: emptying it leaves the media file whole.
    EXPECT_EQ(FileTruncateResourceFork(&f), noErr);
    EXPECT_EQ(TempFolder::Read(f.path), "JPEGDATA");
    EXPECT_EQ(FileTruncate(&f), noErr);
    EXPECT_EQ(TempFolder::Read(f.path), "");
    FSSpec missing = SpecOf(tmp / "missing");
    EXPECT_EQ(FileTruncate(&missing), fnfErr);
    EXPECT_EQ(FileTruncateResourceFork(&missing), fnfErr);
}

TEST(FileData, Dates) {
    TempFolder tmp;
    FSSpec f = SpecOf(tmp.Write("f", "x"));
    DateTimeRec d{2030, 12, 31, 23, 59, 58, 0};
    UInt32 when = 0;
    DateToSeconds(&d, &when);
    ASSERT_EQ(SetFileDatesFromSpec(&f, &when, &when), noErr);
    UInt32 created = 0, modified = 0, extra = 99;
    ASSERT_EQ(GetFileDates(&f, &created, &modified, &extra), noErr);
    EXPECT_EQ(modified, when);
    EXPECT_EQ(extra, 0u);
    EXPECT_NE(created, 0u);
    FSSpec missing = SpecOf(tmp / "missing");
    EXPECT_EQ(GetFileDates(&missing, &created, nullptr, nullptr), fnfErr);
}

}  // namespace
