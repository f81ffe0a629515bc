// The text kinds: the normalisation of line breaks and leading blanks, the line-ending style,
// line and character counts, the page drawn with its "....." mark for long texts, the page sizes
// of info and thumbnails, registration by edition and the shared text sample.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/text/TextReader.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ReaderChecks.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

TEST(TextNormalizeTest, LineBreaksBlanksAndCounts) {
    struct Case {
        const char* what;
        std::string in;
        std::string text;
        UInt8 style;
        UInt32 lines, characters;
    };
    const Case cases[] = {
        // The second LF comes after a CR: it is no break.
        {"leading blank lines, tabs and blanks", "\r\n\t  \n \tHello\tthere", "Hello there", kLineEndingDos, 2, 16},
        {"CR LF: one CR per line", "one\r\ntwo\r\nthree", "one\rtwo\rthree", kLineEndingDos, 3, 11},
        {"LF: written as CR", "one\ntwo\n", "one\rtwo\r", kLineEndingUnix, 3, 6},
        {"CR only", "one\rtwo", "one\rtwo", kLineEndingMac, 2, 6},
        {"no break", "just one line", "just one line", kLineEndingMac, 1, 13},
        {"LF after the first CR dropped", "a\nb\rc\nd", "a\rb\rcd", kLineEndingDos, 3, 4},
        {"controls dropped, blanks inside kept", "x\x01\x1b y  z", "x y  z", kLineEndingMac, 1, 8},
        {"empty", "", "", kLineEndingMac, 1, 0},
        {"8-bit bytes copied", "caf\xE9", "caf\xE9", kLineEndingMac, 1, 4},
    };
    for (const Case& c : cases) {
        const NormalizedText t = NormalizeText(c.in);
        EXPECT_EQ(t.text, c.text) << c.what;
        EXPECT_EQ(t.lineEnding, c.style) << c.what;
        EXPECT_EQ(t.lines, c.lines) << c.what;
        EXPECT_EQ(t.characters, c.characters) << c.what;
    }
    EXPECT_STREQ(LineEndingName(kLineEndingMac), "Macintosh");
    EXPECT_STREQ(LineEndingName(kLineEndingUnix), "UNIX");
    EXPECT_STREQ(LineEndingName(kLineEndingDos), "DOS");
}

int DarkPixels(GWorldPtr world, int x0, int y0, int x1, int y1) {
    PixelView v = GetGWorldPixels(world);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            n += p[0] + p[1] + p[2] < 3 * 96;
        }
    return n;
}

class TextReaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        TextSetThumbnailPageSize(400, 400);
        KindSetTextPreviewFont(0, 0);
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(TextReaderTest, InfoCountsTheTextAndDrawsAFramedPage) {
    FSSpec spec = CheckedSpecOf(temp.Write("a.txt", "First line\r\nSecond line\r\n"));
    KindInfoRec info{};
    info.type = 'TXT ';
    GWorldPtr world = nullptr;
    ASSERT_EQ(TextGetInfo(&spec, &info, nullptr, &world, nullptr, nullptr, 0, 0, 130), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]), "DOS");
    EXPECT_EQ(info.paragraphs, 3u);
    EXPECT_EQ(info.characters, 21u);
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 128);
    ASSERT_EQ(v.height, 128);
    EXPECT_EQ(DarkPixels(world, 0, 0, 128, 1), 128) << "framed";
    EXPECT_GT(DarkPixels(world, 2, 2, 126, 40), 30) << "the text at the top";
    EXPECT_EQ(DarkPixels(world, 2, 60, 126, 126), 0) << "nothing below two lines";
    DisposeGWorld(world);
}

