#include "foundation/settings/NamedSettings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/SizeCodes.h"
#include "foundation/settings/ViewDefaults.h"
#include "platform/UiHooks.h"

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const PreferencesRec& p) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(&p);
    return Bytes(b, b + sizeof p);
}

std::uint8_t& At(PreferencesRec& p, std::size_t offset) { return reinterpret_cast<std::uint8_t*>(&p)[offset]; }

class ScreenHooks : public UiHooks {
public:
    int width = 1280, height = 994;
    int SystemMetric(int index) override {
        return index == SM_CXFULLSCREEN ? width : index == SM_CYFULLSCREEN ? height : 0;
    }
};

// A sandboxed store, a known screen and fresh process-wide preferences for each test.
class PreferencesTest : public ::testing::Test {
protected:
    SettingsSandbox sandbox;
    ScreenHooks screen;
    void SetUp() override {
        SetUiHooks(&screen);
        ResetPreferencesState();
    }
    void TearDown() override {
        SetUiHooks(nullptr);
        ResetPreferencesState();
    }
    static void Store(const void* bytes, std::size_t size) {
        CRegistryKey key;
        ASSERT_TRUE(OpenUserKey(&key, u"Preferences"));
        ASSERT_TRUE(key.WriteBinary(u"Preferences", bytes, DWORD(size)));
    }
    static Bytes Stored() {
        CRegistryKey key;
        EXPECT_TRUE(OpenUserKey(&key, u"Preferences"));
        Bytes b(kPreferencesSize + 10);
        DWORD size = 0;
        EXPECT_TRUE(key.ReadBinary(u"Preferences", b.data(), DWORD(b.size()), &size));
        b.resize(size);
        return b;
    }
};

TEST(PreferencesTemplate, MatchesTheRecordedDefaults) {
    std::ifstream in(std::string(LYREX_TEST_FIXTURES) + "/settings/preferences-template.hex");
    ASSERT_TRUE(in) << "fixture missing";
    Bytes expected;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string offset, byte;
        fields >> offset;
        ASSERT_EQ(std::stoul(offset, nullptr, 16), expected.size());
        while (fields >> byte) expected.push_back(std::uint8_t(std::stoul(byte, nullptr, 16)));
    }
    EXPECT_EQ(BytesOf(PreferencesTemplate()), expected);
}

TEST(PreferencesTemplate, FieldsHoldTheirDefaults) {
    const PreferencesRec& t = PreferencesTemplate();
    EXPECT_EQ(t.startupValue, 0u);
    EXPECT_EQ(t.text1[0], 0);
    EXPECT_EQ(t.startupAction, 2);
    EXPECT_EQ(t.showButtonTips, 1);
    EXPECT_EQ(t.skipLargeImages, 0);
    EXPECT_EQ(t.sizeLimit, 5);
    EXPECT_EQ(t.renderingQuality, 3);
    EXPECT_EQ(t.playlistMode, 1);
    EXPECT_EQ(t.stillsPause, 4);
    EXPECT_EQ(t.transferMode, 1);
    EXPECT_EQ(t.dimensionUnit, 1);
    EXPECT_EQ(t.resolutionUnit, 1);
    EXPECT_EQ(t.warnWhenBatching, 1);
    EXPECT_EQ(t.builtInThumbnailsOff, 0);
    EXPECT_EQ(t.warnWhenRemoving, 1);
    EXPECT_EQ(t.copyPictureChoice, 1);
    EXPECT_EQ(t.doubleClickAction, 1);
    EXPECT_EQ(t.copyTextChoice, 1);
    EXPECT_EQ(t.naturalSortOrder, 1);
    EXPECT_EQ(t.dateFormat, 1);
    EXPECT_EQ(t.colorMatchingOff, 0);
    EXPECT_EQ(t.rawLookProfile, 1);
    EXPECT_EQ(t.useEmbeddedRawPreview, 1);
    EXPECT_EQ(t.photoCdSize, 3u);
    EXPECT_EQ(t.galleryImageLevel, 0);
    EXPECT_EQ(t.backgroundColor.red, 0xFFFF);
    EXPECT_EQ(t.backgroundColor.green, 0xFFFF);
    EXPECT_EQ(t.backgroundColor.blue, 0xBBBB);
    EXPECT_EQ(Bytes(t.findOptions, t.findOptions + 3), (Bytes{1, 1, 1}));
    EXPECT_EQ(t.viewDimensions[0], 500);
    EXPECT_EQ(t.viewDimensions[1], 500);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t.fontSampleText + 1), t.fontSampleText[0]),
              "De Gustibus Non Disputandum Est");
    EXPECT_EQ(t.fontSampleChars[0], 'A');
    EXPECT_EQ(t.fontSampleChars[1], 'y');
    EXPECT_EQ(t.fontSampleSize, 36);
    EXPECT_EQ(t.thumbnailFontDisplay, 0);
    EXPECT_EQ(t.mediaFontDisplay, 0);
    EXPECT_EQ(t.viewOption, 0);
    EXPECT_EQ(t.windowRect.top, 0);
    EXPECT_EQ(t.windowRect.left, 0);
    EXPECT_EQ(t.windowRect.bottom, 600);
    EXPECT_EQ(t.windowRect.right, 400);
    EXPECT_EQ(t.viewSetting, 250);
    EXPECT_EQ(Bytes(t.viewFlags, t.viewFlags + 4), (Bytes{0, 1, 0, 0}));
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&t)[kThumbnailSizeLevelOffset], 3);
    EXPECT_EQ(t.nameCount, 0);
}

