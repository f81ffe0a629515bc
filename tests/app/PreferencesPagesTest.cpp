// The Preferences pages' values as they come from the preferences record and go back: each
// page touches only its own bytes, lists are stored as position plus their offset, the "off"
// bytes are stored inverted, and the font size and sample characters are repaired.
#include "app/PreferencesPages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A record with every byte set to a pattern, so any stray write shows.
PreferencesRec Patterned() {
    PreferencesRec p;
    auto* b = reinterpret_cast<UInt8*>(&p);
    for (std::size_t i = 0; i < sizeof p; ++i) b[i] = UInt8(i * 7 + 3);
    return p;
}

// The offsets where two records differ.
std::vector<std::size_t> Changed(const PreferencesRec& a, const PreferencesRec& b) {
    std::vector<std::size_t> out;
    const auto* x = reinterpret_cast<const UInt8*>(&a);
    const auto* y = reinterpret_cast<const UInt8*>(&b);
    for (std::size_t i = 0; i < sizeof a; ++i)
        if (x[i] != y[i]) out.push_back(i);
    return out;
}

bool Within(const std::vector<std::size_t>& offsets, std::initializer_list<std::pair<std::size_t, std::size_t>> ranges) {
    for (std::size_t o : offsets) {
        bool ok = false;
        for (auto [from, size] : ranges) ok = ok || (o >= from && o < from + size);
        if (!ok) return false;
    }
    return true;
}

TEST(PreferencesPages, GeneralListsAreStoredAsPositionPlusOffsetAndOnlyItsBytesChange) {
    const PreferencesRec before = Patterned();
    PreferencesRec p = before;
    GeneralPage g;
    g.buttonTips = true;
    g.naturalSort = false;
    g.warnRemoving = true;
    g.warnBatching = false;
    g.startup = 1;
    g.doubleClick = 2;
    g.dimensions = 4;
    g.resolution = 1;
    g.date = 0;
    GeneralPageInto(g, &p);
    EXPECT_EQ(p.startupAction, 3);
    EXPECT_EQ(p.doubleClickAction, 3);
    EXPECT_EQ(p.dimensionUnit, 5);
    EXPECT_EQ(p.resolutionUnit, 2);
    EXPECT_EQ(p.dateFormat, 1);
    EXPECT_EQ(p.showButtonTips, 1);
    EXPECT_EQ(p.warnWhenBatching, 0);
    EXPECT_TRUE(Within(Changed(before, p), {{0x97, 2}, {0xA1, 2}, {0xA4, 1}, {0xA6, 1}, {0xA8, 1}, {0xAA, 2}}));
    const GeneralPage back = GeneralPageFrom(p);
    EXPECT_EQ(back.startup, 1);
    EXPECT_EQ(back.doubleClick, 2);
    EXPECT_EQ(back.dimensions, 4);
    EXPECT_EQ(back.resolution, 1);
    EXPECT_TRUE(back.buttonTips);
    EXPECT_TRUE(back.warnRemoving);
}

TEST(PreferencesPages, StoredValuesOutOfRangeShowTheNearestChoice) {
    PreferencesRec p = Patterned();
    p.dateFormat = 3;        // let through by the start-up repair, not offered by the list
    p.dimensionUnit = 0;
    p.startupAction = 9;
    const GeneralPage g = GeneralPageFrom(p);
    EXPECT_EQ(g.date, 1);
    EXPECT_EQ(g.dimensions, 0);
    EXPECT_EQ(g.startup, 1);
}

TEST(PreferencesPages, ImageChecksOfOffBytesAreStoredInverted) {
    const PreferencesRec before = Patterned();
    PreferencesRec p = before;
    ImagesPage m = ImagesPageFrom(p);
    m.builtInThumbnails = false;  // unticked: the byte holds 1
    m.colorMatching = true;
    m.skipLarge = true;
    m.sizeLimit = 250;
    m.rendering = 2;
    m.background = RGBColor{0x1111, 0x2222, 0x3333};
    ImagesPageInto(m, &p);
    EXPECT_EQ(p.builtInThumbnailsOff, 1);
    EXPECT_EQ(p.colorMatchingOff, 0);
    EXPECT_EQ(p.sizeLimit, 100);
    EXPECT_EQ(p.renderingQuality, 2);
    EXPECT_EQ(p.backgroundColor.green, 0x2222);
    EXPECT_TRUE(Within(Changed(before, p), {{0x99, 2}, {0x9C, 1}, {0xA5, 1}, {0xB2, 1}, {0x278, 6}}));
    EXPECT_FALSE(ImagesPageFrom(p).builtInThumbnails);
}

TEST(PreferencesPages, FontSizeAndSampleCharactersAreRepaired) {
    struct Case {
        int size;
        const char* chars;
        int storedSize;
        UInt8 c0, c1;
    } cases[] = {
        {300, "", 18, 'A', 'y'},
        {4, "Q", 18, 'Q', 0},
        {6, "Wxz", 6, 'W', 'x'},
        {256, "ab", 256, 'a', 'b'},
        {257, "ab", 18, 'a', 'b'},
    };
    for (const Case& c : cases) {
        const PreferencesRec before = Patterned();
        PreferencesRec p = before;
        FontsPage f = FontsPageFrom(p);
        f.size = c.size;
        f.sampleChars = c.chars;
        f.sampleText = std::string(300, 'x');
        f.mediaDisplay = 2;
        f.thumbnailDisplay = 1;
        FontsPageInto(f, &p);
        EXPECT_EQ(p.fontSampleSize, c.storedSize) << c.size;
        EXPECT_EQ(p.fontSampleChars[0], c.c0) << c.chars;
        EXPECT_EQ(p.fontSampleChars[1], c.c1) << c.chars;
        EXPECT_EQ(p.fontSampleText[0], 255);
        EXPECT_EQ(p.mediaFontDisplay, 2);
        EXPECT_EQ(p.thumbnailFontDisplay, 1);
        EXPECT_TRUE(Within(Changed(before, p), {{0x7D0, 256}, {0x8D0, 6}}));
    }
}

TEST(PreferencesPages, CameraRawAndMediaTypeKeepTheirOffsets) {
    const PreferencesRec before = Patterned();
    PreferencesRec p = before;
    RawPage r;
    r.embeddedPreview = true;
    r.photoCdSize = 2;
    r.lookProfile = 1;
    RawPageInto(r, &p);
    MediaTypeInto(2, &p);
    EXPECT_EQ(p.photoCdSize, 3u);
    EXPECT_EQ(p.rawLookProfile, 2);
    EXPECT_EQ(p.useEmbeddedRawPreview, 1);
    EXPECT_EQ(PreferenceByte(p, kPrefsLastMediaTypeOffset), 3);
    EXPECT_TRUE(Within(Changed(before, p), {{0x95, 1}, {0x1C4, 2}, {0x1C8, 4}}));
    EXPECT_EQ(RawPageFrom(p).photoCdSize, 2);
    EXPECT_EQ(MediaTypeFrom(p), 2);
}

}  // namespace