TEST_F(TextReaderTest, ALongTextShowsItsStartAndTheMoreMark) {
    std::string words;
    while (words.size() < 12000) words += "word ";
    const std::string shortText = words.substr(0, 200);
    KindSetTextPreviewFont(0, 10);
    GWorldPtr longPage = nullptr, shortPage = nullptr;
    ASSERT_EQ(DrawTextPage(words, 200, 200, &longPage), noErr);
    ASSERT_EQ(DrawTextPage(shortText, 200, 200, &shortPage), noErr);
    // The mark sits 20 pixels above the bottom edge, in the middle; the short text has none.
    EXPECT_GT(DarkPixels(longPage, 80, 160, 120, 180), 3);
    EXPECT_EQ(DarkPixels(shortPage, 80, 160, 120, 180), 0);
    DisposeGWorld(longPage);
    DisposeGWorld(shortPage);
    // A long text of exactly the limit shows no mark.
    GWorldPtr exact = nullptr;
    ASSERT_EQ(DrawTextPage(std::string(kTextPageCharacters, 'x'), 200, 200, &exact), noErr);
    DisposeGWorld(exact);
}

TEST_F(TextReaderTest, ThumbnailPageSizes) {
    FSSpec spec = CheckedSpecOf(temp.Write("a.txt", "text"));
    struct Case {
        SInt16 width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {{0, 0, 640, 640}, {1000, 300, 640, 640}, {300, 200, 300, 200}, {640, 640, 640, 640}};
    for (const Case& c : cases) {
        TextSetThumbnailPageSize(c.width, c.height);
        GWorldPtr world = nullptr;
        UInt32 index = 0;
        ASSERT_EQ(TextMakeThumbnail(&spec, &world, 128, 'TXT ', &index, 0), noErr);
        EXPECT_EQ(GetGWorldPixels(world).width, c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(GetGWorldPixels(world).height, c.expectedHeight) << c.width << "x" << c.height;
        DisposeGWorld(world);
    }
    TextSetThumbnailPageSize(400, 400);
    GWorldPtr world = nullptr;
    ASSERT_EQ(TextMakeThumbnail(&spec, &world, 128, 'TXT ', nullptr, 0), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 400) << "the default page";
    DisposeGWorld(world);
}

TEST_F(TextReaderTest, DocumentsWithoutTextAndMissingFilesFail) {
    FSSpec doc = CheckedSpecOf(temp.Write("a.cwk", "anything"));
    KindInfoRec info{};
    info.type = 'CWWP';
    GWorldPtr world = nullptr;
    EXPECT_EQ(TextGetInfo(&doc, &info, nullptr, &world, nullptr, nullptr, 0, 0, 128), kTextDocumentErr);
    EXPECT_EQ(world, nullptr);
    EXPECT_EQ(TextMakeThumbnail(&doc, &world, 128, 'CWWP', nullptr, 0), kTextDocumentErr);
    FSSpec missing = SpecOf(temp / "missing.txt");
    info.type = 'TXT ';
    EXPECT_NE(TextGetInfo(&missing, &info, nullptr, &world, nullptr, nullptr, 0, 0, 128), noErr);
    EXPECT_EQ(world, nullptr);
    // An empty file is an empty page.
    FSSpec empty = CheckedSpecOf(temp.Write("empty.txt", ""));
    ASSERT_EQ(TextGetInfo(&empty, &info, nullptr, &world, nullptr, nullptr, 0, 0, 64), noErr);
    EXPECT_EQ(info.characters, 0u);
    EXPECT_EQ(info.paragraphs, 1u);
    DisposeGWorld(world);
}

TEST_F(TextReaderTest, TextKindsAreRegisteredUnderEditions200And500AndReadThroughTheEngine) {
    ASSERT_NO_FATAL_FAILURE(support::ExpectKindsRegisteredExceptUnder400(
        {OSType('TEXT'), OSType('TXT '), OSType('ttro'), OSType('CWWP')}, kKindHandlerText,
        kKindCategoryText));
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    const std::string made = temp.Write("notes.txt", "Shopping\nbread\nmilk\n");
    for (const std::string& path : {made}) {
        KindFileRec file;
        FSSpec spec = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        EXPECT_EQ(file.type, OSType('TXT '));
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        EXPECT_NE(thumb, nullptr);
        EXPECT_EQ(info.paragraphs, 4u);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        EXPECT_EQ(KindMakeThumbnail(&spec, &world, kKindDisplaySize, 'TXT ', &index, 0), noErr);
        if (world) DisposeGWorld(world);
    }
}

}  // namespace