TEST_F(PreferencesTest, FirstRunGivesTheDefaultsRepaired) {
    // Before loading, the record already holds the defaults.
    EXPECT_EQ(BytesOf(*GetPreferences()), BytesOf(PreferencesTemplate()));
    LoadPreferences();
    PreferencesRec expected = PreferencesTemplate();
    expected.renderingQuality = 1;
    expected.windowRect = Rect{65, 64, 929, 1216};
    EXPECT_EQ(BytesOf(*GetPreferences()), BytesOf(expected));
}

TEST_F(PreferencesTest, DamagedValuesAreRepaired) {
    struct Case {
        const char* what;
        std::function<void(PreferencesRec&)> damage;
        std::function<void(PreferencesRec&)> expect;   // applied to the template to give the result
    };
    auto byte = [](std::size_t offset, std::uint8_t v) {
        return [offset, v](PreferencesRec& p) { At(p, offset) = v; };
    };
    auto nothing = [](PreferencesRec&) {};
    auto name = [](PreferencesRec& p, int i, int length) {
        p.names[i][0] = std::uint8_t(length);
        for (int k = 1; k <= length && k < 64; ++k) p.names[i][k] = std::uint8_t('a' + k % 26);
    };
    const std::vector<Case> cases = {
        {"rendering 3", byte(0x9C, 3), byte(0x9C, 1)},
        {"rendering 255", byte(0x9C, 255), byte(0x9C, 1)},
        {"rendering 2 kept", byte(0x9C, 2), byte(0x9C, 2)},
        {"rendering 0 kept", byte(0x9C, 0), byte(0x9C, 0)},
        {"dimension unit 0", byte(0xA1, 0), byte(0xA1, 1)},
        {"dimension unit 6", byte(0xA1, 6), byte(0xA1, 1)},
        {"dimension unit 5 kept", byte(0xA1, 5), byte(0xA1, 5)},
        {"resolution unit 0", byte(0xA2, 0), byte(0xA2, 1)},
        {"resolution unit 3", byte(0xA2, 3), byte(0xA2, 1)},
        {"resolution unit 2 kept", byte(0xA2, 2), byte(0xA2, 2)},
        {"date form 0", byte(0xAB, 0), byte(0xAB, 2)},
        {"date form 4", byte(0xAB, 4), byte(0xAB, 2)},
        {"date form 3 kept", byte(0xAB, 3), byte(0xAB, 3)},
        {"copy picture: thumbnail kept", byte(0xA7, 0), byte(0xA7, 0)},
        {"copy picture 2", byte(0xA7, 2), byte(0xA7, 1)},
        {"copy picture 200", byte(0xA7, 200), byte(0xA7, 1)},
        {"double-click 0", byte(0xA8, 0), byte(0xA8, 1)},
        {"double-click 4", byte(0xA8, 4), byte(0xA8, 1)},
        {"double-click 3 kept", byte(0xA8, 3), byte(0xA8, 3)},
        {"view option -1", [](PreferencesRec& p) { p.viewOption = -1; }, nothing},
        {"view option 3", [](PreferencesRec& p) { p.viewOption = 3; }, nothing},
        {"view option 2 kept", [](PreferencesRec& p) { p.viewOption = 2; },
         [](PreferencesRec& p) { p.viewOption = 2; }},
        {"size limit 0", byte(0x9A, 0), byte(0x9A, 5)},
        {"size limit 101", byte(0x9A, 101), byte(0x9A, 5)},
        {"size limit 100 kept", byte(0x9A, 100), byte(0x9A, 100)},
        {"size limit 1 kept", byte(0x9A, 1), byte(0x9A, 1)},
        {"playlist 2", byte(0x9D, 2), byte(0x9D, 0)},
        {"playlist 0 kept", byte(0x9D, 0), byte(0x9D, 0)},
        {"stills pause 0", byte(0x9E, 0), byte(0x9E, 4)},
        {"stills pause 3", byte(0x9E, 3), byte(0x9E, 4)},
        {"stills pause 8 kept", byte(0x9E, 8), byte(0x9E, 8)},
        {"stills pause 2 kept", byte(0x9E, 2), byte(0x9E, 2)},
        {"thumbnail level 0: everything back to the defaults",
         [](PreferencesRec& p) {
             At(p, kThumbnailSizeLevelOffset) = 0;
             p.startupAction = 3;
             p.sizeLimit = 50;
             p.viewBlock2064[7] = 0x42;
         },
         nothing},
        {"thumbnail level 21: everything back to the defaults",
         [](PreferencesRec& p) {
             At(p, kThumbnailSizeLevelOffset) = 21;
             p.transferMode = 2;
         },
         nothing},
        {"thumbnail level 20 kept with the rest",
         [](PreferencesRec& p) {
             At(p, kThumbnailSizeLevelOffset) = 20;
             p.transferMode = 2;
         },
         [](PreferencesRec& p) {
             At(p, kThumbnailSizeLevelOffset) = 20;
             p.transferMode = 2;
         }},
        {"name list: second of three empty",
         [&](PreferencesRec& p) {
             p.nameCount = 3;
             name(p, 0, 5);
             name(p, 1, 0);
             name(p, 2, 5);
         },
         [&](PreferencesRec& p) {
             name(p, 0, 5);
             name(p, 1, 0);
             name(p, 2, 5);
         }},
        {"name list: a name of 64 characters",
         [&](PreferencesRec& p) {
             p.nameCount = 2;
             name(p, 0, 5);
             name(p, 1, 64);
         },
         [&](PreferencesRec& p) {
             name(p, 0, 5);
             name(p, 1, 64);
         }},
        {"name list: a count past the sixteen slots",
         [&](PreferencesRec& p) {
             p.nameCount = 17;
             for (int i = 0; i < 16; ++i) name(p, i, 3);
         },
         [&](PreferencesRec& p) {
             for (int i = 0; i < 16; ++i) name(p, i, 3);
         }},
        {"name list: a negative count", [](PreferencesRec& p) { p.nameCount = -5; }, nothing},
        {"name list: sixteen good names kept",
         [&](PreferencesRec& p) {
             p.nameCount = 16;
             for (int i = 0; i < 16; ++i) name(p, i, 63);
         },
         [&](PreferencesRec& p) {
             p.nameCount = 16;
             for (int i = 0; i < 16; ++i) name(p, i, 63);
         }},
        {"a stored window rectangle is not kept",
         [](PreferencesRec& p) { p.windowRect = Rect{1, 2, 3, 4}; }, nothing},
        {"fields without a rule are carried along",
         [](PreferencesRec& p) {
             p.startupValue = 0xDEADBEEF;
             p.transferMode = 7;
             p.galleryImageLevel = 42;
             p.viewBlock2064[2063] = 0x99;
         },
         [](PreferencesRec& p) {
             p.startupValue = 0xDEADBEEF;
             p.transferMode = 7;
             p.galleryImageLevel = 42;
             p.viewBlock2064[2063] = 0x99;
         }},
    };
    for (const Case& c : cases) {
        PreferencesRec damaged = PreferencesTemplate();
        damaged.renderingQuality = 1;
        c.damage(damaged);
        Store(&damaged, sizeof damaged);

        ResetPreferencesState();
        LoadPreferences();

        PreferencesRec expected = PreferencesTemplate();
        expected.renderingQuality = 1;
        c.expect(expected);
        expected.windowRect = Rect{65, 64, 929, 1216};
        EXPECT_EQ(BytesOf(*GetPreferences()), BytesOf(expected)) << c.what;
    }
}

TEST_F(PreferencesTest, TheWindowRectangleIsCentredOnTheScreen) {
    struct Case {
        int width, height;
        Rect expected;
    };
    const std::vector<Case> cases = {
        {1280, 994, {65, 64, 929, 1216}},     // 1152 x 864
        {1024, 738, {69, 112, 669, 912}},     // 800 x 600: not wider than 1024
        {1920, 1080, {108, 384, 972, 1536}},  // 1152 x 864
        {1153, 865, {0, 0, 865, 1153}},       // one pixel over: the halves are truncated to 0
        {1152, 900, {66, 64, 834, 1088}},     // not wider than 1152: 1024 x 768
        {1155, 867, {1, 1, 866, 1154}},
        {801, 700, {50, 0, 650, 801}},        // 800 x 600
        {640, 480, {0, 0, 480, 640}},         // exceeds none: the whole area
        {0, 0, {0, 0, 0, 0}},                 // no display
    };
    for (const Case& c : cases) {
        screen.width = c.width;
        screen.height = c.height;
        ValidatePreferences();
        const Rect& r = GetPreferences()->windowRect;
        EXPECT_EQ(r.top, c.expected.top) << c.width << "x" << c.height;
        EXPECT_EQ(r.left, c.expected.left) << c.width << "x" << c.height;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.width << "x" << c.height;
        EXPECT_EQ(r.right, c.expected.right) << c.width << "x" << c.height;
    }
}

TEST_F(PreferencesTest, StoredValuesOfOtherSizes) {
    // A shorter value fills only its bytes; the rest stays as it was.
    PreferencesRec changed = PreferencesTemplate();
    changed.startupValue = 0x01020304;
    changed.startupAction = 3;
    Store(&changed, 0x98);
    LoadPreferences();
    EXPECT_EQ(GetPreferences()->startupValue, 0x01020304u);
    EXPECT_EQ(GetPreferences()->startupAction, 3);
    EXPECT_EQ(GetPreferences()->showButtonTips, 1);
    EXPECT_EQ(GetPreferences()->fontSampleSize, 36);

    // A longer one is not read at all.
    ResetPreferencesState();
    std::vector<std::uint8_t> longer(kPreferencesSize + 1, 0x07);
    Store(longer.data(), longer.size());
    LoadPreferences();
    EXPECT_EQ(GetPreferences()->startupAction, 2);
    EXPECT_EQ(GetPreferences()->startupValue, 0u);
}

TEST_F(PreferencesTest, WhatOneRunSavesTheNextReadsByteForByte) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        ResetPreferencesState();
        LoadPreferences();
        PreferencesRec& p = *GetPreferences();
        p.startupValue = 0x5EED;
        p.startupAction = 3;
        p.copyPictureChoice = 0;
        p.fontSampleText[0] = 3;
        std::memcpy(p.fontSampleText + 1, "\xE9t\xE9", 3);
        p.nameCount = 2;
        std::memcpy(p.names[0], "\x04Trip", 5);
        std::memcpy(p.names[1], "\x03Sea", 4);
        for (std::size_t i = 0; i < sizeof p.viewBlock2064; ++i) p.viewBlock2064[i] = std::uint8_t(i * 31);
        bool saved = SavePreferences();
        ssize_t n = write(pipeEnds[1], &p, sizeof p);
        _exit(saved && n == ssize_t(sizeof p) ? 0 : 1);
    }
    close(pipeEnds[1]);
    PreferencesRec written;
    std::size_t got = 0;
    while (got < sizeof written) {
        ssize_t n = read(pipeEnds[0], reinterpret_cast<char*>(&written) + got, sizeof written - got);
        if (n <= 0) break;
        got += std::size_t(n);
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(got, sizeof written);

    RegistryForgetCachedStores();
    LoadPreferences();
    EXPECT_EQ(BytesOf(*GetPreferences()), BytesOf(written));
    EXPECT_EQ(Stored(), BytesOf(written));
}

TEST_F(PreferencesTest, SizeLimitAndGalleryLevel) {
    PreferencesRec& p = *GetPreferences();
    struct Case {
        std::uint8_t on, limit;
        SInt32 count;
        bool within;
    };
    const std::vector<Case> cases = {
        {1, 5, 5120000, true},  {1, 5, 5120001, false}, {0, 5, 5120001, true},
        {1, 0, 2000000000, true}, {1, 100, 102400000, true}, {1, 100, 102400001, false},
        {1, 255, 2147483647, false}, {1, 255, 261120000, true}, {1, 1, -5, true},
    };
    for (const Case& c : cases) {
        p.skipLargeImages = c.on;
        p.sizeLimit = c.limit;
        EXPECT_EQ(IsWithinSizeLimit(c.count), c.within) << int(c.on) << " " << int(c.limit) << " " << c.count;
    }
    struct Level {
        SInt32 stored, answer;
    };
    for (Level l : {Level{1, 1}, Level{9, 9}, Level{5, 5}, Level{0, 1}, Level{10, 1}, Level{-3, 1}}) {
        p.galleryImageLevel = l.stored;
        EXPECT_EQ(ClampPreference1to9(), l.answer) << l.stored;
        EXPECT_EQ(p.galleryImageLevel, l.answer) << l.stored;
    }
}

TEST_F(PreferencesTest, ViewsTakeAndGiveBackTheirFields) {
    std::vector<std::uint8_t> block(kViewBlock2064Size, 0);
    ViewPrefsFields view{};
    view.block2064 = block.data();
    ViewDefaultsFromPrefs(&view);
    const PreferencesRec& t = PreferencesTemplate();
    EXPECT_EQ(view.viewSetting, 250);
    EXPECT_EQ(view.viewDimensions[1], 500);
    EXPECT_EQ(view.windowRect.bottom, 600);
    EXPECT_EQ(std::memcmp(view.block64, t.viewBlock64, 64), 0);
    EXPECT_EQ(std::memcmp(block.data(), t.viewBlock2064, kViewBlock2064Size), 0);

    view.windowRect = Rect{10, 20, 30, 40};
    view.viewSetting = 7;
    view.viewDimensions[0] = 11;
    view.viewFlags[3] = 9;
    view.block320[319] = 1;
    view.block96[0] = 2;
    block[2063] = 3;
    PreferencesRec before = *GetPreferences();
    ViewDefaultsToPrefs(&view);
    PreferencesRec expected = before;
    expected.windowRect = view.windowRect;
    expected.viewSetting = 7;
    expected.viewDimensions[0] = 11;
    expected.viewFlags[3] = 9;
    expected.viewBlock320[319] = 1;
    expected.viewBlock96[0] = 2;
    expected.viewBlock2064[2063] = 3;
    EXPECT_EQ(BytesOf(*GetPreferences()), BytesOf(expected));

    // A view without its separate block leaves that part of the preferences alone.
    view.block2064 = nullptr;
    view.viewSetting = 8;
    ViewDefaultsToPrefs(&view);
    EXPECT_EQ(GetPreferences()->viewSetting, 8);
    EXPECT_EQ(GetPreferences()->viewBlock2064[2063], 3);
}

TEST(SizeCodes, CodesAndScalesConvertBothWays) {
    struct Case {
        SInt16 code, mode, percent;
    };
    const std::vector<Case> cases = {
        {1, 1, 0},     {4, 4, 0},      {8, 8, 0},      {10, 10, 25},  {11, 10, 50},
        {12, 10, 100}, {13, 10, 200},  {14, 10, 400},  {15, 10, 800}, {16, 10, 1600},
        {0, 2, 0},     {2, 2, 0},      {3, 2, 0},      {9, 2, 0},     {17, 2, 0},
        {-1, 2, 0},
    };
    for (const Case& c : cases) {
        SInt16 mode = -9, percent = -9;
        SizeCodeToScale(c.code, &mode, &percent);
        EXPECT_EQ(mode, c.mode) << c.code;
        EXPECT_EQ(percent, c.percent) << c.code;
    }
    struct Back {
        SInt16 mode, percent, code;
    };
    const std::vector<Back> back = {
        {1, 0, 1}, {2, 0, 2}, {4, 0, 4}, {8, 0, 8}, {10, 25, 10}, {10, 1600, 16}, {3, 200, 13},
        {10, 30, 0}, {9, 0, 0}, {0, 0, 0},
    };
    for (const Back& b : back) EXPECT_EQ(ScaleToSizeCode(b.mode, b.percent), b.code) << b.mode << "/" << b.percent;
}

TEST(NamedSettings, TheWholeTextIsCopiedAndTheNumbersSwapped) {
    std::uint8_t source[kNamedSettingsSize];
    for (std::size_t i = 0; i < sizeof source; ++i) source[i] = std::uint8_t(i * 3 + 1);
    source[0] = 255;   // a text of 255 characters: its last byte must survive
    std::uint8_t out[kNamedSettingsSize] = {};
    SwapNamedSettings(source, out);
    EXPECT_EQ(std::memcmp(out, source, 256), 0);
    for (std::size_t at = 256; at < kNamedSettingsSize; at += 2) {
        EXPECT_EQ(out[at], source[at + 1]) << at;
        EXPECT_EQ(out[at + 1], source[at]) << at;
    }
    // In place, twice, gives the block back.
    std::uint8_t twice[kNamedSettingsSize];
    std::memcpy(twice, source, sizeof source);
    SwapNamedSettings(twice, twice);
    SwapNamedSettings(twice, twice);
    EXPECT_EQ(std::memcmp(twice, source, sizeof source), 0);
}

}  // namespace
